// Properties of the ear clipper over many generated simple outlines: star-shaped ones with random
// radii (concave) or on a circle (convex), in both orientations, from a fixed seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "TOLV_Mask/math/triangulate.h"

namespace {

using Points = std::vector<A_FloatPoint>;

struct StarCase {
  uint32_t seed;
  bool convex;
};

void PrintTo(const StarCase& c, std::ostream* os) {
  *os << (c.convex ? "convex seed " : "concave seed ") << c.seed;
}

// Uniform in [lo, hi) from the raw generator output, the same on every standard library.
double uniform(std::mt19937& rng, double lo, double hi) {
  return lo + (hi - lo) * (rng() / 4294967296.0);
}

// Vertices at increasing angles around a centre, so the outline is simple; on a circle it is also
// convex. Listed clockwise or counter-clockwise and starting at a random vertex.
Points starOutline(StarCase c) {
  std::mt19937 rng(c.seed);
  const int n = 4 + static_cast<int>(rng() % 297);
  const bool clockwise = rng() % 2 == 0;
  const double cx = uniform(rng, -500, 500);
  const double cy = uniform(rng, -500, 500);
  const double scale = uniform(rng, 1, 1000);
  Points points;
  for (int i = 0; i < n; ++i) {
    const double angle = 2 * M_PI * (i + uniform(rng, -0.4, 0.4)) / n;
    const double radius = c.convex ? scale : scale * uniform(rng, 0.2, 1.0);
    points.push_back({cx + radius * std::cos(angle), cy + radius * std::sin(angle)});
  }
  if (clockwise)
    std::reverse(points.begin(), points.end());
  std::rotate(points.begin(), points.begin() + rng() % n, points.end());
  return points;
}

double cross(const A_FloatPoint& a, const A_FloatPoint& b, const A_FloatPoint& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Twice the signed area, positive counter-clockwise with y up.
double doubleArea(const Points& points) {
  double sum = 0;
  for (size_t i = 0; i < points.size(); ++i) {
    const A_FloatPoint& a = points[i];
    const A_FloatPoint& b = points[(i + 1) % points.size()];
    sum += a.x * b.y - b.x * a.y;
  }
  return sum;
}

class TriangulateStar : public testing::TestWithParam<StarCase> {
 protected:
  void SetUp() override {
    outline_ = starOutline(GetParam());
    indices_ = math::tri::triangulate<int>(outline_);
  }
  int n() const { return static_cast<int>(outline_.size()); }
  const A_FloatPoint& corner(size_t i) const { return outline_[indices_[i]]; }

  Points outline_;
  std::vector<int> indices_;
};

TEST_P(TriangulateStar, GivesNMinusTwoTriangles) {
  EXPECT_EQ(indices_.size(), 3 * static_cast<size_t>(n() - 2));
}

TEST_P(TriangulateStar, IndicesAreInRange) {
  for (int index : indices_) {
    ASSERT_GE(index, 0);
    ASSERT_LT(index, n());
  }
}

TEST_P(TriangulateStar, TrianglesKeepTheOutlineWinding) {
  const bool counterClockwise = doubleArea(outline_) > 0;
  for (size_t i = 0; i < indices_.size(); i += 3) {
    const double turn = cross(corner(i), corner(i + 1), corner(i + 2));
    ASSERT_EQ(turn > 0, counterClockwise) << "triangle " << i / 3;
    ASSERT_NE(turn, 0) << "triangle " << i / 3;
  }
}

TEST_P(TriangulateStar, TrianglesCoverTheOutlineArea) {
  double sum = 0;
  for (size_t i = 0; i < indices_.size(); i += 3)
    sum += cross(corner(i), corner(i + 1), corner(i + 2));
  const double area = doubleArea(outline_);
  EXPECT_NEAR(sum, area, 1e-9 * std::abs(area));
}

class TriangulateConvexStar : public TriangulateStar {};

// With no reflex vertex every first test finds an ear, so the triangles fan out from the last
// point.
TEST_P(TriangulateConvexStar, FansFromTheLastPoint) {
  ASSERT_EQ(indices_.size(), 3 * static_cast<size_t>(n() - 2));
  for (int k = 0; k < n() - 2; ++k) {
    EXPECT_EQ(indices_[3 * k], n() - 1);
    EXPECT_EQ(indices_[3 * k + 1], k);
    EXPECT_EQ(indices_[3 * k + 2], k + 1);
  }
}

std::vector<StarCase> starCases(bool convex, uint32_t count) {
  std::vector<StarCase> cases;
  for (uint32_t seed = 0; seed < count; ++seed)
    cases.push_back({seed, convex});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Concave, TriangulateStar, testing::ValuesIn(starCases(false, 200)));
INSTANTIATE_TEST_SUITE_P(Convex, TriangulateStar, testing::ValuesIn(starCases(true, 100)));
INSTANTIATE_TEST_SUITE_P(Convex, TriangulateConvexStar, testing::ValuesIn(starCases(true, 100)));

}  // namespace
