#include "plugin/values/fit_type.h"

namespace sorvane {

const char *fitTypeName(int32_t code) {
  switch (FitType(code)) {
  case FitType::XYZ: return "XYZ";
  case FitType::Fit: return "Fit";
  case FitType::FitH: return "FitH";
  case FitType::FitV: return "FitV";
  case FitType::FitR: return "FitR";
  case FitType::FitB: return "FitB";
  case FitType::FitBH: return "FitBH";
  case FitType::FitBV: return "FitBV";
  case FitType::ActualSize: return "XYZ";
  }
  return "Fit";
}

} // namespace sorvane
