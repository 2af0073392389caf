#include "host/runtime/build_settings_file.h"

#include <memory>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "sdk/host_error.h"

namespace sorvane::host {

CabinetHandle readBuildSettings(ASExtraTable &x, const std::string &path) {
  return readBuildSettingsText(x, readWholeFile(path, kMaxCabinetStreamBytes), path);
}

CabinetHandle readBuildSettingsText(ASExtraTable &x, const std::string &bytes,
                                    const std::string &path) {
  std::unique_ptr<CabinetNode> file;
  try {
    file = readCabinetStream(bytes, AtomTable::instance());
  } catch (const HostError &e) {
    throw HostError(e.code(), path + ": " + e.text());
  }
  CabinetHandle cab = ObjectStore::instance().adopt(std::move(file));
  CabinetHandle settings = x.cabinetGetCabinet(cab, "BuildSettings");
  if (!settings) {
    x.cabinetDestroy(cab);
    throw HostError(ErrorCode::FileFormat,
                    path + ": not a settings file (it has no \"BuildSettings\" entry).");
  }
  CabinetHandle copy = x.cabinetDup(settings);
  x.cabinetDestroy(cab);
  return copy;
}

} // namespace sorvane::host
