#include "plugin/values/color_value.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace sorvane {
namespace {

ColorValue color(ColorSpace space, double c0, double c1 = 0, double c2 = 0, double c3 = 0) {
  ColorValue c;
  c.space = int16_t(space);
  c.items = {fixedFromDouble(c0), fixedFromDouble(c1), fixedFromDouble(c2), fixedFromDouble(c3)};
  return c;
}

TEST(ColorValueDisplay, PureRedRoundTrips) {
  ColorValue c;
  c.setDisplayColor(0x0000FF);
  EXPECT_EQ(c.space, int16_t(ColorSpace::DeviceRGB));
  EXPECT_EQ(c.items[0], kFixedOne);
  EXPECT_EQ(c.items[1], 0);
  EXPECT_EQ(c.items[2], 0);
  EXPECT_EQ(c.toDisplayColor(), 0x0000FFu);
}

TEST(ColorValueDisplay, EveryByteRoundTrips) {
  for (uint32_t v = 0; v < 256; ++v) {
    ColorValue c;
    c.setDisplayColor(v | (255 - v) << 8 | (v / 2) << 16);
    EXPECT_EQ(c.toDisplayColor(), v | (255 - v) << 8 | (v / 2) << 16) << v;
  }
}

TEST(ColorValueDisplay, HalfGrayTruncatesTo127) {
  ColorValue c;
  c.setRgb(0.5, 0.5, 0.5);
  EXPECT_EQ(c.toDisplayColor(), 0x7F7F7Fu);
  EXPECT_EQ(color(ColorSpace::DeviceGray, 0.5).toDisplayColor(), 0x7F7F7Fu);
}

TEST(ColorValueDisplay, CmykWithFullBlackIsBlack) {
  EXPECT_EQ(color(ColorSpace::DeviceCMYK, 0, 0, 0, 1).toDisplayColor(), 0u);
  EXPECT_EQ(color(ColorSpace::DeviceCMYK, 0.3, 0.9, 0.1, 1).toDisplayColor(), 0u);
  EXPECT_EQ(color(ColorSpace::DeviceCMYK, 0, 0, 0, 0).toDisplayColor(), 0xFFFFFFu);
  EXPECT_EQ(color(ColorSpace::DeviceCMYK, 1, 0, 0, 0).toDisplayColor(), 0xFFFF00u); // cyan
}

TEST(ColorValueDisplay, UnknownSpacesGiveBlack) {
  EXPECT_EQ(color(static_cast<ColorSpace>(7), 1, 1, 1).toDisplayColor(), 0u);
}

TEST(ColorValueDisplay, ComponentsOutsideTheUnitRangeAreClamped) {
  // Unclamped, 1.5 would wrap around to a dark byte and −0.2 to a bright one.
  EXPECT_EQ(color(ColorSpace::DeviceRGB, 1.5, -0.2, 1).toDisplayColor(), 0xFF00FFu);
}

TEST(ColorValueSetters, LeaveTheFourthComponentAlone) {
  ColorValue c = color(ColorSpace::DeviceCMYK, 0.1, 0.2, 0.3, 0.4);
  c.setRgb(1, 0, 0);
  EXPECT_EQ(c.space, int16_t(ColorSpace::DeviceRGB));
  EXPECT_EQ(c.items[3], fixedFromDouble(0.4));
  c.setDisplayColor(0xFF0000);
  EXPECT_EQ(c.items[3], fixedFromDouble(0.4));
  EXPECT_EQ(c.items[2], kFixedOne);
}

using ColorValueInCabinet = test::HostTest;

TEST_F(ColorValueInCabinet, WritesSpaceAndFourItems) {
  ASSERT_TRUE(color(ColorSpace::DeviceCMYK, 0.25, 0.5, 0.75, 1).write("Color", root));
  CabinetHandle c = cab().cabinetGetCabinet(root, "Color");
  EXPECT_EQ(cab().cabinetKeys(c),
            (std::vector<std::string>{"Space", "Item0", "Item1", "Item2", "Item3"}));
  EXPECT_EQ(cab().cabinetGetInt(c, "Space", -1), 2);
  EXPECT_EQ(cab().cabinetGetDouble(c, "Item2", 0), 0.75);
  ColorValue back;
  EXPECT_TRUE(back.read("Color", root));
  EXPECT_EQ(back, color(ColorSpace::DeviceCMYK, 0.25, 0.5, 0.75, 1));
}

TEST_F(ColorValueInCabinet, AbsentReadsAsRgbBlackButEmptyAsGray) {
  ColorValue c = color(ColorSpace::DeviceCMYK, 1, 1, 1, 1);
  EXPECT_TRUE(c.read("Color", root));
  EXPECT_EQ(c, ColorValue());
  EXPECT_EQ(c.space, int16_t(ColorSpace::DeviceRGB));

  cab().cabinetPutCabinet(root, "Color", cab().cabinetNew());
  c = color(ColorSpace::DeviceRGB, 1, 1, 1, 1);
  EXPECT_TRUE(c.read("Color", root));
  EXPECT_EQ(c.space, int16_t(ColorSpace::DeviceGray));
  EXPECT_EQ(c.items, (std::array<Fixed, 4>{0, 0, 0, 0}));
}

} // namespace
} // namespace sorvane
