// Exact values of the two scalar blends.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "TOLV_Mask/math/interpolate.h"

namespace {

TEST(Interpolate, LinearQuarter) {
  EXPECT_EQ(Interpolate(2, 6, 0.25f, 0), 3.0f);
}

TEST(Interpolate, LinearEnds) {
  EXPECT_EQ(Interpolate(2, 6, 0, 0), 2.0f);
  EXPECT_EQ(Interpolate(2, 6, 1, 0), 6.0f);
}

TEST(Interpolate, LinearIsWeightedSumInFloat) {
  // a·(1 − t) + b·t rounds differently from a + (b − a)·t (0x1.3d70a2p-2 here).
  EXPECT_EQ(Interpolate(0.1f, 0.7f, 0.35f, 0), 0x1.3d70a4p-2f);
  // Equal ends need not come back unchanged.
  EXPECT_EQ(Interpolate(0.1f, 0.1f, 0.1f, 0), 0x1.999998p-4f);
}

TEST(Interpolate, CosineEndsAndMiddle) {
  EXPECT_EQ(Interpolate(2, 6, 0, 1), 2.0f);
  EXPECT_EQ(Interpolate(2, 6, 0.5f, 1), 4.0f);
  EXPECT_EQ(Interpolate(2, 6, 1, 1), 6.0f);
}

TEST(Interpolate, CosineAngleIsTakenInDouble) {
  const float t = 0.022f;
  const float x = static_cast<float>(static_cast<double>(t) * 3.141592653589793);
  const float f = (1.0f - cosf(x)) * 0.5f;
  EXPECT_EQ(Interpolate(2, 6, t, 1), 2 * (1.0f - f) + 6 * f);
  // The all-float angle lands one step away and gives another result.
  const float xFloat = t * 3.14159265f;
  const float fFloat = (1.0f - cosf(xFloat)) * 0.5f;
  EXPECT_NE(Interpolate(2, 6, t, 1), 2 * (1.0f - fFloat) + 6 * fFloat);
}

struct HermiteCase {
  std::string name;
  float y0, y1, y2, y3, mu, tension;
  float expected;
};

void PrintTo(const HermiteCase& c, std::ostream* os) {
  *os << c.name;
}

class Hermite : public testing::TestWithParam<HermiteCase> {};

TEST_P(Hermite, GivesExactValue) {
  const HermiteCase& c = GetParam();
  EXPECT_EQ(HermiteInterpolate(c.y0, c.y1, c.y2, c.y3, c.mu, c.tension), c.expected);
}

const HermiteCase kHermite[] = {
    {"EvenSamplesCatmullRom", 0, 1, 2, 3, 0.5f, 0, 1.5f},
    {"EvenSamplesFlatEnds", 0, 1, 2, 3, 0.5f, 1, 1.5f},
    {"StepCatmullRom", 0, 0, 1, 1, 0.25f, 0, 0.203125f},
    {"StepFlatEnds", 0, 0, 1, 1, 0.25f, 1, 0.15625f},
    {"StepNegativeTension", 0, 0, 1, 1, 0.25f, -1, 0.25f},
    {"SquaresCatmullRom", 0, 1, 4, 9, 0.5f, 0, 2.25f},
    {"StartCatmullRom", 5, -3, 7, 100, 0, 0, -3},
    {"StartOddTension", 5, -3, 7, 100, 0, 0.37f, -3},
    {"EndCatmullRom", 5, -3, 7, 100, 1, 0, 7},
    {"EndOddTension", 5, -3, 7, 100, 1, -2.5f, 7},
    {"EndFractional", 0.1f, 0.2f, 0.3f, 0.4f, 1, 0.5f, 0.3f},
};

INSTANTIATE_TEST_SUITE_P(Values, Hermite, testing::ValuesIn(kHermite),
                         [](const testing::TestParamInfo<HermiteCase>& info) {
                           return info.param.name;
                         });

TEST(HermiteInterpolateTest, MatchesTheWrittenOutFormula) {
  const float y0 = 0.3f, y1 = 1.7f, y2 = -2.2f, y3 = 0.9f, mu = 0.37f, tension = 0.21f;
  const float mu2 = mu * mu;
  const float mu3 = mu2 * mu;
  const float k = 1.0f - tension;
  const float m0 = static_cast<float>(
      static_cast<double>(static_cast<float>(0.5 * static_cast<double>((y1 - y0) * k))) +
      0.5 * static_cast<double>((y2 - y1) * k));
  const float m1 = static_cast<float>(
      static_cast<double>(static_cast<float>(0.5 * static_cast<double>((y2 - y1) * k))) +
      0.5 * static_cast<double>((y3 - y2) * k));
  const float expected = (2.0f * mu3 - 3.0f * mu2 + 1.0f) * y1 + (mu3 - 2.0f * mu2 + mu) * m0 +
                         (mu3 - mu2) * m1 + (-2.0f * mu3 + 3.0f * mu2) * y2;
  EXPECT_EQ(HermiteInterpolate(y0, y1, y2, y3, mu, tension), expected);
}

}  // namespace
