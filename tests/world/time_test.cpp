#include "testbed/world/Time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tb {
namespace {

TEST(Time, aWholeRateCountsFramesAndAFractionalOneHundredthsOfAFrame) {
  EXPECT_EQ(timeScaleForFps(25.0), 25u);
  EXPECT_EQ(timeScaleForFps(29.97), 2997u);
  EXPECT_EQ(timeScaleForFps(0.5), 50u);
  const A_Time whole = frameDuration(25.0);
  EXPECT_EQ(whole.value, 1);
  EXPECT_EQ(whole.scale, 25u);
  const A_Time fractional = frameDuration(29.97);
  EXPECT_EQ(fractional.value, 100);
  EXPECT_EQ(fractional.scale, 2997u);
  const A_Time half = frameDuration(0.5);
  EXPECT_EQ(half.value, 100);
  EXPECT_EQ(half.scale, 50u);
  EXPECT_EQ(frameDuration(0.0).value, 0);
}

TEST(Time, scaleRejectsUnusableRates) {
  EXPECT_FALSE(timeScaleForFps(0.0));
  EXPECT_FALSE(timeScaleForFps(-25.0));
  EXPECT_FALSE(timeScaleForFps(1e9));
  EXPECT_FALSE(timeScaleForFps(std::nan("")));
}

TEST(Time, secondsRoundTripAtFrameStarts) {
  const auto t = secondsToTime(2.0, 2500);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->value, 5000);
  EXPECT_EQ(t->scale, 2500u);
  EXPECT_EQ(timeToSeconds(*t), 2.0);
  EXPECT_EQ(timeToSeconds(A_Time{100, 2500}), 0.04);
}

TEST(Time, secondsOutOfRangeAreRefused) {
  EXPECT_FALSE(secondsToTime(1e12, 2500));
  EXPECT_FALSE(secondsToTime(1.0, 0));
  EXPECT_FALSE(secondsToTime(INFINITY, 2500));
}

TEST(Time, timeWithoutScaleReadsAsZero) {
  EXPECT_EQ(timeToSeconds(A_Time{5, 0}), 0.0);
}

TEST(Time, rescaleRoundsHalvesAwayFromZero) {
  EXPECT_EQ(rescaleTime(A_Time{1, 2}, 1)->value, 1);
  EXPECT_EQ(rescaleTime(A_Time{-1, 2}, 1)->value, -1);
  EXPECT_EQ(rescaleTime(A_Time{100, 2500}, 25)->value, 1);
  EXPECT_FALSE(rescaleTime(A_Time{1, 0}, 25));
  EXPECT_FALSE(rescaleTime(A_Time{2000000000, 1}, 100));
}

TEST(Time, effectTimeIsShiftedByTheLayerStart) {
  const auto t = effectToCompTime(A_Time{250, 2500}, A_Time{1, 1});
  ASSERT_TRUE(t);
  EXPECT_EQ(t->value, 2750);
  EXPECT_EQ(t->scale, 2500u);
}

}  // namespace
}  // namespace tb
