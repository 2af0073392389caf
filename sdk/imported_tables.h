// The tables a plug-in has imported, and the version obtained for each (0 while not obtained).
// The plug-in keeps one such record for the process; it is filled at setup and read everywhere.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/acro_support_table.h"
#include "sdk/as_extra_table.h"
#include "sdk/core_table.h"
#include "sdk/document_tables.h"
#include "sdk/host_error.h"
#include "sdk/view_tables.h"

namespace sorvane {

template <class T> struct ImportedTable {
  T *table = nullptr;
  uint32_t version = 0;

  T *operator->() const { return &must(); }
  explicit operator bool() const { return table != nullptr; }

  // The table; throws HostError(Generic) when the host did not grant it.
  T &must() const {
    if (!table)
      throw HostError(ErrorCode::Generic,
                      "The host does not offer the \"" + std::string(T::kName) + "\" services.");
    return *table;
  }
};

struct ImportedTables {
  ImportedTable<CoreTable> core;
  ImportedTable<AcroSupportTable> acroSupport;
  ImportedTable<CosTable> cos;
  ImportedTable<PDModelTable> pdModel;
  ImportedTable<PDFEditWriteTable> pdfEditWrite;
  ImportedTable<PDFEditReadTable> pdfEditRead;
  ImportedTable<PDSysFontTable> pdSysFont;
  ImportedTable<PagePDEContentTable> pagePDEContent;
  ImportedTable<AcroViewTable> acroView;
  ImportedTable<PDSWriteTable> pdsWrite;
  ImportedTable<PDSReadTable> pdsRead;
  ImportedTable<WinTable> win;
  ImportedTable<ASExtraTable> asExtra;
  ImportedTable<AcroViewSweetPeaTable> acroViewSweetPea;
  ImportedTable<PDMetadataTable> pdMetadata;
};

// The calling plug-in's own record (each plug-in module has its own).
ImportedTables &hostTables();

} // namespace sorvane
