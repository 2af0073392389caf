#include "host/pdf/pdf_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <mupdf/pdf.h>

#include "host/pdf/content_tables.h"
#include "host/pdf/mupdf_call.h"
#include "host/pdf/pdf_ops.h"
#include "host/runtime/atom_table.h"

namespace sorvane::host {
namespace {

struct Registry {
  std::unordered_map<uint32_t, PdfDocument *> docs;
  uint32_t next = 1;

  PdfDocument &doc(uint64_t handle) const {
    auto it = docs.find(static_cast<uint32_t>(handle >> 32));
    if (it == docs.end())
      throw HostError(ErrorCode::InvalidHandle, "The document is no longer open.");
    return *it->second;
  }
  PdfDocument &docById(DocHandle h) const {
    auto it = docs.find(static_cast<uint32_t>(h.value()));
    if (it == docs.end())
      throw HostError(ErrorCode::InvalidHandle, "The document is no longer open.");
    return *it->second;
  }
  uint32_t idOf(const PdfDocument &d) const {
    for (const auto &[id, doc] : docs)
      if (doc == &d)
        return id;
    throw HostError(ErrorCode::InvalidHandle, "The document is no longer open.");
  }
};

// A handle to a PDF object: the document's id above, its slot below.
template <class H> H makeHandle(const Registry &r, PdfDocument &d, uint32_t slot) {
  return slot ? H((uint64_t(r.idOf(d)) << 32) | slot) : H();
}

struct Ref {
  PdfDocument &doc;
  pdf_obj *obj;
  PdfOps ops;
};

template <class H> Ref deref(const Registry &r, H h) {
  PdfDocument &d = r.doc(h.value());
  pdf_obj *obj = d.objectAt(static_cast<uint32_t>(h.value() & 0xFFFFFFFFu));
  return Ref{d, obj, PdfOps(d.ctx(), d.doc())};
}

Atom atomOf(std::string_view name) { return AtomTable::instance().intern(name); }

class Model final : public PDModelTable {
public:
  explicit Model(Registry &r) : m_reg(r) {}

  HostEncoding scriptToHostEncoding(int32_t script) override {
    if (script != 0)
      throw HostError(ErrorCode::BadParameter,
                      "Script " + std::to_string(script) + " has no host encoding.");
    return HostEncoding::Utf8;
  }

  // ---- documents and pages
  int32_t docGetNumPages(DocHandle doc) override { return m_reg.docById(doc).pageCount(); }

  PageHandle docAcquirePage(DocHandle doc, int32_t index) override {
    PdfDocument &d = m_reg.docById(doc);
    PdfOps ops(d.ctx(), d.doc());
    pdf_obj *page = d.pageReference(index);
    uint32_t slot = 0;
    try {
      slot = d.slotFor(page);
    } catch (...) {
      ops.drop(page);
      throw;
    }
    ops.drop(page);
    return makeHandle<PageHandle>(m_reg, d, slot);
  }

  void pageRelease(PageHandle page) override { deref(m_reg, page); }

  int32_t pageGetIndex(PageHandle page) override {
    Ref p = deref(m_reg, page);
    return p.doc.pageIndexOf(p.obj);
  }

  HostRect pageGetCropBox(PageHandle page) override {
    Ref p = deref(m_reg, page);
    fz_context *ctx = p.doc.ctx();
    fz_rect box{};
    mupdfCall(ctx, ErrorCode::PdfDamaged, "cannot read the page box", [&] {
      fz_rect media = pdf_to_rect(ctx, pdf_dict_get_inheritable(ctx, p.obj, PDF_NAME(MediaBox)));
      if (fz_is_empty_rect(media))
        media = fz_make_rect(0, 0, 612, 792); // US Letter, as readers assume
      pdf_obj *cropObj = pdf_dict_get_inheritable(ctx, p.obj, PDF_NAME(CropBox));
      box =
          pdf_is_array(ctx, cropObj) ? fz_intersect_rect(pdf_to_rect(ctx, cropObj), media) : media;
      if (fz_is_empty_rect(box))
        box = media;
    });
    return HostRect{box.x0, box.y0, box.x1, box.y1};
  }

  BookmarkHandle docGetBookmarkRoot(DocHandle doc) override {
    PdfDocument &d = m_reg.docById(doc);
    return makeHandle<BookmarkHandle>(m_reg, d, PdfDocument::kRootSlot);
  }

