// The host's page content tables ("PagePDEContent", "PDFEditRead") over extracted page text.
#pragma once

#include <memory>

#include "sdk/document_tables.h"

namespace sorvane::host {

class PdfTables;

class ContentTables {
public:
  explicit ContentTables(PdfTables &documents);
  ~ContentTables();
  ContentTables(const ContentTables &) = delete;
  ContentTables &operator=(const ContentTables &) = delete;

  PagePDEContentTable &pageContent();
  PDFEditReadTable &editRead();
  // Contents acquired and not yet released, for leak checks in tests.
  size_t heldContents() const;
  // Off: pages' fonts are never promised and every run is read whole, as though no reader
  // could do with less (for comparisons).
  void setShortcuts(bool on);

private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

} // namespace sorvane::host
