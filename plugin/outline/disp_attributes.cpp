#include "plugin/outline/disp_attributes.h"

#include "plugin/rules/cabinet_io.h"
#include "sdk/host_error.h"

namespace sorvane {

bool DispAttributes::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    cabinets().cabinetPutBool(cab, "IsBold", isBold);
    cabinets().cabinetPutBool(cab, "IsItalic", isItalic);
    cabinets().cabinetPutBool(cab, "ShowOpen", showOpen);
    if (!color.write("Color", cab))
      throw HostError(ErrorCode::Generic, "The colour could not be written.");
  });
}

bool DispAttributes::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    reset();
    return true;
  }
  isBold = cabinets().cabinetGetBool(cab, "IsBold", false);
  isItalic = cabinets().cabinetGetBool(cab, "IsItalic", false);
  showOpen = cabinets().cabinetGetBool(cab, "ShowOpen", false);
  color.read("Color", cab);
  return true;
}

} // namespace sorvane
