// Colours as settings hold them: a colour space and four 16.16 components from 0 to 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/values/fixed_point.h"
#include "plugin/values/record_fields.h"
#include "sdk/handles.h"

namespace sorvane {

enum class ColorSpace : int16_t { DeviceGray = 0, DeviceRGB = 1, DeviceCMYK = 2 };

// Gray uses item 0; RGB items 0 to 2 (red, green, blue); CMYK items 0 to 3 (cyan, magenta,
// yellow, black). A packed display colour is 0x00BBGGRR (red in the low byte).
struct ColorValue {
  int16_t space = int16_t(ColorSpace::DeviceRGB);
  std::array<Fixed, 4> items{};

  // Device RGB black.
  void reset() { *this = ColorValue(); }

  // Device RGB from three fractions; item 3 keeps its value.
  void setRgb(double red, double green, double blue);
  // Device RGB from a packed display colour; item 3 keeps its value.
  void setDisplayColor(uint32_t color);
  // The packed display colour; 0 for an unknown space. Components outside 0..1 count as 0 or 1.
  uint32_t toDisplayColor() const;

  // A sub-Cabinet with "Space" and "Item0" to "Item3". False (parent untouched) on failure.
  bool write(std::string_view key, CabinetHandle parent) const;
  // Without a sub-Cabinet the colour is reset (device RGB black); in one, a missing "Space"
  // reads as device gray and missing items as 0. Always true.
  bool read(std::string_view key, CabinetHandle parent);
  // Adds what is wrong in a colour's Cabinet (under `path`) to `out`.
  static void check(CabinetHandle cab, const std::string &path, SettingsProblems &out);
  static const Fields<ColorValue> &fields();

  bool operator==(const ColorValue &) const = default;
};

} // namespace sorvane
