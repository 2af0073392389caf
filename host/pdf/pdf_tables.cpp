#include "host/pdf/pdf_tables.h"

#include <functional>

#include "host/pdf/action_model.h"
#include "host/pdf/content_tables.h"
#include "host/pdf/outline_model.h"
#include "host/pdf/page_model.h"
#include "host/pdf/table_registry.h"

namespace sorvane::host {
namespace {

// "PDModel": pages, outline items and actions each have their own model; this table only
// routes the calls.
class Model final : public PDModelTable {
public:
  explicit Model(Registry &r) : m_pages(r), m_outline(r), m_actions(r, m_outline) {}

  // Tests make the host fail in the middle of a run through this hook.
  std::function<void(std::string_view operation)> faultHook;

  HostEncoding scriptToHostEncoding(int32_t script) override {
    if (script != 0)
      throw HostError(ErrorCode::BadParameter,
                      "Script " + std::to_string(script) + " has no host encoding.");
    return HostEncoding::Utf8;
  }

  // ---- documents and pages
  int32_t docGetNumPages(DocHandle doc) override { return m_pages.docGetNumPages(doc); }
  PageHandle docAcquirePage(DocHandle doc, int32_t index) override {
    fault("docAcquirePage");
    return m_pages.docAcquirePage(doc, index);
  }
  void pageRelease(PageHandle page) override { m_pages.pageRelease(page); }
  int32_t pageGetIndex(PageHandle page) override { return m_pages.pageGetIndex(page); }
  HostRect pageGetCropBox(PageHandle page) override {
    fault("pageGetCropBox");
    return m_pages.pageGetCropBox(page);
  }
  BookmarkHandle docGetBookmarkRoot(DocHandle doc) override {
    fault("docGetBookmarkRoot");
    return m_outline.docGetBookmarkRoot(doc);
  }
  std::optional<uint32_t> docGetPermissions(DocHandle doc) override {
    return m_pages.docGetPermissions(doc);
  }
  void docEnumFonts(DocHandle doc, int32_t first, int32_t last,
                    const std::function<void(std::string_view)> &onFont,
                    const ProgressMonitor *monitor, void *clientData) override {
    m_pages.docEnumFonts(doc, first, last, onFont, monitor, clientData);
  }

  // ---- bookmarks
  bool bookmarkIsValid(BookmarkHandle bm) override { return m_outline.bookmarkIsValid(bm); }
  std::string bookmarkGetTitle(BookmarkHandle bm) override {
    return m_outline.bookmarkGetTitle(bm);
  }
  void bookmarkSetTitle(BookmarkHandle bm, std::string_view title) override {
    m_outline.bookmarkSetTitle(bm, title);
  }
  BookmarkHandle bookmarkGetFirstChild(BookmarkHandle bm) override {
    return m_outline.link(bm, PDF_NAME(First));
  }
  BookmarkHandle bookmarkGetLastChild(BookmarkHandle bm) override {
    return m_outline.link(bm, PDF_NAME(Last));
  }
  BookmarkHandle bookmarkGetNext(BookmarkHandle bm) override {
    return m_outline.link(bm, PDF_NAME(Next));
  }
  BookmarkHandle bookmarkGetPrev(BookmarkHandle bm) override {
    return m_outline.link(bm, PDF_NAME(Prev));
  }
  BookmarkHandle bookmarkGetParent(BookmarkHandle bm) override {
    return m_outline.link(bm, PDF_NAME(Parent));
  }
  bool bookmarkHasChildren(BookmarkHandle bm) override {
    return static_cast<bool>(bookmarkGetFirstChild(bm));
  }
  BookmarkHandle bookmarkAddNewChild(BookmarkHandle parent, std::string_view title) override {
    fault("bookmarkAddNewChild");
    return m_outline.bookmarkAddNewChild(parent, title);
  }
  BookmarkHandle bookmarkAddNewSibling(BookmarkHandle bm, std::string_view title) override {
    fault("bookmarkAddNewSibling");
    return m_outline.bookmarkAddNewSibling(bm, title);
  }
  void bookmarkUnlink(BookmarkHandle bm) override { m_outline.bookmarkUnlink(bm); }
  void bookmarkLinkBefore(BookmarkHandle bm, BookmarkHandle sibling) override {
    m_outline.linkBeside(bm, sibling, true);
  }
  void bookmarkLinkAfter(BookmarkHandle bm, BookmarkHandle sibling) override {
    m_outline.linkBeside(bm, sibling, false);
  }
  void bookmarkLinkAsLastChild(BookmarkHandle bm, BookmarkHandle parent) override {
    m_outline.bookmarkLinkAsLastChild(bm, parent);
  }
  void bookmarkDestroy(BookmarkHandle bm) override { m_outline.bookmarkDestroy(bm); }
  bool bookmarkIsOpen(BookmarkHandle bm) override { return m_outline.bookmarkIsOpen(bm); }
  void bookmarkSetOpen(BookmarkHandle bm, bool open) override {
    m_outline.bookmarkSetOpen(bm, open);
  }
  HostRgb bookmarkGetColor(BookmarkHandle bm) override { return m_outline.bookmarkGetColor(bm); }
  void bookmarkSetColor(BookmarkHandle bm, const HostRgb &color) override {
    m_outline.bookmarkSetColor(bm, color);
  }
  int32_t bookmarkGetFlags(BookmarkHandle bm) override { return m_outline.bookmarkGetFlags(bm); }
  void bookmarkSetFlags(BookmarkHandle bm, int32_t flags) override {
    fault("bookmarkSetFlags");
    m_outline.bookmarkSetFlags(bm, flags);
  }
  ActionHandle bookmarkGetAction(BookmarkHandle bm) override {
    return m_actions.bookmarkGetAction(bm);
  }
  void bookmarkSetAction(BookmarkHandle bm, ActionHandle action) override {
    fault("bookmarkSetAction");
    m_actions.bookmarkSetAction(bm, action);
  }

