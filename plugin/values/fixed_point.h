// Signed 16.16 fixed-point numbers: lengths in points, coordinates, zoom factors, colours.
#pragma once

#include <cstdint>
#include <string_view>

#include "sdk/handles.h"

namespace sorvane {

using Fixed = int32_t;

inline constexpr Fixed kFixedOne = 0x10000;

// x × 65536 + 0.5, truncated toward zero (so negative values round toward zero, not to the
// nearest). Values beyond the 16.16 range saturate; NaN gives 0.
Fixed fixedFromDouble(double x);
// The largest magnitude a Fixed holds whole, in points: page coordinates past it cannot be
// measured.
inline constexpr double kMaxCoordinate = 32767.0;

inline double fixedToDouble(Fixed f) { return f / 65536.0; }

// A fixed-point value in a Cabinet is the double value / 65536.
void writeFixed(Fixed value, std::string_view key, CabinetHandle parent);
Fixed readFixed(std::string_view key, CabinetHandle parent, Fixed defaultValue);

} // namespace sorvane
