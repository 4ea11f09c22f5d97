// The grid without masks.
#include <gtest/gtest.h>

#include "TOLV_Mask/render/FlatGrid.h"

namespace {

TEST(FlatGrid, spansTheLayerRowByRowWithTextureAsFractions) {
  std::vector<point3> v;
  std::vector<A_FloatPoint> t;
  mask::BuildFlatGrid(3, 2, 100, 80, v, t);
  ASSERT_EQ(v.size(), 12u);
  ASSERT_EQ(t.size(), 12u);
  for (int y = 0; y <= 2; ++y) {
    for (int x = 0; x <= 3; ++x) {
      const size_t i = static_cast<size_t>(y * 4 + x);
      const float px = static_cast<float>(x) / 3.0f * 100.0f;
      const float py = static_cast<float>(y) / 2.0f * 80.0f;
      EXPECT_EQ(v[i].x, px) << i;
      EXPECT_EQ(v[i].y, py) << i;
      EXPECT_EQ(v[i].z, 0.0f);
      EXPECT_EQ(t[i].x, static_cast<double>(px / 100.0f)) << i;
      EXPECT_EQ(t[i].y, static_cast<double>(py / 80.0f)) << i;
    }
  }
  // The single-precision third: 1/3 × 100 is 33.333336, and back over 100 is not 1/3 in double.
  EXPECT_EQ(v[1].x, 33.333335876464844f);
  EXPECT_EQ(t[1].x, 0.3333333730697632);
  EXPECT_NE(t[1].x, 1.0 / 3.0);
}

TEST(FlatGrid, theLastColumnAndRowLieExactlyOnTheEdges) {
  std::vector<point3> v;
  std::vector<A_FloatPoint> t;
  mask::BuildFlatGrid(7, 99, 333, 77, v, t);
  ASSERT_EQ(v.size(), 8u * 100u);
  EXPECT_EQ(v.back().x, 333.0f);
  EXPECT_EQ(v.back().y, 77.0f);
  EXPECT_EQ(t.back().x, 1.0);
  EXPECT_EQ(t.back().y, 1.0);
}

TEST(FlatGrid, aLayerWithoutExtentHasTextureZero) {
  std::vector<point3> v;
  std::vector<A_FloatPoint> t;
  mask::BuildFlatGrid(2, 1, 0, 0, v, t);
  ASSERT_EQ(v.size(), 6u);
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_EQ(v[i].x, 0.0f);
    EXPECT_EQ(t[i].x, 0.0);
    EXPECT_EQ(t[i].y, 0.0);
  }
}

}  // namespace
