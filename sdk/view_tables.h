// Viewer services ("AcroView") and the tables a plug-in imports without calling them.
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/host_table.h"
#include "sdk/progress_monitor.h"

namespace sorvane {

// Windows, menus, alerts, batch commands, progress and printing.
class AcroViewTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kAcroView;

  // The progress monitor for work on the active document, and its client data in `clientData`;
  // null when the host shows no progress.
  virtual const ProgressMonitor *docProgressMonitor(void **clientData) = 0;
  // A note for the user (message and an OK button).
  virtual void alertNote(std::string_view message) = 0;
  // Shows (true) or restores (false) the wait cursor.
  virtual void showWaitCursor(bool on) = 0;
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

// Platform window services.
class WinTable : public HostTable {
public:
  static constexpr std::string_view kName = table_name::kWin;

  // Dispatches pending paint messages, at most `max`; the number dispatched.
  virtual int32_t pumpPaintMessages(int32_t max) = 0;
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
