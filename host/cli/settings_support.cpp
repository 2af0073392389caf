#include "host/cli/settings_support.h"

#include <ostream>

#include "host/base/atom_table.h"
#include "host/cli/cli_support.h"
#include "host/runtime/as_extra.h"
#include "host/runtime/build_settings_file.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "sdk/host_error.h"

namespace sorvane::cli {

OwnedCabinet readBuildSettings(HostSession &session, const std::string &path) {
  return host::readBuildSettings(session.provider().asExtra(), path);
}

std::string settingsFileText(ASExtraTable &x, OwnedCabinet buildSettings) {
  const OwnedCabinet file(x, x.cabinetNew());
  x.cabinetPutCabinet(file.get(), "BuildSettings", buildSettings.release());
  return host::writeCabinetStream(host::ObjectStore::instance().cabinet(file.get()),
                                  host::AtomTable::instance());
}

void writeSettingsFile(ASExtraTable &x, OwnedCabinet buildSettings, const std::string &path) {
  writeResultFile(path, settingsFileText(x, std::move(buildSettings)));
}

std::string textValue(ASExtraTable &x, CabinetHandle cab, const std::string &key) {
  TextHandle t = x.cabinetGetText(cab, key);
  return t ? x.textGetEncoded(t, HostEncoding::Utf8) : std::string();
}

std::vector<std::string> textList(ASExtraTable &x, CabinetHandle cab, const char *key) {
  std::vector<std::string> out;
  CabinetHandle list = x.cabinetGetCabinet(cab, key);
  const int32_t count = list ? x.cabinetGetInt(list, "NumItems", 0) : 0;
  for (int32_t i = 0; i < count; ++i)
    if (x.cabinetGetType(list, std::to_string(i)) == CabinetValueType::Text)
      out.push_back(textValue(x, list, std::to_string(i)));
  return out;
}

size_t warnAboutSettings(ASExtraTable &x, CabinetHandle description, const std::string &path,
                         std::ostream &err) {
  size_t told = 0;
  for (const std::string &problem : textList(x, description, "Problems")) {
    err << "sorvane: warning: " << path << ": " << problem << "\n";
    ++told;
  }
  if (x.cabinetGetInt(description, "NumLevels", 0) <= 0) {
    err << "sorvane: warning: " << path
        << " has no levels, so no headings can be found (see 'sorvane settings new').\n";
    ++told;
  }
  return told;
}

} // namespace sorvane::cli
