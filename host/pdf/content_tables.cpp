#include "host/pdf/content_tables.h"

#include <unordered_map>

#include "host/base/atom_table.h"
#include "host/pdf/page_fonts.h"
#include "host/pdf/page_text.h"
#include "host/pdf/pdf_tables.h"
#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

// Handles: the content's id above, a list or element index (plus one) below.
uint64_t pack(uint32_t content, size_t index) { return (uint64_t(content) << 32) | (index + 1); }

struct Store {
  std::unordered_map<uint32_t, std::unique_ptr<PageText>> contents;
  uint32_t next = 1;
  bool shortcuts = true;

  PageText &content(uint64_t handle) const {
    auto it = contents.find(uint32_t(handle >> 32));
    if (it == contents.end())
      throw HostError(ErrorCode::InvalidHandle, "The page content is no longer held.");
    return *it->second;
  }
  static size_t index(uint64_t handle) { return size_t(handle & 0xFFFFFFFFu) - 1; }

  const std::vector<int> &list(ContentHandle h) const {
    PageText &c = content(h.value());
    const size_t i = index(h.value());
    if (!h || i >= c.lists.size())
      throw HostError(ErrorCode::InvalidHandle, "Invalid content list handle.");
    return c.lists[i];
  }
  const ExtractedElement &element(ElementHandle h) const {
    PageText &c = content(h.value());
    const size_t i = index(h.value());
    if (!h || i >= c.elements.size())
      throw HostError(ErrorCode::InvalidHandle, "Invalid content element handle.");
    return c.elements[i];
  }
  const ExtractedRun &run(ElementHandle h, int32_t r) const {
    const ExtractedElement &e = element(h);
    if (r < 0 || size_t(r) >= e.runs.size())
      throw HostError(ErrorCode::BadParameter,
                      "The text element has no run " + std::to_string(r) + ".");
    return e.runs[size_t(r)];
  }
};

class PdfPageContent final : public PagePDEContentTable {
public:
  PdfPageContent(PdfTables &docs, Store &store) : m_docs(docs), m_store(store) {}

  ContentHandle pageAcquireContent(PageHandle page) override {
    PdfTables::PageRef ref = m_docs.pageOf(page);
    auto text = ref.document.pageText(ref.index);
    const uint32_t id = m_store.next++;
    m_store.contents.emplace(id, std::move(text));
    return ContentHandle(pack(id, 0));
  }

  void contentRelease(ContentHandle content) override {
    m_store.content(content.value());
    m_store.contents.erase(uint32_t(content.value() >> 32));
  }

  std::optional<std::vector<std::string>> docPageFontNames(DocHandle doc,
                                                           int32_t pageIndex) override {
    PdfDocument &document = m_docs.document(doc);
    if (!m_store.shortcuts)
      return std::nullopt;
    return pageFontNames(document, pageIndex);
  }

  void docPlanContentReads(DocHandle doc, const std::vector<int32_t> &pages) override {
    m_docs.document(doc).planPageReads(pages);
  }

  void docSetRunFontFilter(DocHandle doc, std::optional<RunFontFilter> filter) override {
    if (!m_store.shortcuts)
      filter.reset();
    m_docs.document(doc).setRunFontFilter(std::move(filter));
  }

private:
  PdfTables &m_docs;
  Store &m_store;
};

class EditRead final : public PDFEditReadTable {
public:
  explicit EditRead(Store &store) : m_store(store) {}

  int32_t contentNumElements(ContentHandle list) override {
    return static_cast<int32_t>(m_store.list(list).size());
  }
  ElementHandle contentGetElement(ContentHandle list, int32_t index) override {
    const std::vector<int> &l = m_store.list(list);
    if (index < 0 || size_t(index) >= l.size())
      throw HostError(ErrorCode::BadParameter,
                      "The content list has no element " + std::to_string(index) + ".");
    return ElementHandle(pack(uint32_t(list.value() >> 32), size_t(l[size_t(index)])));
  }
  ContentElementKind elementGetKind(ElementHandle element) override {
    return m_store.element(element).kind;
  }
  ContentHandle elementGetContent(ElementHandle element) override {
    const ExtractedElement &e = m_store.element(element);
    return e.list < 0 ? ContentHandle()
                      : ContentHandle(pack(uint32_t(element.value() >> 32), size_t(e.list)));
  }
  int32_t textNumRuns(ElementHandle text) override {
    return static_cast<int32_t>(m_store.element(text).runs.size());
  }
  std::string textRunGetText(ElementHandle text, int32_t run) override {
    return m_store.run(text, run).text;
  }
  TextRunFont textRunGetFont(ElementHandle text, int32_t run) override {
    const ExtractedRun &r = m_store.run(text, run);
    const RunFont &f = m_store.content(text.value()).fonts[size_t(r.font)];
    AtomTable &atoms = AtomTable::instance();
    return TextRunFont{atoms.intern(f.name), atoms.intern(f.type), atoms.intern(f.encoding)};
  }
  double textRunGetFontSize(ElementHandle text, int32_t run) override {
    return m_store.run(text, run).size;
  }
  HostRect textRunGetBBox(ElementHandle text, int32_t run) override {
    return m_store.run(text, run).box;
  }
  int32_t textRunGetCharOffset(ElementHandle text, int32_t run) override {
    return m_store.run(text, run).firstChar;
  }
  int32_t textRunGetNumChars(ElementHandle text, int32_t run) override {
    return m_store.run(text, run).charCount;
  }
  HostRect textGetCharBBox(ElementHandle text, int32_t charIndex) override {
    const ExtractedElement &e = m_store.element(text);
    if (charIndex < 0 || size_t(charIndex) >= e.charBoxes.size())
      throw HostError(ErrorCode::BadParameter,
                      "The text element has no character " + std::to_string(charIndex) + ".");
    return e.charBoxes[size_t(charIndex)];
  }
  bool textRunIsInRect(ElementHandle text, int32_t run, const HostRect &rect) override {
    const HostRect &b = m_store.run(text, run).box;
    return b.left < rect.right && rect.left < b.right && b.bottom < rect.top && rect.bottom < b.top;
  }

private:
  Store &m_store;
};

} // namespace

struct ContentTables::Impl {
  explicit Impl(PdfTables &docs) : pageContent(docs, store), editRead(store) {}
  Store store;
  PdfPageContent pageContent;
  EditRead editRead;
};

ContentTables::ContentTables(PdfTables &documents) : m_impl(std::make_unique<Impl>(documents)) {}
ContentTables::~ContentTables() = default;

PagePDEContentTable &ContentTables::pageContent() { return m_impl->pageContent; }
PDFEditReadTable &ContentTables::editRead() { return m_impl->editRead; }
size_t ContentTables::heldContents() const { return m_impl->store.contents.size(); }
void ContentTables::setShortcuts(bool on) { m_impl->store.shortcuts = on; }

} // namespace sorvane::host
