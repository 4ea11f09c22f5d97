// One mask sampled into a row, on outlines of straight segments whose points are known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/render/MaskGrid.h"
#include "TOLV_Mask/render/MaskSampling.h"
#include "tests/render/AnalyticOutline.h"

namespace {

using rtest::PolylineOutline;

// A square of side 7 from (10, 20), n segments: the first three are its sides, the rest split
// the fourth side evenly.
PolylineOutline square(int segments) {
  std::vector<A_FloatPoint> points = {{10, 20}, {17, 20}, {17, 27}, {10, 27}};
  for (int extra = 1; extra <= segments - 4; ++extra)
    points.push_back({10, 27 - 7.0 * extra / (segments - 3)});
  return PolylineOutline(points, true);
}

mask::SamplingSettings settings(A_long columns) {
  mask::SamplingSettings s;
  s.columns = columns;
  s.width = 100;
  s.height = 80;
  return s;
}

const A_Matrix4 kIdentity = IdentityMatrix4();

TEST(MaskSampling, fourAndSixSegmentsAtXSubdivide3SpreadTheRemainderOverTheLastSegment) {
  const A_long C = mask::ColumnCount(6, 3);
  ASSERT_EQ(C, 18);
  PolylineOutline four = square(4);
  PolylineOutline six = square(6);
  mask::UvRect rect{0, 0, 100, 80};
  EXPECT_EQ(mask::SampleMaskRow(four, nullptr, settings(C), kIdentity, 0, rect).points.size(), 19u);
  EXPECT_EQ(mask::SampleMaskRow(six, nullptr, settings(C), kIdentity, 0, rect).points.size(), 19u);
  const std::vector<int> fourCounts = {4, 4, 4, 7};
  const std::vector<int> sixCounts = {3, 3, 3, 3, 3, 4};
  for (A_long s = 0; s < 4; ++s)
    EXPECT_EQ(four.samplesIn(s), fourCounts[s]) << "segment " << s;
  for (A_long s = 0; s < 6; ++s)
    EXPECT_EQ(six.samplesIn(s), sixCounts[s]) << "segment " << s;
  EXPECT_TRUE(four.balanced());
  EXPECT_TRUE(six.balanced());
  EXPECT_EQ(four.prepared(), 4);
}

TEST(MaskSampling, distancesAreTheDoubleProductOverTheFloatCountRoundedToFloat) {
  // One segment of length 7 sampled in 3: 7/3 and 14/3 are not floats.
  PolylineOutline line({{0, 0}, {7, 0}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  mask::SampleMaskRow(line, nullptr, settings(3), kIdentity, 0, rect);
  ASSERT_EQ(line.asked.size(), 4u);
  EXPECT_EQ(line.asked[0].second, 0.0);
  EXPECT_EQ(line.asked[1].second, static_cast<double>(2.33333325386047363f));
  EXPECT_EQ(line.asked[2].second, static_cast<double>(4.66666650772094727f));
  EXPECT_EQ(line.asked[3].second, 7.0);
}

TEST(MaskSampling, columnsAreClampedTo91) {
  EXPECT_EQ(mask::ColumnCount(4, 50), 91);
  EXPECT_EQ(mask::ColumnCount(1, 1), 1);
  EXPECT_EQ(mask::ColumnCount(0, 10), 1);
  // A segment count the host gave as huge does not overflow the product.
  EXPECT_EQ(mask::ColumnCount(std::numeric_limits<A_long>::max(), 50), 91);
  PolylineOutline four = square(4);
  mask::UvRect rect{0, 0, 100, 80};
  EXPECT_EQ(mask::SampleMaskRow(four, nullptr, settings(91), kIdentity, 0, rect).points.size(),
            92u);
}

TEST(MaskSampling, texturePositionAndRectAtHalfResolution) {
  // Points come in downsampled pixels, the layer's size at full resolution; positions and the
  // rectangle are in full-resolution pixels, texture coordinates fractions of the layer.
  PolylineOutline line({{-5, 10}, {45, 10}}, false);
  mask::SamplingSettings s = settings(2);
  s.dx = 2;
  s.dy = 2;
  s.invDx = 0.5f;
  s.invDy = 0.5f;
  mask::UvRect rect{0, 0, 100, 80};
  const mask::MaskRow row = mask::SampleMaskRow(line, nullptr, s, kIdentity, 0, rect);
  ASSERT_EQ(row.points.size(), 3u);
  const double xs[] = {-5, 20, 45};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(row.points[c].x, static_cast<float>(xs[c] * 2)) << c;
    EXPECT_EQ(row.points[c].y, 20.0f);
    EXPECT_EQ(row.points[c].z, 0.0f);
    EXPECT_EQ(row.uvs[c].x, xs[c] / 50.0) << c;
    EXPECT_EQ(row.uvs[c].y, 10.0 / 40.0);
  }
  EXPECT_EQ(rect.left, -10);
  EXPECT_EQ(rect.right, 100);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.bottom, 80);
}

TEST(MaskSampling, aPointLeftOfTheLayerGrowsTheRectTruncatedTowardsZero) {
  PolylineOutline line({{-7.75, -0.5}, {-7.75, 90.5}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  mask::SampleMaskRow(line, nullptr, settings(1), kIdentity, 0, rect);
  EXPECT_EQ(rect.left, -7);
  EXPECT_EQ(rect.top, 0);  // -0.5 truncates to 0
  EXPECT_EQ(rect.bottom, 90);
  EXPECT_EQ(rect.right, 100);
}

TEST(MaskSampling, farAwayAndNotANumberPointsSaturateTheRect) {
  PolylineOutline far({{-1e12, 5e11}, {1e12, -5e11}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  mask::SampleMaskRow(far, nullptr, settings(1), kIdentity, 0, rect);
  EXPECT_EQ(rect.left, std::numeric_limits<A_long>::min());
  EXPECT_EQ(rect.right, std::numeric_limits<A_long>::max());
  EXPECT_EQ(rect.top, std::numeric_limits<A_long>::min());
  EXPECT_EQ(rect.bottom, std::numeric_limits<A_long>::max());

  const double nan = std::numeric_limits<double>::quiet_NaN();
  PolylineOutline broken({{nan, nan}, {nan, nan}}, false);
  mask::UvRect kept{0, 0, 100, 80};
  const mask::MaskRow row = mask::SampleMaskRow(broken, nullptr, settings(1), kIdentity, 0, kept);
  EXPECT_EQ(row.points.size(), 2u);
  EXPECT_EQ(kept.left, 0);
  EXPECT_EQ(kept.right, 100);
}

TEST(MaskSampling, aLayerWithoutExtentGivesTextureZero) {
  PolylineOutline line({{3, 4}, {5, 6}}, false);
  mask::SamplingSettings s = settings(1);
  s.width = 0;
  s.height = 0;
  mask::UvRect rect{0, 0, 0, 0};
  const mask::MaskRow row = mask::SampleMaskRow(line, nullptr, s, kIdentity, 0, rect);
  ASSERT_EQ(row.uvs.size(), 2u);
  for (const A_FloatPoint& uv : row.uvs) {
    EXPECT_EQ(uv.x, 0.0);
    EXPECT_EQ(uv.y, 0.0);
  }
}

TEST(MaskSampling, aReferenceOutlineSuppliesTheTextureAtItsOwnLengths) {
  PolylineOutline current({{0, 0}, {10, 0}, {10, 10}}, false);
  // Longer segments, and one more than the current outline has: the fewer count is used.
  PolylineOutline reference({{0, 40}, {40, 40}, {40, 60}, {0, 60}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  const mask::MaskRow row =
      mask::SampleMaskRow(current, &reference, settings(4), kIdentity, 0, rect);
  EXPECT_EQ(mask::UsableSegments(current, &reference), 2);
  ASSERT_EQ(row.points.size(), 5u);
  const A_FloatPoint pos[] = {{0, 0}, {5, 0}, {10, 0}, {10, 5}, {10, 10}};
  const A_FloatPoint tex[] = {{0, 40}, {20, 40}, {40, 40}, {40, 50}, {40, 60}};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(row.points[c].x, static_cast<float>(pos[c].x)) << c;
    EXPECT_EQ(row.points[c].y, static_cast<float>(pos[c].y)) << c;
    EXPECT_EQ(row.uvs[c].x, tex[c].x / 100.0) << c;
    EXPECT_EQ(row.uvs[c].y, tex[c].y / 80.0) << c;
  }
  EXPECT_TRUE(current.balanced());
  EXPECT_TRUE(reference.balanced());
}

TEST(MaskSampling, positionsGoThroughThePlacementMatrixWithDepthNegated) {
  A_Matrix4 m = IdentityMatrix4();
  m.mat[0][0] = 0.5;
  m.mat[2][1] = 3;  // y picks up 3 × z
  m.mat[3][0] = 1.25;
  PolylineOutline line({{2, 4}, {2, 8}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  const mask::MaskRow row = mask::SampleMaskRow(line, nullptr, settings(1), m, 7.0f, rect);
  ASSERT_EQ(row.points.size(), 2u);
  EXPECT_EQ(row.points[0].x, 2.25f);
  EXPECT_EQ(row.points[0].y, 4.0f - 21.0f);
  EXPECT_EQ(row.points[0].z, -7.0f);
  EXPECT_EQ(row.points[1].y, 8.0f - 21.0f);
}

TEST(MaskSampling, anOutlineWithoutSegmentsGivesNoSamples) {
  PolylineOutline dot({{5, 5}}, false);
  mask::UvRect rect{0, 0, 100, 80};
  const mask::MaskRow row = mask::SampleMaskRow(dot, nullptr, settings(10), kIdentity, 0, rect);
  EXPECT_TRUE(row.points.empty());
  EXPECT_EQ(dot.prepared(), 0);
}

TEST(MaskSampling, refusedPointsLeaveTheRowShortAndEverySegmentReleased) {
  PolylineOutline four = square(4);
  four.failFrom(6);
  mask::UvRect rect{0, 0, 100, 80};
  const mask::MaskRow row = mask::SampleMaskRow(four, nullptr, settings(8), kIdentity, 0, rect);
  EXPECT_EQ(row.points.size(), 6u);
  EXPECT_EQ(row.uvs.size(), 6u);
  EXPECT_TRUE(four.balanced());
}

}  // namespace
