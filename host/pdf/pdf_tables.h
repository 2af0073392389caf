// The host's document tables ("PDModel", "Cos") over the PDF documents it has open.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "host/pdf/pdf_document.h"
#include "sdk/document_tables.h"

namespace sorvane::host {

class PdfTables {
public:
  PdfTables();
  ~PdfTables();
  PdfTables(const PdfTables &) = delete;
  PdfTables &operator=(const PdfTables &) = delete;

  // Gives an open document a handle. The document must outlive its registration.
  DocHandle add(PdfDocument &doc);
  void remove(DocHandle doc);
  // Throws HostError(InvalidHandle) for a handle of no open document.
  PdfDocument &document(DocHandle doc) const;

  // The document and page index a page handle stands for.
  struct PageRef {
    PdfDocument &document;
    int index;
  };
  PageRef pageOf(PageHandle page);

  // The handle of the object in `slot` of the open document `doc` (document_engine.h).
  template <class H> H handleAt(DocHandle doc, uint32_t slot) const {
    return slot ? H(handleValue(doc, slot)) : H();
  }

  PDModelTable &pdModel();
  CosTable &cos();
  PagePDEContentTable &pageContent();
  PDFEditReadTable &editRead();
  // Page contents acquired and not yet released.
  size_t heldContents() const;
  // Off: the content table never promises a page's fonts and reads every run whole, so every
  // page is read in full (for comparisons).
  void setShortcuts(bool on);
  // For tests: `hook` is called with the name of some "PDModel" operations (docAcquirePage,
  // pageGetCropBox, bookmarkAddNewChild, bookmarkAddNewSibling, bookmarkSetAction,
  // bookmarkSetFlags, actionNewFromDest, viewDestCreate) before they run, and may throw a
  // HostError to make the host fail there. An empty hook removes it.
  void setFaultHook(std::function<void(std::string_view operation)> hook);

private:
  uint64_t handleValue(DocHandle doc, uint32_t slot) const;

  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

} // namespace sorvane::host
