// The plug-in's process-wide state, set at load and read everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sdk/imported_tables.h"
#include "sdk/plugin_entry.h"

namespace sorvane {

inline constexpr std::string_view kExtensionName = "TAVO:Sorvane";

struct PlugInState {
  void *mainWindow = nullptr;
  void *moduleInstance = nullptr;
  uint32_t extensionId = 0;
  std::string defaultsFile; // remembered dialog settings, in the user's profile folder
  std::string helpFile;
};

PlugInState &plugInState();

} // namespace sorvane

// The exported entry point (see sdk/plugin_entry.h).
extern "C" __attribute__((visibility("default"))) bool
PlugInMain(uint32_t hostHandshakeVersion, uint32_t *acceptedVersion, sorvane::SetupProc *setup,
           const sorvane::PlatformData *platformData);
