#include "plugin/rules/color_value.h"

#include <algorithm>
#include <string>

#include "plugin/rules/cabinet_io.h"

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

bool ColorValue::write(std::string_view key, CabinetHandle parent) const {
  return writeChildCabinet(key, parent, [this](CabinetHandle cab) {
    cabinets().cabinetPutInt(cab, "Space", space);
    for (size_t i = 0; i < items.size(); ++i)
      writeFixed(items[i], kItemKeys[i], cab);
  });
}

bool ColorValue::read(std::string_view key, CabinetHandle parent) {
  CabinetHandle cab = cabinets().cabinetGetCabinet(parent, key);
  if (!cab) {
    reset();
    return true;
  }
  space = static_cast<int16_t>(cabinets().cabinetGetInt(cab, "Space", 0));
  for (size_t i = 0; i < items.size(); ++i)
    items[i] = readFixed(kItemKeys[i], cab, 0);
  return true;
}

} // namespace sorvane