  std::optional<uint32_t> docGetPermissions(DocHandle doc) override {
    return m_reg.docById(doc).permissions();
  }

  // ---- bookmarks
  bool bookmarkIsValid(BookmarkHandle bm) override {
    if (!bm)
      return false;
    try {
      Ref b = deref(m_reg, bm);
      return isRoot(bm) || b.ops.isDict(b.obj);
    } catch (const HostError &) {
      return false;
    }
  }

  std::string bookmarkGetTitle(BookmarkHandle bm) override {
    Ref b = deref(m_reg, bm);
    return b.ops.textString(b.ops.get(b.obj, PDF_NAME(Title)));
  }

  void bookmarkSetTitle(BookmarkHandle bm, std::string_view title) override {
    Ref b = mustItem(bm);
    b.ops.putTextString(b.obj, PDF_NAME(Title), title);
  }

  BookmarkHandle bookmarkGetFirstChild(BookmarkHandle bm) override {
    return link(bm, PDF_NAME(First));
  }
  BookmarkHandle bookmarkGetLastChild(BookmarkHandle bm) override {
    return link(bm, PDF_NAME(Last));
  }
  BookmarkHandle bookmarkGetNext(BookmarkHandle bm) override { return link(bm, PDF_NAME(Next)); }
  BookmarkHandle bookmarkGetPrev(BookmarkHandle bm) override { return link(bm, PDF_NAME(Prev)); }
  BookmarkHandle bookmarkGetParent(BookmarkHandle bm) override {
    return link(bm, PDF_NAME(Parent));
  }

  bool bookmarkHasChildren(BookmarkHandle bm) override {
    return static_cast<bool>(bookmarkGetFirstChild(bm));
  }

  BookmarkHandle bookmarkAddNewChild(BookmarkHandle parent, std::string_view title) override {
    Ref p = deref(m_reg, parent);
    pdf_obj *parentObj = isRoot(parent) ? p.doc.outlineRoot(true) : p.obj;
    if (!p.ops.isDict(parentObj))
      throw HostError(ErrorCode::BadParameter, "The parent bookmark is not valid.");
    pdf_obj *item = newItem(p, parentObj, title);
    pdf_obj *last = p.ops.get(parentObj, PDF_NAME(Last));
    if (p.ops.isDict(last)) {
      p.ops.put(last, PDF_NAME(Next), item);
      p.ops.put(item, PDF_NAME(Prev), last);
    } else {
      p.ops.put(parentObj, PDF_NAME(First), item);
    }
    p.ops.put(parentObj, PDF_NAME(Last), item);
    return adopt(p, item);
  }

  BookmarkHandle bookmarkAddNewSibling(BookmarkHandle bm, std::string_view title) override {
    Ref b = mustItem(bm);
    pdf_obj *parent = b.ops.get(b.obj, PDF_NAME(Parent));
    if (!b.ops.isDict(parent))
      throw HostError(ErrorCode::BadParameter, "The bookmark is not in an outline.");
    pdf_obj *item = newItem(b, parent, title);
    pdf_obj *next = b.ops.get(b.obj, PDF_NAME(Next));
    b.ops.put(item, PDF_NAME(Prev), b.obj);
    if (b.ops.isDict(next)) {
      b.ops.put(item, PDF_NAME(Next), next);
      b.ops.put(next, PDF_NAME(Prev), item);
    } else {
      b.ops.put(parent, PDF_NAME(Last), item);
    }
    b.ops.put(b.obj, PDF_NAME(Next), item);
    return adopt(b, item);
  }

  void bookmarkUnlink(BookmarkHandle bm) override {
    Ref b = mustItem(bm);
    pdf_obj *parent = b.ops.get(b.obj, PDF_NAME(Parent));
    pdf_obj *prev = b.ops.get(b.obj, PDF_NAME(Prev));
    pdf_obj *next = b.ops.get(b.obj, PDF_NAME(Next));
    const bool hasPrev = b.ops.isDict(prev);
    const bool hasNext = b.ops.isDict(next);
    if (hasPrev)
      setOrRemove(b.ops, prev, PDF_NAME(Next), hasNext ? next : nullptr);
    else if (b.ops.isDict(parent))
      setOrRemove(b.ops, parent, PDF_NAME(First), hasNext ? next : nullptr);
    if (hasNext)
      setOrRemove(b.ops, next, PDF_NAME(Prev), hasPrev ? prev : nullptr);
    else if (b.ops.isDict(parent))
      setOrRemove(b.ops, parent, PDF_NAME(Last), hasPrev ? prev : nullptr);
    b.ops.remove(b.obj, PDF_NAME(Prev));
    b.ops.remove(b.obj, PDF_NAME(Next));
    b.ops.remove(b.obj, PDF_NAME(Parent));
  }

