#include "host/runtime/plugin_loader.h"

#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

#include "sdk/host_error.h"

namespace sorvane::host {
namespace {

[[noreturn]] void refuse(const std::string &path, const std::string &why) {
  throw HostError(ErrorCode::Generic, "The plug-in " + path + " cannot be loaded: " + why);
}

} // namespace

std::unique_ptr<LoadedPlugIn> LoadedPlugIn::load(const std::string &path,
                                                 HostTableProvider &provider) {
  std::unique_ptr<LoadedPlugIn> p(new LoadedPlugIn());
  p->m_module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!p->m_module) {
    const char *error = dlerror();
    refuse(path, error ? error : "unknown reason");
  }
  auto entry = reinterpret_cast<PlugInMainProc>(dlsym(p->m_module, kPlugInEntryName));
  if (!entry)
    refuse(path, "it has no entry point PlugInMain.");
  uint32_t accepted = 0;
  SetupProc setup = nullptr;
  PlatformData platform{nullptr, p->m_module};
  if (!entry(kHandshakeVersion, &accepted, &setup, &platform) || !setup)
    refuse(path, "its entry point failed.");
  if (accepted != kHandshakeVersion)
    refuse(path, "it speaks another version of the host interface.");
  HostData data;
  data.handshakeVersion = kHandshakeVersion;
  data.extensionId = 1;
  data.core = &provider.core();
  if (!setup(kHandshakeVersion, &data) || !data.handshake)
    refuse(path, "a host service it needs is missing.");
  if (!data.handshake(kHandshakeVersion, &p->m_record))
    refuse(path, "the handshake failed.");
  if (p->m_record.init && !p->m_record.init())
    refuse(path, "it could not initialise.");
  p->m_initialised = true;
  return p;
}

LoadedPlugIn::~LoadedPlugIn() {
  if (m_initialised && m_record.unload)
    m_record.unload();
  if (m_module)
    dlclose(m_module);
}

std::string plugInsFolder() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const auto beside = self.parent_path() / "plug_ins";
    if (std::filesystem::is_directory(beside, ec))
      return beside.string();
    const auto installed = self.parent_path().parent_path() / "lib" / "sorvane" / "plug_ins";
    if (std::filesystem::is_directory(installed, ec))
      return installed.string();
  }
  return "/usr/local/lib/sorvane/plug_ins";
}

} // namespace sorvane::host
