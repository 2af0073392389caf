// Loading a plug-in module: entry point, setup, handshake and initialisation; unloading.
#pragma once

#include <memory>
#include <string>

#include "host/runtime/host_tables.h"
#include "sdk/plugin_entry.h"

namespace sorvane::host {

class LoadedPlugIn {
public:
  // Loads the module at `path` and brings it up with `provider`'s tables. Throws
  // HostError(Generic) with the reason when the module cannot be loaded or refuses to load.
  static std::unique_ptr<LoadedPlugIn> load(const std::string &path, HostTableProvider &provider);
  // Calls the plug-in's unload procedure, then unloads the module.
  ~LoadedPlugIn();
  LoadedPlugIn(const LoadedPlugIn &) = delete;
  LoadedPlugIn &operator=(const LoadedPlugIn &) = delete;

  Atom extensionName() const { return m_record.extensionName; }

private:
  LoadedPlugIn() = default;
  void *m_module = nullptr;
  HandshakeRecord m_record;
  bool m_initialised = false;
};

// Where the host looks for its plug-ins: "plug_ins" beside the running program in a build tree,
// else the installed folder.
std::string plugInsFolder();

} // namespace sorvane::host