  void bookmarkLinkBefore(BookmarkHandle bm, BookmarkHandle sibling) override {
    linkBeside(bm, sibling, true);
  }

  void bookmarkLinkAfter(BookmarkHandle bm, BookmarkHandle sibling) override {
    linkBeside(bm, sibling, false);
  }

  void bookmarkLinkAsLastChild(BookmarkHandle bm, BookmarkHandle parent) override {
    Ref b = mustUnlinked(bm);
    Ref p = deref(m_reg, parent);
    pdf_obj *parentObj = isRoot(parent) ? p.doc.outlineRoot(true) : p.obj;
    if (&p.doc != &b.doc || !p.ops.isDict(parentObj))
      throw HostError(ErrorCode::BadParameter, "The parent bookmark is not valid.");
    pdf_obj *last = p.ops.get(parentObj, PDF_NAME(Last));
    b.ops.put(b.obj, PDF_NAME(Parent), parentObj);
    if (p.ops.isDict(last)) {
      p.ops.put(last, PDF_NAME(Next), b.obj);
      b.ops.put(b.obj, PDF_NAME(Prev), last);
    } else {
      p.ops.put(parentObj, PDF_NAME(First), b.obj);
    }
    p.ops.put(parentObj, PDF_NAME(Last), b.obj);
  }

  void bookmarkDestroy(BookmarkHandle bm) override {
    if (isRoot(bm)) {
      Ref r = deref(m_reg, bm);
      if (r.obj) {
        r.ops.remove(r.obj, PDF_NAME(First));
        r.ops.remove(r.obj, PDF_NAME(Last));
      }
      return;
    }
    // Unlinked, the bookmark and its subtree are no longer part of the outline.
    bookmarkUnlink(bm);
  }

  bool bookmarkIsOpen(BookmarkHandle bm) override {
    Ref b = deref(m_reg, bm);
    if (isRoot(bm))
      return true;
    pdf_obj *count = b.ops.get(b.obj, PDF_NAME(Count));
    const int num = b.ops.num(b.obj);
    return (b.ops.type(count) == CosType::Integer && b.ops.toInt(count) > 0) ||
           (num != 0 && b.doc.openLeaves().count(num));
  }

  void bookmarkSetOpen(BookmarkHandle bm, bool open) override {
    Ref b = mustItem(bm);
    const int num = b.ops.num(b.obj);
    if (num != 0) {
      if (open)
        b.doc.openLeaves().insert(num);
      else
        b.doc.openLeaves().erase(num);
    }
    if (!b.ops.isDict(b.ops.get(b.obj, PDF_NAME(First))))
      return; // a leaf: /Count has nothing to say until it gets children
    // Only the sign matters here; the magnitudes are brought up to date before saving.
    pdf_obj *count = b.ops.get(b.obj, PDF_NAME(Count));
    int64_t magnitude = b.ops.type(count) == CosType::Integer ? std::llabs(b.ops.toInt(count)) : 0;
    if (magnitude == 0)
      magnitude = 1;
    b.ops.putInt(b.obj, PDF_NAME(Count), open ? magnitude : -magnitude);
  }

  HostRgb bookmarkGetColor(BookmarkHandle bm) override {
    Ref b = deref(m_reg, bm);
    HostRgb rgb{0, 0, 0};
    pdf_obj *c = b.ops.get(b.obj, PDF_NAME(C));
    if (b.ops.isArray(c) && b.ops.arrayLength(c) == 3)
      for (int i = 0; i < 3; ++i)
        rgb[size_t(i)] = b.ops.toReal(b.ops.arrayGet(c, i));
    return rgb;
  }

