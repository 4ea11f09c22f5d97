// Path span, the times along a light's path, orientation on the path and the placement matrix.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/render/Placement.h"

namespace {

constexpr A_long kMaxLong = std::numeric_limits<A_long>::max();

TEST(PathSpan, isTheDurationLessOneFrameAtTheDurationsScale) {
  const A_Time span = mask::PathSpan({25000, 2500}, {100, 2500});
  EXPECT_EQ(span.value, 24900);
  EXPECT_EQ(span.scale, 2500u);
}

TEST(PathSpan, aFrameAtAnotherScaleIsTruncatedToWholeTicks) {
  // 10 s at scale 600 less a frame of 1/24 s: 100 × 600 / 2400 = 25 ticks.
  EXPECT_EQ(mask::PathSpan({6000, 600}, {100, 2400}).value, 5975);
  // 1/30 s at scale 1000: 33.3 ticks, truncated.
  const A_Time span = mask::PathSpan({10000, 1000}, {1, 30});
  EXPECT_EQ(span.value, 9967);
  EXPECT_EQ(span.scale, 1000u);
}

TEST(PathSpan, theFrameIsCountedIn64Bits) {
  // 1001 × 4,000,000,000 does not fit 32 bits; the quotient, 133,466 ticks, does.
  const A_Time span = mask::PathSpan({2000000000, 4000000000u}, {1001, 30000});
  EXPECT_EQ(span.value, 2000000000 - 133466666);
}

TEST(PathSpan, aFrameWithoutScaleGivesASpanOfZero) {
  const A_Time span = mask::PathSpan({25000, 2500}, {100, 0});
  EXPECT_EQ(span.value, 0);
  EXPECT_EQ(span.scale, 2500u);
}

TEST(LightTime, threeMasksSitAtZeroHalfAndTheWholeSpan) {
  const A_Time span{24901, 2500};
  EXPECT_EQ(mask::LightTime(span, 0, 3).value, 0);
  EXPECT_EQ(mask::LightTime(span, 1, 3).value, 12450);  // 12450.5 truncated
  EXPECT_EQ(mask::LightTime(span, 2, 3).value, 24901);
  EXPECT_EQ(mask::LightTime(span, 2, 3).scale, 2500u);
}

TEST(LightTime, theQuotientIsFormedInFloat) {
  // 16777217 × 1 is not a float: it rounds to 16777216 before the division.
  EXPECT_EQ(mask::LightTime({16777217, 1000}, 1, 2).value, 16777216);
  // 100 / 3 in float is 33.33333206, truncated to 33; 200 / 3 to 66.
  EXPECT_EQ(mask::LightTime({100, 1000}, 1, 4).value, 33);
  EXPECT_EQ(mask::LightTime({100, 1000}, 2, 4).value, 66);
}

TEST(LightTime, theProductIsFormedIn64BitsAndTheResultSaturates) {
  // 2,000,000,000 × 9 overflows 32 bits; over 9 it is back in range (as a float).
  const A_long expected = static_cast<A_long>(static_cast<float>(18000000000LL) / 9.0f);
  EXPECT_EQ(mask::LightTime({2000000000, 1000}, 9, 10).value, expected);
  EXPECT_GT(expected, 1999999000);
  // The last of ten masks with a span that was saturated stays at the end.
  EXPECT_EQ(mask::LightTime({kMaxLong, 1000}, 9, 10).value, kMaxLong);
  EXPECT_EQ(mask::LightTime({kMaxLong, 1000}, 9, 2).value, kMaxLong);
  EXPECT_EQ(mask::LightTime({-kMaxLong, 1000}, 9, 2).value, std::numeric_limits<A_long>::min());
  EXPECT_EQ(mask::LightTime({5000, 1000}, 0, 1).value, 0);
}

TEST(NeighbourTime, isOneTickOnOrBackForTheLast) {
  EXPECT_EQ(mask::NeighbourTime({500, 30}, false).value, 501);
  EXPECT_EQ(mask::NeighbourTime({500, 30}, true).value, 499);
  EXPECT_EQ(mask::NeighbourTime({500, 30}, true).scale, 30u);
  EXPECT_EQ(mask::NeighbourTime({kMaxLong, 30}, false).value, kMaxLong);
}

TEST(OrientOnPath, movingAlongPlusXGivesYawMinusHalfPiAndNoPitch) {
  const double here[3] = {10, 20, 30};
  const double ahead[3] = {12, 20, 30};
  const double behind[3] = {8, 20, 30};
  const float minusHalfPi = static_cast<float>(-1.5707963267948966);
  const mask::Orientation first = mask::OrientOnPath(here, ahead, false);
  EXPECT_EQ(first.yaw, minusHalfPi);
  EXPECT_EQ(first.pitch, 0.0f);
  const mask::Orientation last = mask::OrientOnPath(here, behind, true);
  EXPECT_EQ(last.yaw, minusHalfPi);
  EXPECT_EQ(last.pitch, 0.0f);
}

TEST(OrientOnPath, anglesComeFromFloatArcTangentsReducedInDouble) {
  const double here[3] = {0, 0, 0};
  const double ahead[3] = {-3, 2, -1};
  const mask::Orientation o = mask::OrientOnPath(here, ahead, false);
  // atan2(−1, −3) − π/2 lies below −π: fmod keeps it, with its sign, within (−2π, 0].
  const double yaw = static_cast<double>(atan2f(-1.0f, -3.0f)) - 1.5707963267948966;
  EXPECT_LT(yaw, -3.14159);
  EXPECT_EQ(o.yaw, static_cast<float>(yaw));
  EXPECT_EQ(o.pitch, atan2f(2.0f, -1.0f));
}

TEST(PlacementMatrix, withoutRotationThePointKeepsItsPlaceAtItsDepth) {
  mask::MaskPose pose;
  pose.z = 250;
  pose.cx = 50;
  pose.cy = 40;
  const A_Matrix4 m = mask::PlacementMatrix(100, 80, pose);
  const point3 p = mask::TransformPoint(12.5, 30, -250, m);
  EXPECT_EQ(p.x, 12.5f);
  EXPECT_EQ(p.y, 30.0f);
  EXPECT_EQ(p.z, -250.0f);
}

TEST(PlacementMatrix, rotatesAboutTheLayerCentreAndMovesToTheGivenCentre) {
  mask::MaskPose pose;
  pose.z = 0;
  pose.cx = 300;
  pose.cy = 200;
  pose.rotationZ = 90 * 65536.0f;
  const A_Matrix4 m = mask::PlacementMatrix(100, 80, pose);
  // (60, 40) is 10 right of the centre; Z turns (x, y) to (x·c + y·s, −x·s + y·c).
  const float theta = static_cast<float>(static_cast<double>(90 * 65536.0f) * 2.663161090079238e-7);
  const double c = cosf(theta), s = sinf(theta);
  const point3 p = mask::TransformPoint(60, 40, 0, m);
  EXPECT_EQ(p.x, static_cast<float>(10 * c + 300));
  EXPECT_EQ(p.y, static_cast<float>(-10 * s + 200));
  EXPECT_EQ(p.z, 0.0f);
}

TEST(PlacementMatrix, orientationAnglesUseTheDegreeConstantAndAddTheRotations) {
  mask::MaskPose pose;
  pose.z = 12;
  pose.cx = 7;
  pose.cy = 9;
  pose.orientation = {0.25f, -1.5707964f};
  pose.rotationX = 3 * 65536.0f;
  pose.rotationY = -20 * 65536.0f;
  pose.rotationZ = 45 * 65536.0f;
  A_Matrix4 expected = IdentityMatrix4();
  expected.mat[3][0] = -50;
  expected.mat[3][1] = -40;
  expected.mat[3][2] = 12;
  const float ax = static_cast<float>(0.25f * 57.295779513082 * 65536.0 + 3 * 65536.0);
  const float ay = static_cast<float>(-1.5707964f * 57.295779513082 * 65536.0 - 20 * 65536.0);
  RotateMatrix4(&expected, ax, ay, 45 * 65536.0f);
  expected.mat[3][0] += 7;
  expected.mat[3][1] += 9;
  expected.mat[3][2] -= 12;
  const A_Matrix4 m = mask::PlacementMatrix(100, 80, pose);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(m.mat[i][j], expected.mat[i][j]) << i << "," << j;
}

}  // namespace
