#include "plugin/values/cabinet_io.h"

#include "sdk/host_error.h"
#include "sdk/owned_cabinet.h"

namespace sorvane {

bool writeChildCabinet(std::string_view key, CabinetHandle parent,
                       const std::function<void(CabinetHandle)> &fill) {
  try {
    OwnedCabinet child(cabinets(), cabinets().cabinetNew());
    fill(child.get());
    cabinets().cabinetPutCabinet(parent, key, child.get());
    child.release(); // the parent's now
    return true;
  } catch (const HostError &) {
    return false;
  }
}

} // namespace sorvane
