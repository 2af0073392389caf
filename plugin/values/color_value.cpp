#include "plugin/values/color_value.h"

#include <algorithm>
#include <string>

#include "plugin/values/cabinet_io.h"

namespace sorvane {
namespace {

constexpr double kByteToFraction = 0.00392156862745098; // 1/255

constexpr const char *kItemKeys[4] = {"Item0", "Item1", "Item2", "Item3"};

double fraction(Fixed f) { return std::clamp(fixedToDouble(f), 0.0, 1.0); }

// Truncates like the colour controls do, but forgives the fixed-point rounding of a colour
// that came from a byte (at most 0.5 × 255 / 65536), so that bytes survive a round trip.
constexpr double kFixedSlack = 0.002;

uint32_t toByte(double v) { return static_cast<uint32_t>(int32_t(v * 255.0 + kFixedSlack)) & 0xFF; }

} // namespace

void ColorValue::setRgb(double red, double green, double blue) {
  space = int16_t(ColorSpace::DeviceRGB);
  items[0] = fixedFromDouble(red);
  items[1] = fixedFromDouble(green);
  items[2] = fixedFromDouble(blue);
}

void ColorValue::setDisplayColor(uint32_t color) {
  space = int16_t(ColorSpace::DeviceRGB);
  for (int i = 0; i < 3; ++i)
    items[size_t(i)] = fixedFromDouble(((color >> (8 * i)) & 0xFF) * kByteToFraction);
}

uint32_t ColorValue::toDisplayColor() const {
  switch (ColorSpace(space)) {
  case ColorSpace::DeviceGray: return toByte(fraction(items[0])) * 0x010101u;
  case ColorSpace::DeviceRGB:
    return toByte(fraction(items[0])) | toByte(fraction(items[1])) << 8 |
           toByte(fraction(items[2])) << 16;
  case ColorSpace::DeviceCMYK: {
    const double k = fraction(items[3]);
    auto channel = [k](Fixed ink) { return toByte(1.0 - (k + (1.0 - k) * fraction(ink))); };
    return channel(items[0]) | channel(items[1]) << 8 | channel(items[2]) << 16;
  }
  }
  return 0;
}

namespace {

// The space is a 16-bit code and the components an array: their fields say how they are kept.
Field<ColorValue> componentField(size_t i) {
  const std::string_view key = kItemKeys[i];
  return fields::custom<ColorValue>(
      key, FieldType::Length,
      [key, i](const ColorValue &c, CabinetHandle cab) { writeFixed(c.items[i], key, cab); },
      [key, i](ColorValue &c, CabinetHandle cab) { c.items[i] = readFixed(key, cab, 0); });
}

const Fields<ColorValue> &colorFields() {
  static const Fields<ColorValue> table = [] {
    Fields<ColorValue> t = {fields::custom<ColorValue>(
        "Space", FieldType::Int,
        [](const ColorValue &c, CabinetHandle cab) {
          cabinets().cabinetPutInt(cab, "Space", c.space);
        },
        [](ColorValue &c, CabinetHandle cab) {
          c.space = static_cast<int16_t>(cabinets().cabinetGetInt(cab, "Space", 0));
        })};
    t.back().min = 0;
    t.back().max = 2;
    for (size_t i = 0; i < 4; ++i) {
      t.push_back(componentField(i));
      t.back().min = 0;
      t.back().max = 1;
    }
    return t;
  }();
  return table;
}

} // namespace

const Fields<ColorValue> &ColorValue::fields() { return colorFields(); }
bool ColorValue::write(std::string_view key, CabinetHandle parent) const {
  return writeRecord(*this, colorFields(), key, parent);
}

bool ColorValue::read(std::string_view key, CabinetHandle parent) {
  readRecord(*this, colorFields(), key, parent, [this] { reset(); });
  return true;
}

void ColorValue::check(CabinetHandle cab, const std::string &path, SettingsProblems &out) {
  checkFields(colorFields(), cab, path, out);
}

} // namespace sorvane
