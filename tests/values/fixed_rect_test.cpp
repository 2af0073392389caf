#include "plugin/values/fixed_rect.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace sorvane {
namespace {

using FixedRectInCabinet = test::HostTest;

TEST_F(FixedRectInCabinet, WritesLeftRightTopBottomAndReadsThemBack) {
  const FixedRect area{fixedFromDouble(36), fixedFromDouble(756), fixedFromDouble(576.5),
                       fixedFromDouble(36)};
  ASSERT_TRUE(area.write("ProcessingArea", root));
  CabinetHandle c = cab().cabinetGetCabinet(root, "ProcessingArea");
  EXPECT_EQ(cab().cabinetKeys(c), (std::vector<std::string>{"Left", "Right", "Top", "Bottom"}));
  EXPECT_EQ(cab().cabinetGetDouble(c, "Right", 0), 576.5);
  FixedRect back;
  EXPECT_TRUE(back.read("ProcessingArea", root));
  EXPECT_EQ(back, area);
}

TEST_F(FixedRectInCabinet, AbsentLeavesTheRectangleAsItWas) {
  FixedRect r{1, 2, 3, 4};
  EXPECT_FALSE(r.read("ProcessingArea", root));
  EXPECT_EQ(r, (FixedRect{1, 2, 3, 4}));
}

TEST_F(FixedRectInCabinet, MissingCoordinatesReadAsZero) {
  CabinetHandle c = cab().cabinetNew();
  cab().cabinetPutDouble(c, "Top", 700.0);
  cab().cabinetPutCabinet(root, "Area", c);
  FixedRect r{1, 2, 3, 4};
  EXPECT_TRUE(r.read("Area", root));
  EXPECT_EQ(r, (FixedRect{0, fixedFromDouble(700), 0, 0}));
}

} // namespace
} // namespace sorvane