  void bookmarkSetColor(BookmarkHandle bm, const HostRgb &color) override {
    Ref b = mustItem(bm);
    double values[3];
    for (size_t i = 0; i < 3; ++i)
      values[i] = std::isfinite(color[i]) ? std::clamp(color[i], 0.0, 1.0) : 0.0;
    if (values[0] == 0 && values[1] == 0 && values[2] == 0) {
      b.ops.remove(b.obj, PDF_NAME(C)); // black is what readers show without /C
      return;
    }
    pdf_obj *array = b.ops.newRealArray(values, 3);
    try {
      b.ops.put(b.obj, PDF_NAME(C), array);
    } catch (...) {
      b.ops.drop(array);
      throw;
    }
    b.ops.drop(array);
  }

  int32_t bookmarkGetFlags(BookmarkHandle bm) override {
    Ref b = deref(m_reg, bm);
    return static_cast<int32_t>(b.ops.toInt(b.ops.get(b.obj, PDF_NAME(F))));
  }

  void bookmarkSetFlags(BookmarkHandle bm, int32_t flags) override {
    Ref b = mustItem(bm);
    if (flags == 0)
      b.ops.remove(b.obj, PDF_NAME(F));
    else
      b.ops.putInt(b.obj, PDF_NAME(F), flags);
  }

  ActionHandle bookmarkGetAction(BookmarkHandle bm) override {
    Ref b = deref(m_reg, bm);
    if (isRoot(bm))
      return ActionHandle();
    pdf_obj *action = b.ops.get(b.obj, PDF_NAME(A));
    if (b.ops.isDict(action))
      return makeHandle<ActionHandle>(m_reg, b.doc, b.doc.slotFor(action));
    pdf_obj *dest = b.ops.get(b.obj, PDF_NAME(Dest));
    if (b.ops.isNull(dest))
      return ActionHandle();
    // A plain destination acts as a go-to action to it.
    pdf_obj *goTo = b.ops.newGoToAction(dest);
    const uint32_t slot = b.doc.slotFor(goTo);
    b.ops.drop(goTo);
    return makeHandle<ActionHandle>(m_reg, b.doc, slot);
  }

  void bookmarkSetAction(BookmarkHandle bm, ActionHandle action) override {
    Ref b = mustItem(bm);
    Ref a = deref(m_reg, action);
    if (&a.doc != &b.doc || !a.ops.isDict(a.obj))
      throw HostError(ErrorCode::BadParameter, "The action is not valid for this bookmark.");
    b.ops.put(b.obj, PDF_NAME(A), a.obj);
    b.ops.remove(b.obj, PDF_NAME(Dest)); // a bookmark has a destination or an action, not both
  }

  // ---- actions
  bool actionIsValid(ActionHandle action) override {
    if (!action)
      return false;
    try {
      Ref a = deref(m_reg, action);
      return a.ops.isDict(a.obj) && a.ops.type(a.ops.get(a.obj, PDF_NAME(S))) == CosType::Name;
    } catch (const HostError &) {
      return false;
    }
  }

  Atom actionGetSubtype(ActionHandle action) override {
    Ref a = deref(m_reg, action);
    return atomOf(a.ops.name(a.ops.get(a.obj, PDF_NAME(S))));
  }

  ViewDestHandle actionGetDest(ActionHandle action) override {
    Ref a = deref(m_reg, action);
    pdf_obj *d = a.ops.get(a.obj, PDF_NAME(D));
    return a.ops.isNull(d) ? ViewDestHandle()
                           : makeHandle<ViewDestHandle>(m_reg, a.doc, a.doc.slotFor(d));
  }

  FileSpecHandle actionGetFileSpec(ActionHandle action) override {
    Ref a = deref(m_reg, action);
    pdf_obj *f = a.ops.get(a.obj, PDF_NAME(F));
    if (a.ops.isNull(f)) {
      // Launch actions may name the file only in their platform dictionaries.
      for (const char *platform : {"Unix", "Win", "Mac"}) {
        pdf_obj *dict = a.ops.get(a.obj, platform);
        f = a.ops.get(dict, "F");
        if (!a.ops.isNull(f))
          break;
      }
    }
    return a.ops.isNull(f) ? FileSpecHandle()
                           : makeHandle<FileSpecHandle>(m_reg, a.doc, a.doc.slotFor(f));
  }

