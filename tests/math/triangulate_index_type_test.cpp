// The ear clipper over narrow index types: a point count whose indices do not fit fails cleanly
// instead of wrapping around.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "TOLV_Mask/math/triangulate_impl.h"

namespace {

std::vector<A_FloatPoint> regularPolygon(int n) {
  std::vector<A_FloatPoint> points;
  for (int i = 0; i < n; ++i) {
    const double angle = 2 * M_PI * i / n;
    points.push_back({std::cos(angle), std::sin(angle)});
  }
  return points;
}

template <typename IndexT>
void expectFan(const std::vector<IndexT>& out, int n) {
  ASSERT_EQ(out.size(), 3 * static_cast<size_t>(n - 2));
  for (int k = 0; k < n - 2; ++k) {
    EXPECT_EQ(static_cast<int>(out[3 * k]), n - 1);
    EXPECT_EQ(static_cast<int>(out[3 * k + 1]), k);
    EXPECT_EQ(static_cast<int>(out[3 * k + 2]), k + 1);
  }
}

TEST(TriangulateIndexType, SignedByteHoldsUpTo128Points) {
  expectFan(math::tri::triangulate<int8_t>(regularPolygon(128)), 128);
}

TEST(TriangulateIndexType, SignedByteRejects129Points) {
  EXPECT_TRUE(math::tri::triangulate<int8_t>(regularPolygon(129)).empty());
}

TEST(TriangulateIndexType, UnsignedByteHoldsUpTo256Points) {
  expectFan(math::tri::triangulate<uint8_t>(regularPolygon(256)), 256);
}

TEST(TriangulateIndexType, UnsignedByteRejects257Points) {
  EXPECT_TRUE(math::tri::triangulate<uint8_t>(regularPolygon(257)).empty());
}

TEST(TriangulateIndexType, WideIndicesGiveTheSameTriangles) {
  const std::vector<A_FloatPoint> points = {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}};
  const std::vector<uint64_t> expected = {1, 2, 3, 3, 4, 0, 3, 0, 1};
  EXPECT_EQ(math::tri::triangulate<uint64_t>(points), expected);
}

}  // namespace
