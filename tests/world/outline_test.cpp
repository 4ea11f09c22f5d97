#include "testbed/world/Outline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tb {
namespace {

constexpr double kKappa = 0.5522847498;

OutlineShape circle(double r) {
  const double k = kKappa * r;
  OutlineShape s;
  s.vertices = {{{r, 0}, {0, -k}, {0, k}},
                {{0, r}, {k, 0}, {-k, 0}},
                {{-r, 0}, {0, k}, {0, -k}},
                {{0, -r}, {-k, 0}, {k, 0}}};
  return s;
}

OutlineShape square(double left, bool closed = true) {
  OutlineShape s;
  s.closed = closed;
  s.vertices = {{{left, 0}}, {{100, 0}}, {{100, 50}}, {{left, 50}}};
  return s;
}

TEST(Outline, closedShapeHasOneSegmentPerVertex) {
  EXPECT_EQ(segmentCount(square(0)), 4u);
  EXPECT_EQ(segmentCount(square(0, false)), 3u);
  EXPECT_EQ(segmentCount(OutlineShape{}), 0u);
}

TEST(Outline, lastSegmentOfClosedShapeReturnsToFirstVertex) {
  const BezierSegment seg = segmentOf(square(0), 3);
  EXPECT_EQ(seg.p0.x, 0.0);
  EXPECT_EQ(seg.p0.y, 50.0);
  EXPECT_EQ(seg.p1.x, 0.0);
  EXPECT_EQ(seg.p1.y, 0.0);
}

TEST(Outline, circleOfFourSegmentsMeasuresItsCircumference) {
  const OutlineShape c = circle(100);
  double total = 0;
  for (std::size_t s = 0; s < segmentCount(c); ++s) {
    total += SegmentLengths(segmentOf(c, s), 100).length();
  }
  const double expected = 2 * M_PI * 100;
  EXPECT_LT(std::fabs(total - expected) / expected, 0.001);
}

TEST(Outline, curvedPointAtDistanceLiesOnTheCurve) {
  const SegmentLengths seg(segmentOf(circle(100), 0), 100);
  const A_FloatPoint mid = seg.pointAt(seg.length() / 2);
  // The quarter arc is symmetric about the diagonal, so its middle is on it.
  EXPECT_NEAR(mid.x, mid.y, 1e-6);
  EXPECT_NEAR(std::hypot(mid.x, mid.y), 100.0, 0.03);
}

TEST(Outline, straightSegmentIsExact) {
  const SegmentLengths seg(segmentOf(square(20), 0), 100);
  EXPECT_EQ(seg.length(), 80.0);
  const A_FloatPoint half = seg.pointAt(40.0);
  EXPECT_EQ(half.x, 60.0);
  EXPECT_EQ(half.y, 0.0);
}

TEST(Outline, distancesBeyondTheEndsGiveTheEnds) {
  const SegmentLengths seg(segmentOf(square(20), 1), 100);
  EXPECT_EQ(seg.pointAt(-5).y, 0.0);
  EXPECT_EQ(seg.pointAt(500).y, 50.0);
  EXPECT_EQ(seg.pointAt(std::nan("")).y, 0.0);
}

TEST(Outline, badFrequencyStillMeasures) {
  const SegmentLengths seg(segmentOf(circle(100), 0), 0);
  // One chord from (100, 0) to (0, 100).
  EXPECT_EQ(seg.length(), std::hypot(100.0, 100.0));
}

TEST(Outline, keyedShapeBlendsBetweenKeys) {
  Outline o{square(0), {{2.0, square(20)}, {4.0, square(60)}}};
  EXPECT_EQ(shapeAt(o, 0.0).vertices[0].point.x, 0.0);
  EXPECT_EQ(shapeAt(o, 1.0).vertices[0].point.x, 10.0);
  EXPECT_EQ(shapeAt(o, 2.0).vertices[0].point.x, 20.0);
  EXPECT_EQ(shapeAt(o, 3.0).vertices[0].point.x, 40.0);
  EXPECT_EQ(shapeAt(o, 9.0).vertices[0].point.x, 60.0);
  EXPECT_EQ(shapeAt(o, -1.0).vertices[0].point.x, 0.0);
  EXPECT_EQ(shapeAt(o, 1.0).vertices[1].point.x, 100.0);
}

TEST(Outline, keyOfAnotherVertexCountHoldsUntilItsTime) {
  OutlineShape triangle;
  triangle.vertices = {{{0, 0}}, {{5, 0}}, {{0, 5}}};
  Outline o{square(0), {{2.0, triangle}}};
  EXPECT_EQ(shapeAt(o, 1.0).vertices.size(), 4u);
  EXPECT_EQ(shapeAt(o, 2.0).vertices.size(), 3u);
}

}  // namespace
}  // namespace tb