  CosObjHandle actionGetCosObj(ActionHandle action) override {
    Ref a = deref(m_reg, action);
    return makeHandle<CosObjHandle>(m_reg, a.doc, a.doc.slotFor(a.obj));
  }

  ActionHandle actionNewFromDest(DocHandle doc, ViewDestHandle dest, DocHandle target) override {
    if (doc != target)
      throw HostError(ErrorCode::BadParameter, "A go-to action leads into its own document.");
    PdfDocument &d = m_reg.docById(doc);
    Ref r = deref(m_reg, dest);
    if (&r.doc != &d)
      throw HostError(ErrorCode::BadParameter, "The destination is in another document.");
    pdf_obj *action = r.ops.newGoToAction(r.obj);
    const uint32_t slot = d.slotFor(action);
    r.ops.drop(action);
    return makeHandle<ActionHandle>(m_reg, d, slot);
  }

  // ---- destinations
  ViewDestHandle viewDestCreate(DocHandle doc, PageHandle page, Atom fitType, const HostRect &rect,
                                double zoom) override {
    PdfDocument &d = m_reg.docById(doc);
    Ref p = deref(m_reg, page);
    if (&p.doc != &d)
      throw HostError(ErrorCode::BadParameter, "The page is in another document.");
    const std::string fit(AtomTable::instance().name(fitType));
    // Which numbers follow the fit type's name.
    double params[4];
    int n = 0;
    if (fit == "XYZ")
      params[0] = rect.left, params[1] = rect.top, params[2] = zoom, n = 3;
    else if (fit == "FitH" || fit == "FitBH")
      params[0] = rect.top, n = 1;
    else if (fit == "FitV" || fit == "FitBV")
      params[0] = rect.left, n = 1;
    else if (fit == "FitR")
      params[0] = rect.left, params[1] = rect.bottom, params[2] = rect.right, params[3] = rect.top,
      n = 4;
    else if (fit != "Fit" && fit != "FitB")
      throw HostError(ErrorCode::BadParameter, "Unknown view fit type \"" + fit + "\".");
    fz_context *ctx = d.ctx();
    pdf_document *pdf = d.doc();
    pdf_obj *pageObj = p.obj;
    const char *fitName = fit.c_str();
    pdf_obj *array = nullptr;
    mupdfCall(ctx, ErrorCode::Generic, "cannot create the destination", [&] {
      array = pdf_new_array(ctx, pdf, 2 + n);
      fz_try(ctx) {
        pdf_array_push(ctx, array, pageObj);
        pdf_array_push_name(ctx, array, fitName);
        for (int i = 0; i < n; ++i)
          pdf_array_push_real(ctx, array, std::isfinite(params[i]) ? params[i] : 0.0);
      }
      fz_catch(ctx) {
        pdf_drop_obj(ctx, array);
        fz_rethrow(ctx);
      }
    });
    const uint32_t slot = d.slotFor(array);
    p.ops.drop(array);
    return makeHandle<ViewDestHandle>(m_reg, d, slot);
  }

  bool viewDestIsValid(ViewDestHandle dest) override {
    if (!dest)
      return false;
    try {
      return viewDestGetPageIndex(dest) >= 0;
    } catch (const HostError &) {
      return false;
    }
  }

  ViewDestHandle viewDestResolve(ViewDestHandle dest, DocHandle doc) override {
    Ref r = deref(m_reg, dest);
    if (&r.doc != &m_reg.docById(doc))
      throw HostError(ErrorCode::BadParameter, "The destination is in another document.");
    pdf_obj *explicitDest = r.obj;
    const CosType type = r.ops.type(r.obj);
    if (type == CosType::Name || type == CosType::String)
      explicitDest = r.ops.lookupDest(r.obj);
    if (r.ops.isDict(explicitDest))
      explicitDest = r.ops.get(explicitDest, PDF_NAME(D));
    if (!r.ops.isArray(explicitDest))
      return ViewDestHandle();
    return makeHandle<ViewDestHandle>(m_reg, r.doc, r.doc.slotFor(explicitDest));
  }

