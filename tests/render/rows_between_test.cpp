// Rows between masks: straight blends, and the cubic pass with its phantom rows.
#include <gtest/gtest.h>

#include "TOLV_Mask/math/interpolate.h"
#include "TOLV_Mask/render/RowsBetween.h"

namespace {

// Row m of a test grid of columns + 1 points: distinct, uneven values in every coordinate.
mask::MaskRow maskRow(int m, int columns) {
  mask::MaskRow row;
  for (int c = 0; c <= columns; ++c) {
    const float f = static_cast<float>(m * 7 + c);
    row.points.push_back({f * 1.1f, f * f * 0.3f - 2.0f, -f * 13.7f + m * m});
    row.uvs.push_back({0.1 * c + 0.01 * m, 0.37 * m - 0.013 * c});
  }
  return row;
}

struct Grid {
  std::vector<point3> v;
  std::vector<A_FloatPoint> t;
};

// The linear pass over `count` masks, as the render runs it.
Grid linearPass(int count, int columns, A_long rowsPerGap) {
  Grid g;
  for (int i = 1; i < count; ++i)
    mask::AppendRowsBetween(maskRow(i - 1, columns), maskRow(i, columns), columns, rowsPerGap,
                            i == count - 1, g.v, g.t);
  return g;
}

TEST(RowsBetween, rowsPerGapFollowsTheMaskCount) {
  EXPECT_EQ(mask::RowsPerGap(10, 3, false), 5);
  EXPECT_EQ(mask::RowsPerGap(10, 4, false), 3);
  EXPECT_EQ(mask::RowsPerGap(2, 5, false), 1);
  // Cubic needs four masks; below that the straight rule holds.
  EXPECT_EQ(mask::RowsPerGap(10, 3, true), 5);
  EXPECT_FALSE(mask::CubicApplies(true, 10, 3));
  EXPECT_EQ(mask::RowsPerGap(10, 4, true), 1);
  EXPECT_TRUE(mask::CubicApplies(true, 10, 4));
  EXPECT_FALSE(mask::CubicApplies(false, 10, 4));
}

TEST(RowsBetween, threeMasksAtYSubdivide10GiveElevenRowsOfStraightBlends) {
  const int C = 4;
  const A_long perGap = mask::RowsPerGap(10, 3, false);
  const Grid g = linearPass(3, C, perGap);
  ASSERT_EQ(g.v.size(), 11u * (C + 1));
  ASSERT_EQ(g.t.size(), g.v.size());
  for (int r = 0; r <= 10; ++r) {
    const int gap = r < 5 ? 0 : 1;
    const int inGap = r - 5 * gap;
    const float t = static_cast<float>(inGap) / 5.0f;
    const mask::MaskRow a = maskRow(gap, C), b = maskRow(gap + 1, C);
    for (int c = 0; c <= C; ++c) {
      const size_t i = static_cast<size_t>(r * (C + 1) + c);
      const float x = a.points[c].x * (1.0f - t) + b.points[c].x * t;
      const float z = a.points[c].z * (1.0f - t) + b.points[c].z * t;
      const float u =
          static_cast<float>(a.uvs[c].x) * (1.0f - t) + static_cast<float>(b.uvs[c].x) * t;
      EXPECT_EQ(g.v[i].x, x) << r << "," << c;
      EXPECT_EQ(g.v[i].z, z) << r << "," << c;
      EXPECT_EQ(g.t[i].x, static_cast<double>(u)) << r << "," << c;
    }
  }
  // The grid ends with the last mask's own row; texture coordinates pass through a float.
  const mask::MaskRow last = maskRow(2, C);
  EXPECT_EQ(g.v.back().y, last.points.back().y);
  EXPECT_EQ(g.t.back().y, static_cast<double>(static_cast<float>(last.uvs.back().y)));
}

TEST(RowsBetween, aShortRowIsNotBlended) {
  mask::MaskRow whole = maskRow(0, 3);
  mask::MaskRow shortRow = maskRow(1, 3);
  shortRow.points.pop_back();
  shortRow.uvs.pop_back();
  std::vector<point3> v;
  std::vector<A_FloatPoint> t;
  mask::AppendRowsBetween(whole, shortRow, 3, 4, true, v, t);
  mask::AppendRowsBetween(shortRow, whole, 3, 4, true, v, t);
  EXPECT_TRUE(v.empty());
  EXPECT_TRUE(t.empty());
  // An empty row, as from a mask without segments, neither.
  mask::AppendRowsBetween(whole, mask::MaskRow(), 3, 4, false, v, t);
  EXPECT_TRUE(v.empty());
  // Nor a gap of no rows or fewer, from a direct caller.
  for (const A_long rowsPerGap : {0, -1, -1000})
    for (const bool lastMask : {false, true})
      mask::AppendRowsBetween(whole, maskRow(1, 3), 3, rowsPerGap, lastMask, v, t);
  EXPECT_EQ(v.size(), 4u);  // only rowsPerGap 0 with the last mask, which keeps one row
  EXPECT_EQ(t.size(), 4u);
}

// The cubic rows through masks m0 … m3 at t, the tension as a fraction, computed from the rows.
float hermiteAt(const std::vector<mask::MaskRow>& masks, int gap, int c, float t, float tension) {
  const int n = static_cast<int>(masks.size());
  auto y = [&](int m) -> float {
    if (m < 0)
      return 2.0f * masks[0].points[c].x - masks[1].points[c].x;
    if (m >= n)
      return 2.0f * masks[n - 1].points[c].x - masks[n - 2].points[c].x;
    return masks[m].points[c].x;
  };
  return HermiteInterpolate(y(gap - 1), y(gap), y(gap + 1), y(gap + 2), t, tension);
}

TEST(CubicPass, fiveMasksAtYSubdivide8BendThePositionsAndBlendTheTextureStraight) {
  const int C = 2, count = 5;
  const float tension = 0.25f;
  Grid g = linearPass(count, C, mask::RowsPerGap(8, count, true));
  ASSERT_EQ(g.v.size(), 5u * (C + 1));
  A_long rows = 0;
  ASSERT_TRUE(mask::CubicPass(g.v, g.t, C, count, 8, tension, &rows));
  EXPECT_EQ(rows, 8);
  ASSERT_EQ(g.v.size(), 9u * (C + 1));
  ASSERT_EQ(g.t.size(), g.v.size());
  std::vector<mask::MaskRow> masks;
  for (int m = 0; m < count; ++m)
    masks.push_back(maskRow(m, C));
  for (int gap = 0; gap < 4; ++gap) {
    for (int r = 0; r < 2; ++r) {
      const float t = static_cast<float>(r) / 2.0f;
      for (int c = 0; c <= C; ++c) {
        const size_t i = static_cast<size_t>((gap * 2 + r) * (C + 1) + c);
        EXPECT_EQ(g.v[i].x, hermiteAt(masks, gap, c, t, tension)) << gap << "," << r << "," << c;
        const float ua = static_cast<float>(masks[gap].uvs[c].x);
        const float ub = static_cast<float>(masks[gap + 1].uvs[c].x);
        EXPECT_EQ(g.t[i].x, static_cast<double>(Interpolate(ua, ub, t, 0))) << gap << "," << r;
      }
    }
  }
  // The last row is the last mask's own.
  for (int c = 0; c <= C; ++c)
    EXPECT_EQ(g.v[8 * (C + 1) + c].z, masks[4].points[c].z);
}

TEST(CubicPass, fiveMasksAtYSubdivide2KeepOneRowPerGap) {
  const int C = 3, count = 5;
  Grid g = linearPass(count, C, mask::RowsPerGap(2, count, true));
  const std::vector<point3> before = g.v;
  A_long rows = 0;
  ASSERT_TRUE(mask::CubicPass(g.v, g.t, C, count, 2, 0.0f, &rows));
  EXPECT_EQ(rows, 4);
  ASSERT_EQ(g.v.size(), 5u * (C + 1));
  // At t = 0 the Hermite segment is its start: every row is its mask's own.
  for (size_t i = 0; i < g.v.size(); ++i) {
    EXPECT_EQ(g.v[i].x, before[i].x) << i;
    EXPECT_EQ(g.v[i].y, before[i].y) << i;
  }
}

TEST(CubicPass, aGridThatIsNotOneWholeRowPerMaskIsLeftAlone) {
  const int C = 3, count = 4;
  Grid g = linearPass(count, C, 1);
  g.v.pop_back();
  const size_t size = g.v.size();
  A_long rows = 3;
  EXPECT_FALSE(mask::CubicPass(g.v, g.t, C, count, 10, 0.0f, &rows));
  EXPECT_EQ(g.v.size(), size);
  EXPECT_EQ(rows, 3);
}

}  // namespace
