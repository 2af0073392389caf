// The plug-in's entry point, setup procedure and handshake.
#include <dlfcn.h>
#include <string>

#include "plugin/engine/settings_files.h"
#include "plugin/shell/commands.h"
#include "plugin/shell/plugin_state.h"
#include "plugin/shell/sequence_command.h"
#include "plugin/shell/table_import.h"
#include "plugin/ui/rules_preview.h"
#include "sdk/host_error.h"
#include "sdk/plugin_entry.h"

namespace sorvane {
namespace {

bool exportTables() { return true; } // the plug-in exports no tables

bool importReplaceAndRegister() { return true; }

// The full path of this plug-in's own file.
std::string modulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&PlugInMain), &info) && info.dli_fname)
    return info.dli_fname;
  return "sorvane.api";
}

// Builds the menus, then registers the batch command.
bool initialize() {
  try {
    // The per-user profile (validation options) is the company's.
    ui::UiServices &ui = hostTables().win.must().ui();
    ui.setProfileOwner("Quillon", "Sorvane");
    const std::string path = modulePath();
    // The dialogs' remembered choices are the user's: kept in the profile's folder (they were
    // once kept beside the plug-in, which a user may not write).
    plugInState().defaultsFile =
        defaultsLocation(ui.profileFolder(), "sorvane.cfs", derivedPath(path, ".cfs"));
    plugInState().helpFile = derivedPath(path, ".html");
    buildMenus();
    buildCommand().setUp();
    learnCommand().setUp();
    RulesPreview::instance().setDefaultsFile(plugInState().defaultsFile);
    if (hostTables().acroView)
      hostTables().acroView->appSetHeadingPreviewer(&RulesPreview::instance());
    return true;
  } catch (const HostError &) {
    return false;
  }
}

bool unload() {
  try {
    if (hostTables().acroView)
      hostTables().acroView->appSetHeadingPreviewer(nullptr);
  } catch (const HostError &) {
  }
  buildCommand().release();
  learnCommand().release();
  return true;
}

bool handshake(uint32_t handshakeVersion, HandshakeRecord *record) {
  if (handshakeVersion != kHandshakeVersion || !record)
    return false;
  try {
    record->extensionName = hostTables().core->atomFromString(kExtensionName);
  } catch (const HostError &) {
    return false;
  }
  record->exportTables = exportTables;
  record->importReplaceAndRegister = importReplaceAndRegister;
  record->init = initialize;
  record->unload = unload;
  return true;
}

bool setup(uint32_t handshakeVersion, HostData *hostData) {
  if (handshakeVersion != kHandshakeVersion || !hostData ||
      hostData->handshakeVersion != kHandshakeVersion || !hostData->core)
    return false;
  PlugInState &state = plugInState();
  state.extensionId = hostData->extensionId;
  ImportedTables &tables = hostTables();
  tables = {};
  tables.core = {hostData->core, kCoreTableVersion};
  if (!importHostTables(*hostData->core, tables))
    return false;
  hostData->handshake = handshake;
  return true;
}

} // namespace
} // namespace sorvane

extern "C" bool PlugInMain(uint32_t hostHandshakeVersion, uint32_t *acceptedVersion,
                           sorvane::SetupProc *setup, const sorvane::PlatformData *platformData) {
  using namespace sorvane;
  PlugInState &state = plugInState();
  if (platformData) {
    state.mainWindow = platformData->mainWindow;
    state.moduleInstance = platformData->moduleInstance;
  }
  if (acceptedVersion)
    *acceptedVersion =
        hostHandshakeVersion < kHandshakeVersion ? hostHandshakeVersion : kHandshakeVersion;
  if (setup)
    *setup = sorvane::setup;
  return true;
}
