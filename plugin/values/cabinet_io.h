// Writing records into Cabinets: the plug-in side of the host's Cabinet services.
#pragma once

#include <functional>
#include <string_view>

#include "sdk/handles.h"
#include "sdk/imported_tables.h"

namespace sorvane {

// The host's Cabinet and text services. Throws HostError when the host has none.
inline ASExtraTable &cabinets() { return hostTables().asExtra.must(); }

// Creates a Cabinet, lets `fill` write into it and puts it into `parent` under `key`. When the
// Cabinet cannot be created or a host error ends the filling, the Cabinet is destroyed, the
// parent is not touched and the result is false.
bool writeChildCabinet(std::string_view key, CabinetHandle parent,
                       const std::function<void(CabinetHandle)> &fill);

} // namespace sorvane
