// Document services: "PDModel" (documents, pages, bookmarks, actions, destinations, file
// specifications), "Cos" (low-level objects) and the page content tables.
//
// Handles to document objects stay valid while their document is open. A handle to an object
// that does not exist (a missing child, a missing action) is null. Host failures throw HostError.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/as_extra_table.h"
#include "sdk/atom.h"
#include "sdk/font_names.h"
#include "sdk/handles.h"
#include "sdk/host_table.h"
#include "sdk/progress_monitor.h"

namespace sorvane {

// A rectangle in default user space, in points, y growing upward.
struct HostRect {
  double left = 0;
  double bottom = 0;
  double right = 0;
  double top = 0;
  bool operator==(const HostRect &) const = default;
};

// An outline colour: red, green and blue from 0 to 1.
using HostRgb = std::array<double, 3>;

// Permission bits of the standard security handler.
inline constexpr uint32_t kPermissionPrint = 0x04;
inline constexpr uint32_t kPermissionModify = 0x08;

class PDModelTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDModel;

  // The host encoding for a script code; script 0 (Roman) is the host code page.
  virtual HostEncoding scriptToHostEncoding(int32_t script) = 0;

  // ---- documents and pages
  virtual int32_t docGetNumPages(DocHandle doc) = 0;
  // The page at a zero-based index; release it with pageRelease. Throws HostError(BadParameter)
  // for an index outside the document.
  virtual PageHandle docAcquirePage(DocHandle doc, int32_t pageIndex) = 0;
  virtual void pageRelease(PageHandle page) = 0;
  virtual int32_t pageGetIndex(PageHandle page) = 0;
  // The visible box of the page (crop box within the media box).
  virtual HostRect pageGetCropBox(PageHandle page) = 0;
  // The root of the outline; valid even when the document has no outline yet (it is made when
  // the first bookmark is added).
  virtual BookmarkHandle docGetBookmarkRoot(DocHandle doc) = 0;
  // The permission word of the standard security handler, or nothing for a document without
  // one. A document opened with its owner password has every permission.
  virtual std::optional<uint32_t> docGetPermissions(DocHandle doc) = 0;
  // Calls `onFont` with the name of every font the text of pages `first` to `last` (zero-based)
  // is drawn in, as text runs name it, page by page; the monitor shows the pages done.
  virtual void docEnumFonts(DocHandle doc, int32_t first, int32_t last,
                            const std::function<void(std::string_view)> &onFont,
                            const ProgressMonitor *monitor, void *clientData) = 0;

  // ---- bookmarks
  virtual bool bookmarkIsValid(BookmarkHandle bm) = 0;
  // Titles are UTF-8; any PDF text string encoding is read.
  virtual std::string bookmarkGetTitle(BookmarkHandle bm) = 0;
  virtual void bookmarkSetTitle(BookmarkHandle bm, std::string_view title) = 0;
  virtual BookmarkHandle bookmarkGetFirstChild(BookmarkHandle bm) = 0;
  virtual BookmarkHandle bookmarkGetLastChild(BookmarkHandle bm) = 0;
  virtual BookmarkHandle bookmarkGetNext(BookmarkHandle bm) = 0;
  virtual BookmarkHandle bookmarkGetPrev(BookmarkHandle bm) = 0;
  virtual BookmarkHandle bookmarkGetParent(BookmarkHandle bm) = 0;
  virtual bool bookmarkHasChildren(BookmarkHandle bm) = 0;
  // A new bookmark as the last child of `parent`.
  virtual BookmarkHandle bookmarkAddNewChild(BookmarkHandle parent, std::string_view title) = 0;
  // A new bookmark right after `bm`, under the same parent.
  virtual BookmarkHandle bookmarkAddNewSibling(BookmarkHandle bm, std::string_view title) = 0;
  // Takes `bm` (with its subtree) out of the outline; it can be linked in again.
  virtual void bookmarkUnlink(BookmarkHandle bm) = 0;
  // Links an unlinked `bm` in right before `sibling`.
  virtual void bookmarkLinkBefore(BookmarkHandle bm, BookmarkHandle sibling) = 0;
  // Links an unlinked `bm` in right after `sibling`.
  virtual void bookmarkLinkAfter(BookmarkHandle bm, BookmarkHandle sibling) = 0;
  // Links an unlinked `bm` in as the last child of `parent`.
  virtual void bookmarkLinkAsLastChild(BookmarkHandle bm, BookmarkHandle parent) = 0;
  // Removes `bm` and everything below it from the outline.
  virtual void bookmarkDestroy(BookmarkHandle bm) = 0;
  virtual bool bookmarkIsOpen(BookmarkHandle bm) = 0;
  virtual void bookmarkSetOpen(BookmarkHandle bm, bool open) = 0;
  // Black when the bookmark has no colour of its own.
  virtual HostRgb bookmarkGetColor(BookmarkHandle bm) = 0;
  virtual void bookmarkSetColor(BookmarkHandle bm, const HostRgb &color) = 0;
  // Style flags: 1 italic, 2 bold.
  virtual int32_t bookmarkGetFlags(BookmarkHandle bm) = 0;
  virtual void bookmarkSetFlags(BookmarkHandle bm, int32_t flags) = 0;
  // The bookmark's action (or a go-to action for a bookmark with a plain destination).
  virtual ActionHandle bookmarkGetAction(BookmarkHandle bm) = 0;
  virtual void bookmarkSetAction(BookmarkHandle bm, ActionHandle action) = 0;

