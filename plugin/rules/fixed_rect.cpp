#include "plugin/rules/fixed_rect.h"

#include "plugin/rules/cabinet_io.h"

namespace sorvane {

bool FixedRect::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    writeFixed(left, "Left", cab);
    writeFixed(right, "Right", cab);
    writeFixed(top, "Top", cab);
    writeFixed(bottom, "Bottom", cab);
  });
}

bool FixedRect::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab)
    return false;
  left = readFixed("Left", cab, 0);
  right = readFixed("Right", cab, 0);
  top = readFixed("Top", cab, 0);
  bottom = readFixed("Bottom", cab, 0);
  return true;
}

} // namespace sorvane
