#include "plugin/values/fixed_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/test_host.h"

namespace sorvane {
namespace {

TEST(FixedPoint, PositiveValuesRoundToNearest) {
  EXPECT_EQ(fixedFromDouble(1.0), kFixedOne);
  EXPECT_EQ(fixedFromDouble(1.5), kFixedOne + kFixedOne / 2);
  EXPECT_EQ(fixedFromDouble(0.4 / 65536), 0);
  EXPECT_EQ(fixedFromDouble(0.6 / 65536), 1);
}

TEST(FixedPoint, NegativeValuesTruncateTowardZero) {
  // −1.5 × 65536 + 0.5 = −98303.5, truncated to −98303: one unit closer to zero.
  EXPECT_EQ(fixedFromDouble(-1.5), -98303);
  EXPECT_EQ(fixedFromDouble(-1.0), -65535);
}

TEST(FixedPoint, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(fixedFromDouble(1e12), std::numeric_limits<Fixed>::max());
  EXPECT_EQ(fixedFromDouble(-1e12), std::numeric_limits<Fixed>::min());
  EXPECT_EQ(fixedFromDouble(std::numeric_limits<double>::infinity()),
            std::numeric_limits<Fixed>::max());
  EXPECT_EQ(fixedFromDouble(std::nan("")), 0);
}

using FixedInCabinet = test::HostTest;

TEST_F(FixedInCabinet, IsWrittenAsTheDoubleValue) {
  writeFixed(fixedFromDouble(-1.5), "X", root);
  EXPECT_EQ(cab().cabinetGetDouble(root, "X", 0), -98303 / 65536.0);
  writeFixed(kFixedOne * 12, "Size", root);
  EXPECT_EQ(cab().cabinetGetDouble(root, "Size", 0), 12.0);
}

TEST_F(FixedInCabinet, PositiveValuesSurviveAndNegativeOnesMoveTowardZero) {
  for (Fixed f : {0, 1, 12345, kFixedOne * 300 + 7}) {
    writeFixed(f, "V", root);
    EXPECT_EQ(readFixed("V", root, -1), f);
  }
  cab().cabinetPutDouble(root, "V", -1.5);
  EXPECT_EQ(readFixed("V", root, 0), -98303);
}

TEST_F(FixedInCabinet, MissingOrMistypedValuesGiveTheExactDefault) {
  EXPECT_EQ(readFixed("Missing", root, -98304), -98304);
  cab().cabinetPutBool(root, "Flag", true);
  EXPECT_EQ(readFixed("Flag", root, -98304), -98304);
  cab().cabinetPutInt(root, "Whole", 3); // an integer typed by hand
  EXPECT_EQ(readFixed("Whole", root, 0), 3 * kFixedOne);
}

} // namespace
} // namespace sorvane
