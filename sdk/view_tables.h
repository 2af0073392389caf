// Viewer services ("AcroView") and the tables a plug-in imports without calling them.
#pragma once

#include <string_view>

#include "sdk/host_table.h"

namespace sorvane {

// Windows, menus, alerts, batch commands, progress and printing. Its operations come with the
// front ends that provide them.
class AcroViewTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroView;
};

class PDSysFontTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSysFont;
};

class PDSWriteTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSWrite;
};

class PDSReadTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDSRead;
};

class WinTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kWin;
};

class AcroViewSweetPeaTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroViewSweetPea;
};

class PDMetadataTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kPDMetadata;
};

} // namespace sorvane
