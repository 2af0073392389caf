#include "host/runtime/build_settings_file.h"

#include <memory>

#include "host/base/atom_table.h"
#include "host/base/file_io.h"
#include "host/runtime/cabinet_stream.h"
#include "host/runtime/object_store.h"
#include "sdk/host_error.h"

namespace sorvane::host {

OwnedCabinet readBuildSettings(ASExtraTable &x, const std::string &path) {
  return readBuildSettingsText(x, readWholeFile(path, kMaxCabinetStreamBytes), path);
}

OwnedCabinet readBuildSettingsText(ASExtraTable &x, const std::string &bytes,
                                   const std::string &path) {
  std::unique_ptr<CabinetNode> file;
  try {
    file = readCabinetStream(bytes, AtomTable::instance());
  } catch (const HostError &e) {
    throw HostError(e.code(), path + ": " + e.text());
  }
  const OwnedCabinet whole(x, ObjectStore::instance().adopt(std::move(file)));
  const CabinetHandle settings = x.cabinetGetCabinet(whole.get(), "BuildSettings");
  if (!settings)
    throw HostError(ErrorCode::FileFormat,
                    path + ": not a settings file (it has no \"BuildSettings\" entry).");
  return OwnedCabinet(x, x.cabinetDup(settings));
}

} // namespace sorvane::host