  // ---- actions
  virtual bool actionIsValid(ActionHandle action) = 0;
  // The subtype ("GoTo", "GoToR", "Launch", "URI", "JavaScript", "Thread", "Named", ...).
  virtual Atom actionGetSubtype(ActionHandle action) = 0;
  // The destination of a go-to action, explicit or named; null when it has none.
  virtual ViewDestHandle actionGetDest(ActionHandle action) = 0;
  // The file specification of a GoToR or Launch action; null when it has none.
  virtual FileSpecHandle actionGetFileSpec(ActionHandle action) = 0;
  virtual CosObjHandle actionGetCosObj(ActionHandle action) = 0;
  // A go-to action to `dest` in `target`, which must be `doc` itself.
  virtual ActionHandle actionNewFromDest(DocHandle doc, ViewDestHandle dest, DocHandle target) = 0;

  // ---- destinations
  // A destination to `page` with the fit type's name ("XYZ", "Fit", "FitH", "FitV", "FitR",
  // "FitB", "FitBH", "FitBV"), the position from `rect` as the fit type uses it, and `zoom`
  // for XYZ (0 keeps the viewer's zoom).
  virtual ViewDestHandle viewDestCreate(DocHandle doc, PageHandle page, Atom fitType,
                                        const HostRect &rect, double zoom) = 0;
  // True for an explicit destination whose page is a page of its document.
  virtual bool viewDestIsValid(ViewDestHandle dest) = 0;
  // The explicit destination a named destination stands for (an explicit one is returned as
  // it is); null when the name is not defined in `doc`.
  virtual ViewDestHandle viewDestResolve(ViewDestHandle dest, DocHandle doc) = 0;
  // The zero-based page index of an explicit destination, or -1.
  virtual int32_t viewDestGetPageIndex(ViewDestHandle dest) = 0;
  virtual Atom viewDestGetFitType(ViewDestHandle dest) = 0;

  // ---- file specifications
  virtual bool fileSpecIsValid(FileSpecHandle spec) = 0;
  // The device-independent path as written in the document.
  virtual std::string fileSpecGetDIPath(FileSpecHandle spec) = 0;
  // The platform path of the file, resolved against the folder of `doc`'s own file; nothing
  // when it names no file.
  virtual std::optional<std::string> fileSpecGetPlatformPath(FileSpecHandle spec,
                                                             DocHandle doc) = 0;
};

enum class CosType : int32_t {
  Null = 0,
  Integer = 1,
  Real = 2,
  Boolean = 3,
  Name = 4,
  String = 5,
  Dict = 6,
  Array = 7,
  Stream = 8,
};

class CosTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kCos;

  virtual CosType cosObjGetType(CosObjHandle obj) = 0;
  bool cosObjIsNull(CosObjHandle obj) { return !obj || cosObjGetType(obj) == CosType::Null; }
  // The value under `key` of a dictionary (or a stream's dictionary); null when absent.
  virtual CosObjHandle cosDictGet(CosObjHandle dict, std::string_view key) = 0;
  // The text of a name object; empty for other objects.
  virtual std::string cosNameValue(CosObjHandle obj) = 0;
  // The bytes of a string object as stored (no decoding); empty for other objects.
  virtual std::string cosStringBytes(CosObjHandle obj) = 0;
};

enum class ContentElementKind : int32_t {
  Text = 1,      // a text object, with runs
  Form = 2,      // a form XObject, with a content list
  Container = 3, // marked content, with a content list
  External = 4,  // an external object (skipped by walks)
  Other = 5,     // paths, images, shadings
};

struct TextRunFont {
  Atom name = Atom::Null;     // the font's exact name
  Atom type = Atom::Null;     // "Type1", "TrueType", "Type0", "Type3", ...
  Atom encoding = Atom::Null; // "WinAnsiEncoding", "MacRomanEncoding", "Identity-H", ...
};

// The content of pages, read only.
class PagePDEContentTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPagePDEContent;

  // The page's content as a list of elements in content order; release it with contentRelease.
  // Element and list handles from it stay valid until then. Throws HostError(PdfDamaged).
  virtual ContentHandle pageAcquireContent(PageHandle page) = 0;
  virtual void contentRelease(ContentHandle content) = 0;

  // Every font name a text run of the page at `pageIndex` can carry, found without reading its
  // content; a run in any other font cannot occur there. Nothing when the host cannot promise
  // that (it then reads the page to know).
  virtual std::optional<std::vector<std::string>> docPageFontNames(DocHandle, int32_t) {
    return std::nullopt;
  }
  // The pages of `doc` whose content will be acquired next, in that order: a host may read
  // them ahead, in threads of its own. The content acquired is the same either way.
  virtual void docPlanContentReads(DocHandle, const std::vector<int32_t> &) {}
  // From now on, content acquired from `doc` holds whole only the runs in fonts `filter`
  // keeps: a run in another font has its font, size and box, and of its text only the first
  // character (with that character's box). Nothing: every run whole. A host may ignore it.
  virtual void docSetRunFontFilter(DocHandle, std::optional<RunFontFilter>) {}
};

// Reading content elements and their text runs. Run text is UTF-8 (the host code page) as a
// reader sees it: ligatures as their letters, a blank where the pen jumps a word gap.
class PDFEditReadTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDFEditRead;

  virtual int32_t contentNumElements(ContentHandle list) = 0;
  virtual ElementHandle contentGetElement(ContentHandle list, int32_t index) = 0;
  virtual ContentElementKind elementGetKind(ElementHandle element) = 0;
  // The list a form or container holds; null for other kinds.
  virtual ContentHandle elementGetContent(ElementHandle element) = 0;

  virtual int32_t textNumRuns(ElementHandle text) = 0;
  virtual std::string textRunGetText(ElementHandle text, int32_t run) = 0;
  virtual TextRunFont textRunGetFont(ElementHandle text, int32_t run) = 0;
  // The effective font size in points (the size a reader sees).
  virtual double textRunGetFontSize(ElementHandle text, int32_t run) = 0;
  virtual HostRect textRunGetBBox(ElementHandle text, int32_t run) = 0;
  // Index of the run's first character among the characters of its element, and its count.
  virtual int32_t textRunGetCharOffset(ElementHandle text, int32_t run) = 0;
  virtual int32_t textRunGetNumChars(ElementHandle text, int32_t run) = 0;
  virtual HostRect textGetCharBBox(ElementHandle text, int32_t charIndex) = 0;
  // True when the run's box overlaps `rect`.
  virtual bool textRunIsInRect(ElementHandle text, int32_t run, const HostRect &rect) = 0;
};

class PDFEditWriteTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDFEditWrite;
};

} // namespace sorvane
