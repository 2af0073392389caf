#include "plugin/values/fixed_point.h"

#include <cmath>
#include <limits>

#include "plugin/values/cabinet_io.h"

namespace sorvane {

Fixed fixedFromDouble(double x) {
  const double scaled = x * 65536.0 + 0.5;
  if (std::isnan(scaled))
    return 0;
  if (scaled >= double(std::numeric_limits<Fixed>::max()))
    return std::numeric_limits<Fixed>::max();
  if (scaled <= double(std::numeric_limits<Fixed>::min()))
    return std::numeric_limits<Fixed>::min();
  return static_cast<Fixed>(scaled); // truncates toward zero
}

void writeFixed(Fixed value, std::string_view key, CabinetHandle parent) {
  cabinets().cabinetPutDouble(parent, key, fixedToDouble(value));
}

Fixed readFixed(std::string_view key, CabinetHandle parent, Fixed defaultValue) {
  const CabinetValueType type = cabinets().cabinetGetType(parent, key);
  if (type != CabinetValueType::Double && type != CabinetValueType::Int)
    return defaultValue; // exactly the default, not its round trip through a double
  return fixedFromDouble(cabinets().cabinetGetDouble(parent, key, 0.0));
}

} // namespace sorvane
