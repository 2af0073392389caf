#include "plugin/values/cabinet_io.h"

#include "sdk/host_error.h"

namespace sorvane {

bool writeChildCabinet(std::string_view key, CabinetHandle parent,
                       const std::function<void(CabinetHandle)> &fill) {
  CabinetHandle child;
  try {
    child = cabinets().cabinetNew();
    fill(child);
    cabinets().cabinetPutCabinet(parent, key, child);
    return true;
  } catch (const HostError &) {
    if (child) {
      try {
        cabinets().cabinetDestroy(child);
      } catch (const HostError &) {
        // Already owned by the parent: nothing is left to release.
      }
    }
    return false;
  }
}

} // namespace sorvane
