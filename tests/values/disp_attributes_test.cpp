#include "plugin/values/disp_attributes.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace sorvane {
namespace {

TEST(DispAttributesStyle, BoldCountsTwoAndItalicOne) {
  DispAttributes a;
  EXPECT_EQ(a.styleFlags(), 0);
  a.isItalic = true;
  EXPECT_EQ(a.styleFlags(), 1);
  a.isBold = true;
  EXPECT_EQ(a.styleFlags(), 3);
  a.isItalic = false;
  EXPECT_EQ(a.styleFlags(), 2);
}

TEST(DispAttributesReset, IsBlackPlainAndClosed) {
  DispAttributes a;
  a.isBold = a.isItalic = a.showOpen = true;
  a.color.setRgb(1, 0, 0);
  a.reset();
  EXPECT_FALSE(a.isBold || a.isItalic || a.showOpen);
  EXPECT_EQ(a.color.space, int16_t(ColorSpace::DeviceRGB));
  EXPECT_EQ(a.color.toDisplayColor(), 0u);
}

using DispAttributesInCabinet = test::HostTest;

TEST_F(DispAttributesInCabinet, EveryFieldSurvivesARoundTrip) {
  DispAttributes a;
  a.isBold = true;
  a.showOpen = true;
  a.color.setRgb(0.2, 0.4, 0.6);
  ASSERT_TRUE(a.write("DispAttribs", root));
  CabinetHandle c = cab().cabinetGetCabinet(root, "DispAttribs");
  EXPECT_EQ(cab().cabinetKeys(c),
            (std::vector<std::string>{"IsBold", "IsItalic", "ShowOpen", "Color"}));
  DispAttributes back;
  back.isItalic = true;
  EXPECT_TRUE(back.read("DispAttribs", root));
  EXPECT_EQ(back, a);
  EXPECT_EQ(back.color.items[1], fixedFromDouble(0.4));
}

TEST_F(DispAttributesInCabinet, AbsentResetsTheRecord) {
  DispAttributes a;
  a.isBold = a.isItalic = a.showOpen = true;
  a.color.setRgb(1, 1, 1);
  EXPECT_TRUE(a.read("DispAttribs", root));
  EXPECT_EQ(a, DispAttributes());
}

TEST_F(DispAttributesInCabinet, MissingFlagsReadFalseAndMissingColorBlack) {
  CabinetHandle c = cab().cabinetNew();
  cab().cabinetPutBool(c, "IsItalic", true);
  cab().cabinetPutCabinet(root, "DispAttribs", c);
  DispAttributes a;
  a.isBold = true;
  a.color.setRgb(1, 1, 1);
  a.read("DispAttribs", root);
  EXPECT_FALSE(a.isBold);
  EXPECT_TRUE(a.isItalic);
  EXPECT_EQ(a.color, ColorValue());
}

} // namespace
} // namespace sorvane