  // ---- actions
  bool actionIsValid(ActionHandle action) override { return m_actions.actionIsValid(action); }
  Atom actionGetSubtype(ActionHandle action) override { return m_actions.actionGetSubtype(action); }
  ViewDestHandle actionGetDest(ActionHandle action) override {
    return m_actions.actionGetDest(action);
  }
  FileSpecHandle actionGetFileSpec(ActionHandle action) override {
    return m_actions.actionGetFileSpec(action);
  }
  CosObjHandle actionGetCosObj(ActionHandle action) override {
    return m_actions.actionGetCosObj(action);
  }
  ActionHandle actionNewFromDest(DocHandle doc, ViewDestHandle dest, DocHandle target) override {
    fault("actionNewFromDest");
    return m_actions.actionNewFromDest(doc, dest, target);
  }

  // ---- destinations
  ViewDestHandle viewDestCreate(DocHandle doc, PageHandle page, Atom fitType, const HostRect &rect,
                                double zoom) override {
    fault("viewDestCreate");
    return m_actions.viewDestCreate(doc, page, fitType, rect, zoom);
  }
  bool viewDestIsValid(ViewDestHandle dest) override { return m_actions.viewDestIsValid(dest); }
  ViewDestHandle viewDestResolve(ViewDestHandle dest, DocHandle doc) override {
    return m_actions.viewDestResolve(dest, doc);
  }
  int32_t viewDestGetPageIndex(ViewDestHandle dest) override {
    return m_actions.viewDestGetPageIndex(dest);
  }
  Atom viewDestGetFitType(ViewDestHandle dest) override {
    return m_actions.viewDestGetFitType(dest);
  }

  // ---- file specifications
  bool fileSpecIsValid(FileSpecHandle spec) override { return m_actions.fileSpecIsValid(spec); }
  std::string fileSpecGetDIPath(FileSpecHandle spec) override {
    return m_actions.fileSpecGetDIPath(spec);
  }
  std::optional<std::string> fileSpecGetPlatformPath(FileSpecHandle spec, DocHandle doc) override {
    return m_actions.fileSpecGetPlatformPath(spec, doc);
  }

private:
  void fault(std::string_view operation) const {
    if (faultHook)
      faultHook(operation);
  }

  PageModel m_pages;
  OutlineModel m_outline;
  ActionModel m_actions;
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
                           : makeHandle<CosObjHandle>(m_reg, r.doc, r.engine().slotFor(v));
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

uint64_t PdfTables::handleValue(DocHandle doc, uint32_t slot) const {
  const Registry &r = m_impl->registry;
  return (uint64_t(r.idOf(r.docById(doc))) << 32) | slot;
}

PdfTables::PageRef PdfTables::pageOf(PageHandle page) {
  Ref p = deref(m_impl->registry, page);
  const int index = p.engine().pageIndexOf(p.obj);
  if (index < 0)
    throw HostError(ErrorCode::InvalidHandle, "Not a page of the document.");
  return PageRef{p.doc, index};
}

void PdfTables::setFaultHook(std::function<void(std::string_view operation)> hook) {
  m_impl->model.faultHook = std::move(hook);
}

PDModelTable &PdfTables::pdModel() { return m_impl->model; }
PagePDEContentTable &PdfTables::pageContent() { return m_impl->content.pageContent(); }
PDFEditReadTable &PdfTables::editRead() { return m_impl->content.editRead(); }
size_t PdfTables::heldContents() const { return m_impl->content.heldContents(); }
void PdfTables::setShortcuts(bool on) { m_impl->content.setShortcuts(on); }
CosTable &PdfTables::cos() { return m_impl->cos; }

} // namespace sorvane::host
