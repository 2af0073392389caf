// Document services: "PDModel", "Cos", and the page content tables. Their document, outline,
// action and content operations come with the host's PDF engine; what is here already is what
// the rest of the host API relies on.
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/as_extra_table.h"
#include "sdk/host_table.h"

namespace sorvane {

class PDModelTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDModel;

  // The host encoding for a script code; script 0 (Roman) is the host code page.
  virtual HostEncoding scriptToHostEncoding(int32_t script) = 0;
};

class CosTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kCos;
};

class PagePDEContentTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPagePDEContent;
};

class PDFEditReadTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDFEditRead;
};

class PDFEditWriteTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDFEditWrite;
};

} // namespace sorvane