  int32_t viewDestGetPageIndex(ViewDestHandle dest) override {
    Ref r = deref(m_reg, dest);
    pdf_obj *array = r.ops.isDict(r.obj) ? r.ops.get(r.obj, PDF_NAME(D)) : r.obj;
    if (!r.ops.isArray(array) || r.ops.arrayLength(array) < 1)
      return -1;
    pdf_obj *page = r.ops.arrayGet(array, 0);
    if (r.ops.isDict(page))
      return r.doc.pageIndexOf(page);
    if (r.ops.type(page) == CosType::Integer) { // what some producers write
      const int64_t index = r.ops.toInt(page);
      return index >= 0 && index < r.doc.pageCount() ? static_cast<int32_t>(index) : -1;
    }
    return -1;
  }

  Atom viewDestGetFitType(ViewDestHandle dest) override {
    Ref r = deref(m_reg, dest);
    pdf_obj *array = r.ops.isDict(r.obj) ? r.ops.get(r.obj, PDF_NAME(D)) : r.obj;
    return atomOf(r.ops.name(r.ops.arrayGet(array, 1)));
  }

  // ---- file specifications
  bool fileSpecIsValid(FileSpecHandle spec) override {
    if (!spec)
      return false;
    try {
      Ref r = deref(m_reg, spec);
      const CosType t = r.ops.type(r.obj);
      return t == CosType::String || t == CosType::Dict;
    } catch (const HostError &) {
      return false;
    }
  }

  std::string fileSpecGetDIPath(FileSpecHandle spec) override {
    Ref r = deref(m_reg, spec);
    if (r.ops.type(r.obj) == CosType::String)
      return r.ops.textString(r.obj);
    for (const char *key : {"UF", "F", "Unix", "DOS", "Mac"}) {
      pdf_obj *v = r.ops.get(r.obj, key);
      if (r.ops.type(v) == CosType::String)
        return r.ops.textString(v);
    }
    return {};
  }

  std::optional<std::string> fileSpecGetPlatformPath(FileSpecHandle spec, DocHandle doc) override {
    const std::string di = fileSpecGetDIPath(spec);
    if (di.empty())
      return std::nullopt;
    if (di.front() == '/')
      return di;
    const std::string &own = m_reg.docById(doc).path();
    const auto slash = own.rfind('/');
    return slash == std::string::npos ? di : own.substr(0, slash + 1) + di;
  }

private:
  static bool isRoot(BookmarkHandle bm) {
    return (bm.value() & 0xFFFFFFFFu) == PdfDocument::kRootSlot;
  }

  // A bookmark that is an outline item, not the root.
  Ref mustItem(BookmarkHandle bm) {
    Ref b = deref(m_reg, bm);
    if (isRoot(bm) || !b.ops.isDict(b.obj))
      throw HostError(ErrorCode::BadParameter, "Not a bookmark of the outline.");
    return b;
  }

  // Links the unlinked `bm` in next to `sibling`, before or after it.
  void linkBeside(BookmarkHandle bm, BookmarkHandle sibling, bool before) {
    Ref b = mustUnlinked(bm);
    Ref s = mustItem(sibling);
    if (&b.doc != &s.doc)
      throw HostError(ErrorCode::BadParameter, "The bookmarks are in different documents.");
    pdf_obj *toward = before ? PDF_NAME(Prev) : PDF_NAME(Next);
    pdf_obj *away = before ? PDF_NAME(Next) : PDF_NAME(Prev);
    pdf_obj *parent = s.ops.get(s.obj, PDF_NAME(Parent));
    pdf_obj *neighbour = s.ops.get(s.obj, toward);
    b.ops.put(b.obj, PDF_NAME(Parent), parent);
    b.ops.put(b.obj, away, s.obj);
    s.ops.put(s.obj, toward, b.obj);
    if (b.ops.isDict(neighbour)) {
      b.ops.put(neighbour, away, b.obj);
      b.ops.put(b.obj, toward, neighbour);
    } else {
      b.ops.put(parent, before ? PDF_NAME(First) : PDF_NAME(Last), b.obj);
    }
  }

  // An outline item that is not linked into the outline (after bookmarkUnlink).
  Ref mustUnlinked(BookmarkHandle bm) {
    Ref b = mustItem(bm);
    if (b.ops.isDict(b.ops.get(b.obj, PDF_NAME(Parent))))
      throw HostError(ErrorCode::BadParameter, "The bookmark is still linked into the outline.");
    return b;
  }

