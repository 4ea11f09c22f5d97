// Pure parts of the lights: the span of the path, key times, names and ids.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TOLV_Mask/lights/LightLayer.h"
#include "TOLV_Mask/lights/LightName.h"
#include "TOLV_Mask/lights/PathTime.h"

namespace {

TEST(PathSpan, isTheDurationLessOneFrameAtTheDurationsScale) {
  const A_Time span = PathSpan({250, 25}, {1, 25});
  EXPECT_EQ(span.value, 249);
  EXPECT_EQ(span.scale, 25u);
  // A frame at another scale is converted with the quotient truncated.
  const A_Time other = PathSpan({25000, 2500}, {1, 30});
  EXPECT_EQ(other.value, 25000 - 83);
  EXPECT_EQ(other.scale, 2500u);
}

TEST(PathSpan, aFrameWithoutScaleGivesNoSpanAndLargeProductsDoNotWrap) {
  EXPECT_EQ(PathSpan({250, 25}, {1, 0}).value, 0);
  // 100000 × 100000 does not fit 32 bits.
  EXPECT_EQ(PathSpan({2000000000, 100000}, {100000, 100000}).value, 2000000000 - 100000);
}

TEST(RowKeyTime, risingDepthsAreKeyedForwardInWholeTicks) {
  const A_Time span = {249, 25};
  EXPECT_EQ(RowKeyTime(span, 0, 3, true).value, 0);
  EXPECT_EQ(RowKeyTime(span, 1, 3, true).value, 124);
  EXPECT_EQ(RowKeyTime(span, 2, 3, true).value, 249);
  EXPECT_EQ(RowKeyTime(span, 2, 3, true).scale, 25u);
}

TEST(RowKeyTime, fallingDepthsAreKeyedBackwardInSinglePrecision) {
  const A_Time span = {249, 25};
  EXPECT_EQ(RowKeyTime(span, 0, 3, false).value, 249);
  EXPECT_EQ(RowKeyTime(span, 1, 3, false).value, 124);
  EXPECT_EQ(RowKeyTime(span, 2, 3, false).value, 0);
  // q = 1/3 in single precision: 300 × (1 − 0.33333334f) = 199.99999... → 199.
  EXPECT_EQ(RowKeyTime({300, 25}, 1, 4, false).value, 199);
}

TEST(RowKeyTime, productsOfLongSpansAreFormedIn64Bits) {
  const A_Time span = {2000000000, 1000};
  EXPECT_EQ(RowKeyTime(span, 8, 10, true).value, 1777777777);
}

TEST(RowKeyTime, oneRowOrNoneIsKeyedAtZero) {
  EXPECT_EQ(RowKeyTime({249, 25}, 0, 1, true).value, 0);
  EXPECT_EQ(RowKeyTime({249, 25}, 0, 1, false).value, 0);
  EXPECT_EQ(RowKeyTime({249, 25}, 0, 0, false).scale, 25u);
}

TEST(LightName, quotesTheEffectNameAndWidensBytesAsUnsigned) {
  const std::vector<A_UTF16Char> path = LightName("Morvane", kPathLightEnding);
  const std::u16string expected = u"'Morvane' path";
  ASSERT_EQ(path.size(), expected.size() + 1);
  EXPECT_EQ(std::u16string(path.begin(), path.end() - 1), expected);
  EXPECT_EQ(path.back(), 0);
  const std::vector<A_UTF16Char> follower = LightName("M\xE9", kFollowerLightEnding);
  EXPECT_EQ(follower[2], 0x00E9);
  EXPECT_EQ(std::u16string(follower.begin() + 3, follower.end() - 1), u"' follower");
}

TEST(SweepValue, isTruncatedAndOnlyIdsThatFitNameALayer) {
  EXPECT_EQ(SweepValueToLayerId(12.9), 12);
  EXPECT_EQ(SweepValueToLayerId(-1.0), -1);
  EXPECT_EQ(SweepValueToLayerId(-0.5), 0);
  EXPECT_EQ(SweepValueToLayerId(100000.0), 100000);
  EXPECT_EQ(SweepValueToLayerId(std::numeric_limits<double>::quiet_NaN()), -1);
  EXPECT_EQ(SweepValueToLayerId(1e12), -1);
  EXPECT_EQ(SweepValueToLayerId(-1e12), -1);
  EXPECT_EQ(SweepValueToLayerId(std::numeric_limits<double>::infinity()), -1);
}

}  // namespace
