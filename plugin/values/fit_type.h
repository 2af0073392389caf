// The views a bookmark can open, as level rules store them.
#pragma once

#include <cstdint>

namespace sorvane {

// View fit type codes, as level rules store them.
enum class FitType : int32_t {
  XYZ = 0,  // "Inherit Zoom": position and zoom
  Fit = 1,  // "Fit Page"
  FitH = 2, // "Fit Width"
  FitV = 3,
  FitR = 4,
  FitB = 5, // "Fit Visible"
  FitBH = 6,
  FitBV = 7,
  ActualSize = 8, // "Actual Size": XYZ at 100 %
};

// The name written into the document for a fit type code; "Fit" for an unknown code.
const char *fitTypeName(int32_t code);

} // namespace sorvane