  BookmarkHandle link(BookmarkHandle bm, pdf_obj *key) {
    Ref b = deref(m_reg, bm);
    if (!b.obj)
      return BookmarkHandle(); // an outline that does not exist yet
    pdf_obj *target = b.ops.get(b.obj, key);
    if (!b.ops.isDict(target))
      return BookmarkHandle();
    return makeHandle<BookmarkHandle>(m_reg, b.doc, b.doc.slotFor(target));
  }

  static pdf_obj *newItem(Ref &r, pdf_obj *parent, std::string_view title) {
    pdf_obj *item = r.ops.newIndirectDict();
    try {
      r.ops.putTextString(item, PDF_NAME(Title), title);
      r.ops.put(item, PDF_NAME(Parent), parent);
    } catch (...) {
      r.ops.drop(item);
      throw;
    }
    return item;
  }

  BookmarkHandle adopt(Ref &r, pdf_obj *item) {
    const uint32_t slot = r.doc.slotFor(item);
    r.ops.drop(item);
    return makeHandle<BookmarkHandle>(m_reg, r.doc, slot);
  }

  static void setOrRemove(const PdfOps &ops, pdf_obj *dict, pdf_obj *key, pdf_obj *value) {
    if (value)
      ops.put(dict, key, value);
    else
      ops.remove(dict, key);
  }

  Registry &m_reg;
};

class Cos final : public CosTable {
public:
  explicit Cos(Registry &r) : m_reg(r) {}

  CosType cosObjGetType(CosObjHandle obj) override {
    if (!obj)
      return CosType::Null;
    Ref r = deref(m_reg, obj);
    return r.ops.type(r.obj);
  }

  CosObjHandle cosDictGet(CosObjHandle dict, std::string_view key) override {
    if (!dict)
      return CosObjHandle();
    Ref r = deref(m_reg, dict);
    pdf_obj *v = r.ops.get(r.obj, key);
    return r.ops.isNull(v) ? CosObjHandle()
                           : makeHandle<CosObjHandle>(m_reg, r.doc, r.doc.slotFor(v));
  }

  std::string cosNameValue(CosObjHandle obj) override {
    if (!obj)
      return {};
    Ref r = deref(m_reg, obj);
    return r.ops.name(r.obj);
  }

  std::string cosStringBytes(CosObjHandle obj) override {
    if (!obj)
      return {};
    Ref r = deref(m_reg, obj);
    return r.ops.stringBytes(r.obj);
  }

private:
  Registry &m_reg;
};

} // namespace

struct PdfTables::Impl {
  explicit Impl(PdfTables &self) : content(self) {}
  Registry registry;
  Model model{registry};
  Cos cos{registry};
  ContentTables content;
};

PdfTables::PdfTables() : m_impl(std::make_unique<Impl>(*this)) {}
PdfTables::~PdfTables() = default;

DocHandle PdfTables::add(PdfDocument &doc) {
  const uint32_t id = m_impl->registry.next++;
  m_impl->registry.docs.emplace(id, &doc);
  return DocHandle(id);
}

void PdfTables::remove(DocHandle doc) {
  m_impl->registry.docs.erase(static_cast<uint32_t>(doc.value()));
}

PdfDocument &PdfTables::document(DocHandle doc) const { return m_impl->registry.docById(doc); }

BookmarkHandle PdfTables::bookmarkFor(DocHandle doc, pdf_obj *obj) {
  PdfDocument &d = m_impl->registry.docById(doc);
  return makeHandle<BookmarkHandle>(m_impl->registry, d, d.slotFor(obj));
}

PdfTables::PageRef PdfTables::pageOf(PageHandle page) {
  PdfDocument &d = m_impl->registry.doc(page.value());
  pdf_obj *obj = d.objectAt(static_cast<uint32_t>(page.value() & 0xFFFFFFFFu));
  const int index = d.pageIndexOf(obj);
  if (index < 0)
    throw HostError(ErrorCode::InvalidHandle, "Not a page of the document.");
  return PageRef{d, index};
}

PDModelTable &PdfTables::pdModel() { return m_impl->model; }
PagePDEContentTable &PdfTables::pageContent() { return m_impl->content.pageContent(); }
PDFEditReadTable &PdfTables::editRead() { return m_impl->content.editRead(); }
size_t PdfTables::heldContents() const { return m_impl->content.heldContents(); }
CosTable &PdfTables::cos() { return m_impl->cos; }

} // namespace sorvane::host
