// Loading a plug-in: the exported entry point, the setup procedure and the handshake.
//
// The host calls PlugInMain, then the setup procedure it hands back, then the handshake
// procedure that setup put into the host data, and then the handshake callbacks.
#pragma once

#include <cstdint>

#include "sdk/atom.h"
#include "sdk/core_table.h"

namespace sorvane {

// Platform values the host passes at entry.
struct PlatformData {
  void *mainWindow = nullptr;     // the parent of the plug-in's windows
  void *moduleInstance = nullptr; // the host's handle of the loaded plug-in module
};

// Filled by the plug-in during the handshake.
struct HandshakeRecord {
  Atom extensionName = Atom::Null;
  bool (*exportTables)() = nullptr;
  bool (*importReplaceAndRegister)() = nullptr;
  bool (*init)() = nullptr;
  bool (*unload)() = nullptr;
};

using HandshakeProc = bool (*)(uint32_t handshakeVersion, HandshakeRecord *record);

// What the host gives the setup procedure.
struct HostData {
  uint32_t handshakeVersion = 0;
  uint32_t extensionId = 0;
  CoreTable *core = nullptr;
  HandshakeProc handshake = nullptr; // set by the plug-in
};

using SetupProc = bool (*)(uint32_t handshakeVersion, HostData *hostData);

// The entry point, exported as "PlugInMain".
using PlugInMainProc = bool (*)(uint32_t hostHandshakeVersion, uint32_t *acceptedVersion,
                                SetupProc *setup, const PlatformData *platformData);

inline constexpr const char *kPlugInEntryName = "PlugInMain";

} // namespace sorvane
