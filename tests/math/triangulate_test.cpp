// Worked outlines of the ear clipper, and its three helper predicates.
#include <gtest/gtest.h>

#include <cmath>
#include <list>
#include <string>
#include <vector>

#include "TOLV_Mask/math/triangulate.h"

namespace {

using math::tri::vertex_t;
using Points = std::vector<A_FloatPoint>;

struct OutlineCase {
  std::string name;
  Points points;
  std::vector<int> expected;
};

void PrintTo(const OutlineCase& c, std::ostream* os) {
  *os << c.name;
}

class TriangulateOutline : public testing::TestWithParam<OutlineCase> {};

TEST_P(TriangulateOutline, GivesExpectedIndices) {
  EXPECT_EQ(math::tri::triangulate<int>(GetParam().points), GetParam().expected);
}

const OutlineCase kOutlines[] = {
    {"NoPoints", {}, {}},
    {"OnePoint", {{0, 0}}, {}},
    {"TwoPoints", {{0, 0}, {1, 0}}, {}},
    {"TriangleCounterClockwise", {{0, 0}, {1, 0}, {0, 1}}, {0, 1, 2}},
    {"TriangleClockwise", {{0, 0}, {0, 1}, {1, 0}}, {0, 1, 2}},
    {"ThreeCollinearPoints", {{0, 0}, {1, 0}, {2, 0}}, {0, 1, 2}},
    {"SquareCounterClockwise", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {3, 0, 1, 3, 1, 2}},
    {"SquareClockwise", {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, {3, 0, 1, 3, 1, 2}},
    // Vertex 1 starts reflex (collinear) and turns convex after the first ear.
    {"CollinearEdge", {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {0, 1}}, {4, 0, 1, 4, 1, 2, 4, 2, 3}},
    // Point 3 lies in the ears of vertices 0 and 1.
    {"Notched", {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}}, {1, 2, 3, 3, 4, 0, 3, 0, 1}},
    {"FourCollinearPoints", {{0, 0}, {1, 0}, {2, 0}, {3, 0}}, {}},
    // The repeated lowest-leftmost point has winding 0, so the outline is taken as clockwise;
    // the copy of point 0 coincides with an ear corner and does not block it.
    {"ClosedClockwiseRepeatIsLowestLeft",
     {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0, 0}},
     {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    {"ClosedCounterClockwiseRepeatIsLowestLeft", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}, {}},
    {"ClosedRepeatIsNotLowestLeft",
     {{1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}},
     {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    {"LowestLeftIsLastPoint", {{1, 0}, {1, 1}, {0, 1}, {0, 0}}, {3, 0, 1, 3, 1, 2}},
    // Point 1 ties point 0 on x and is lower, so the convex point 1 gives the orientation rather
    // than the collinear point 0.
    {"LowestLeftTieOnXTakesLowerY",
     {{0, 0.5}, {0, 0}, {1, 0}, {1, 1}, {0, 1}},
     {0, 1, 2, 0, 2, 3, 0, 3, 4}},
    // Points 0 and 3 are equal; the earlier one gives the orientation (clockwise), under which
    // only vertex 0 is convex and after its ear no other is found. The later one would give
    // counter-clockwise and a full triangulation.
    {"EqualLowestLeftPointsFirstDecides", {{0, 0}, {2, 1}, {2, 2}, {0, 0}, {2, -2}, {2, -1}}, {}},
    {"AllPointsEqual", {{2, 2}, {2, 2}, {2, 2}, {2, 2}}, {}},
    // NaN windings compare false both ways, so those vertices count as convex and are clipped.
    {"AllNaN",
     {{NAN, NAN}, {NAN, NAN}, {NAN, NAN}, {NAN, NAN}, {NAN, NAN}},
     {4, 0, 1, 4, 1, 2, 4, 2, 3}},
    {"NaNBesideCollinear", {{0, 0}, {1, 0}, {2, 0}, {NAN, NAN}}, {3, 0, 1, 3, 1, 2}},
};

INSTANTIATE_TEST_SUITE_P(Worked, TriangulateOutline, testing::ValuesIn(kOutlines),
                         [](const testing::TestParamInfo<OutlineCase>& info) {
                           return info.param.name;
                         });

// A ring over points, linked in order, with the given vertices marked reflex.
struct Ring {
  std::vector<vertex_t> vertices;
  std::list<vertex_t*> reflex;

  Ring(size_t n, const std::vector<int>& reflexIndices) : vertices(n) {
    for (size_t i = 0; i < n; ++i) {
      vertices[i].index = static_cast<int32_t>(i);
      vertices[i].prev = &vertices[(i + n - 1) % n];
      vertices[i].next = &vertices[(i + 1) % n];
    }
    for (int i : reflexIndices) {
      vertices[i].reflex = true;
      reflex.push_back(&vertices[i]);
    }
  }
};

TEST(WindingValue, IsTheTurnOfTheVertex) {
  const Points left = {{0, 0}, {1, 0}, {1, 1}};
  const Points right = {{0, 0}, {1, 0}, {1, -1}};
  const Points straight = {{0, 0}, {1, 0}, {3, 0}};
  Ring ring(3, {});
  EXPECT_EQ(math::tri::winding_value(left, ring.vertices[1]), 1.0f);
  EXPECT_EQ(math::tri::winding_value(right, ring.vertices[1]), -1.0f);
  EXPECT_EQ(math::tri::winding_value(straight, ring.vertices[1]), 0.0f);
}

TEST(WindingValue, IsComputedInDoubleAndNarrowedToFloat) {
  // 2^-60 survives the double subtraction and is lost only in the narrowing.
  const double tiny = 0x1p-60;
  const Points points = {{0, 0}, {1, 0}, {1 + tiny, 1 + tiny}};
  Ring ring(3, {});
  EXPECT_EQ(math::tri::winding_value(points, ring.vertices[1]), 1.0f);
  const Points cancelling = {{0, 0}, {1, 0}, {2, tiny}};
  EXPECT_EQ(math::tri::winding_value(cancelling, ring.vertices[1]), static_cast<float>(tiny));
}

struct ContainsCase {
  std::string name;
  A_FloatPoint a, b, c, p;
  bool inside;
};

void PrintTo(const ContainsCase& c, std::ostream* os) {
  *os << c.name;
}

class TriangleContains : public testing::TestWithParam<ContainsCase> {};

TEST_P(TriangleContains, AnswersAsExpected) {
  const ContainsCase& c = GetParam();
  EXPECT_EQ(math::tri::triangle_contains(c.a, c.b, c.c, c.p), c.inside);
}

const ContainsCase kContains[] = {
    {"InsideCounterClockwise", {0, 0}, {4, 0}, {0, 4}, {1, 1}, true},
    {"InsideClockwise", {0, 0}, {0, 4}, {4, 0}, {1, 1}, true},
    {"Outside", {0, 0}, {4, 0}, {0, 4}, {3, 3}, false},
    {"BeyondFirstEdge", {0, 0}, {4, 0}, {0, 4}, {1, -1}, false},
    {"BeyondLastEdge", {0, 0}, {4, 0}, {0, 4}, {-1, 1}, false},
    {"OnEdge", {0, 0}, {4, 0}, {0, 4}, {2, 0}, true},
    {"OnHypotenuse", {0, 0}, {4, 0}, {0, 4}, {2, 2}, true},
    {"AtCornerA", {0, 0}, {4, 0}, {0, 4}, {0, 0}, false},
    {"AtCornerB", {0, 0}, {4, 0}, {0, 4}, {4, 0}, false},
    {"AtCornerC", {0, 0}, {4, 0}, {0, 4}, {0, 4}, false},
    // A flat triangle holds exactly the points with s = t = 0: its whole line, not its segment.
    {"FlatTriangleOnSegment", {0, 0}, {1, 0}, {2, 0}, {0.5, 0}, true},
    {"FlatTriangleOnLineBeyond", {0, 0}, {1, 0}, {2, 0}, {5, 0}, true},
    {"FlatTriangleOffLine", {0, 0}, {1, 0}, {2, 0}, {0.5, 0.25}, false},
    {"NaNPoint", {0, 0}, {4, 0}, {0, 4}, {NAN, 1}, false},
};

INSTANTIATE_TEST_SUITE_P(Cases, TriangleContains, testing::ValuesIn(kContains),
                         [](const testing::TestParamInfo<ContainsCase>& info) {
                           return info.param.name;
                         });

const Points kNotched = {{0, 0}, {4, 0}, {4, 4}, {2, 1}, {0, 4}};

TEST(IsEarTip, ReflexVertexInsideBlocksTheEar) {
  Ring ring(5, {3});
  EXPECT_FALSE(math::tri::is_ear_tip(kNotched, ring.vertices[0], ring.reflex));
  EXPECT_FALSE(math::tri::is_ear_tip(kNotched, ring.vertices[1], ring.reflex));
}

TEST(IsEarTip, ReflexNeighbourDoesNotBlock) {
  Ring ring(5, {3});
  EXPECT_TRUE(math::tri::is_ear_tip(kNotched, ring.vertices[2], ring.reflex));
}

TEST(IsEarTip, ReflexVertexIsNeverATip) {
  Ring ring(5, {3});
  EXPECT_FALSE(math::tri::is_ear_tip(kNotched, ring.vertices[3], ring.reflex));
}

TEST(IsEarTip, OnlyReflexVerticesAreTested) {
  // Point 3 lies inside the ear of vertex 0, but it is not in the reflex list.
  Ring ring(5, {});
  EXPECT_TRUE(math::tri::is_ear_tip(kNotched, ring.vertices[0], ring.reflex));
}

TEST(IsEarTip, ReflexVertexOnACornerDoesNotBlock) {
  // Point 4 repeats point 1, the next corner of vertex 0's ear, under another index.
  const Points points = {{0, 0}, {4, 0}, {0, 4}, {1, 1}, {4, 0}};
  Ring ring(5, {4});
  ring.vertices[0].next = &ring.vertices[1];
  ring.vertices[0].prev = &ring.vertices[2];
  EXPECT_TRUE(math::tri::is_ear_tip(points, ring.vertices[0], ring.reflex));
}

}  // namespace
