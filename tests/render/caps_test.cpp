// Caps over the first and last rows: ear caps with their accumulated corner normals, fan caps
// around the bounding-box centre, the failure flag, and where each cap goes in the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "TOLV_Mask/math/triangulate.h"
#include "TOLV_Mask/math/vector3.h"
#include "TOLV_Mask/render/Caps.h"
#include "TOLV_Mask/render/MeshSettings.h"

namespace {

// The records are packed, so their doubles may sit at 4-byte offsets: they are read by value.
double byValue(double v) {
  return v;
}

using mask::RenderState;

// The mesh as the render lays it out: the first cap, the grid's own triangles, the last cap.
void AddCaps(A_long fill, A_long algorithm, A_long cols, const RenderState& state,
             std::vector<triangle>& grid, A_u_char& capFillFailed) {
  const mask::CapTriangles caps = mask::BuildCaps(fill, algorithm, cols, state, capFillFailed);
  std::vector<triangle> mesh = caps.front;
  mesh.insert(mesh.end(), grid.begin(), grid.end());
  mesh.insert(mesh.end(), caps.back.begin(), caps.back.end());
  grid = mesh;
}

bool sameBits(const point3& a, const point3& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// A two-mask tube of one row gap: the grid's rows are the given outline at z = 0 (first) and
// z = −10 (last); the rows kept for the caps are the outline as placed, before any displacement,
// and the grid's last row is lifted by lift so that the two can be told apart.
RenderState tube(const std::vector<point3>& outline, float lift = 0) {
  RenderState s;
  s.maskCount = 2;
  s.columns = static_cast<A_long>(outline.size()) - 1;
  s.rows = 1;
  for (int r = 0; r < 2; ++r) {
    mask::MaskRow& row = r == 0 ? s.firstRow : s.lastRow;
    for (size_t i = 0; i < outline.size(); ++i) {
      const point3 placed = {outline[i].x, outline[i].y, r == 0 ? 0.0f : -10.0f};
      const A_FloatPoint uv = {0.1 * i, 0.5 * r};
      row.points.push_back(placed);
      row.uvs.push_back(uv);
      point3 moved = placed;
      if (r == 1)
        moved.z += lift;
      s.vecNors.push_back({moved, {0, 0, 0}});
      s.texture.push_back(uv);
    }
  }
  return s;
}

const std::vector<point3> kSquare = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};

// A figure eight: a lemniscate sampled around, its last point repeating the first as a closed mask
// row does.
std::vector<point3> figureEight() {
  std::vector<point3> points;
  constexpr int kSamples = 24;
  for (int i = 0; i <= kSamples; ++i) {
    const double t = 2 * M_PI * (i % kSamples) / kSamples;
    const double d = 1 + std::sin(t) * std::sin(t);
    points.push_back({static_cast<float>(100 + 80 * std::cos(t) / d),
                      static_cast<float>(100 + 80 * std::sin(t) * std::cos(t) / d), 0});
  }
  return points;
}

std::vector<A_FloatPoint> polygonOf(const std::vector<point3>& points) {
  std::vector<A_FloatPoint> polygon;
  for (const point3& p : points)
    polygon.push_back({p.x, p.y});
  return polygon;
}

TEST(Caps, noneBuildsNothingAndLeavesTheFlagAlone) {
  RenderState s = tube(kSquare);
  std::vector<triangle> triangles(3);
  AddCaps(mask::kFillNone, mask::kFillEarThenFan, s.columns, s, triangles, s.capFillFailed);
  EXPECT_EQ(triangles.size(), 3u);
  EXPECT_EQ(s.capFillFailed, 0);
}

TEST(Caps, oneMaskHasNoCaps) {
  RenderState s = tube(kSquare);
  s.maskCount = 1;
  std::vector<triangle> triangles;
  AddCaps(mask::kFillLastAndFirst, mask::kFillFan, s.columns, s, triangles, s.capFillFailed);
  EXPECT_TRUE(triangles.empty());
}

TEST(Caps, anEarCapFollowsTheIndexTriplesWithCornerNormalsSummedOverItsTriangles) {
  // The grid's last row is bent: corner 1 raised, so the two ear triangles face different ways.
  RenderState s = tube(kSquare);
  const size_t base = 4;
  s.vecNors[base + 1].pos.z = -5;
  std::vector<triangle> triangles;
  AddCaps(mask::kFillLast, mask::kFillEar, s.columns, s, triangles, s.capFillFailed);

  const std::vector<int> indices = math::tri::triangulate<int>(polygonOf(kSquare));
  ASSERT_EQ(indices, (std::vector<int>{3, 0, 1, 3, 1, 2}));
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_EQ(s.capFillFailed, 0);
  auto pos = [&](int i) { return s.vecNors[base + i].pos; };
  const point3 n1 = triangleNormal(pos(3), pos(0), pos(1));
  const point3 n2 = triangleNormal(pos(3), pos(1), pos(2));
  point3 shared = {n1.x + n2.x, n1.y + n2.y, n1.z + n2.z};
  vecNormalise(shared);
  // A corner's sum starts at (0, 0, 0), so a −0 component turns to +0, and it is normalised once
  // more even when it holds a single unit normal.
  point3 only1 = {0 + n1.x, 0 + n1.y, 0 + n1.z}, only2 = {0 + n2.x, 0 + n2.y, 0 + n2.z};
  vecNormalise(only1);
  vecNormalise(only2);
  point3 face1 = n1;
  vecNormalise(face1);

  EXPECT_TRUE(sameBits(triangles[0].vertexA, pos(3)));
  EXPECT_TRUE(sameBits(triangles[0].vertexB, pos(0)));
  EXPECT_TRUE(sameBits(triangles[0].vertexC, pos(1)));
  EXPECT_TRUE(sameBits(triangles[0].faceNormal, face1));
  EXPECT_TRUE(sameBits(triangles[0].normalA, shared));  // corner 3: both triangles
  EXPECT_TRUE(sameBits(triangles[0].normalB, only1));   // corner 0: the first only
  EXPECT_TRUE(sameBits(triangles[1].normalC, only2));   // corner 2: the second only
  EXPECT_FALSE(sameBits(n1, n2));
  EXPECT_EQ(byValue(triangles[1].uvB.x), s.texture[base + 1].x);
  EXPECT_EQ(byValue(triangles[1].uvB.y), 0.5);
  EXPECT_EQ(triangles[1].reserved, 0.0f);
}

TEST(Caps, aFigureEightWithEarOnlyFailsAndBuildsNothing) {
  const std::vector<point3> eight = figureEight();
  ASSERT_TRUE(math::tri::triangulate<int>(polygonOf(eight)).empty());
  RenderState s = tube(eight);
  std::vector<triangle> triangles;
  AddCaps(mask::kFillLastAndFirst, mask::kFillEar, s.columns, s, triangles, s.capFillFailed);
  EXPECT_TRUE(triangles.empty());
  EXPECT_EQ(s.capFillFailed, 1);
}

TEST(Caps, aFigureEightWithEarThenFanGetsAFanOfOneTrianglePerRowPoint) {
  const std::vector<point3> eight = figureEight();
  RenderState s = tube(eight);
  std::vector<triangle> triangles;
  AddCaps(mask::kFillLast, mask::kFillEarThenFan, s.columns, s, triangles, s.capFillFailed);
  ASSERT_EQ(triangles.size(), eight.size());
  EXPECT_EQ(s.capFillFailed, 0);
  // Bounding box of the lemniscate: symmetric around (100, 100).
  for (const triangle& t : triangles) {
    EXPECT_NEAR(t.vertexC.x, 100.0f, 1e-4);
    EXPECT_NEAR(t.vertexC.y, 100.0f, 1e-4);
    EXPECT_EQ(t.vertexC.z, -10.0f);
  }
}

TEST(Caps, lastAndFirstFansGoToTheEndAndToTheFrontInReverse) {
  RenderState s = tube(kSquare, 3.0f);
  std::vector<triangle> triangles(2);
  triangles[0].vertexA = {-1, -1, -1};
  triangles[1].vertexA = {-2, -2, -2};
  AddCaps(mask::kFillLastAndFirst, mask::kFillFan, s.columns, s, triangles, s.capFillFailed);
  const size_t r = kSquare.size();
  ASSERT_EQ(triangles.size(), 2 * r + 2);
  for (size_t j = 0; j < r; ++j) {
    // The first cap, made for j = 0 … R − 1, lies at the front from R − 1 down to 0.
    const triangle& front = triangles[r - 1 - j];
    EXPECT_TRUE(sameBits(front.vertexA, s.vecNors[j].pos)) << j;
    EXPECT_TRUE(sameBits(front.vertexB, s.vecNors[(j + 1) % r].pos)) << j;
    const triangle& back = triangles[r + 2 + j];
    EXPECT_TRUE(sameBits(back.vertexA, s.vecNors[r + j].pos)) << j;
    EXPECT_TRUE(sameBits(back.vertexB, s.vecNors[r + (j + 1) % r].pos)) << j;
    // The corners follow the moved grid, the centre stays where the row was placed.
    EXPECT_EQ(back.vertexA.z, -7.0f);
    EXPECT_EQ(back.vertexC.x, 5.0f);
    EXPECT_EQ(back.vertexC.y, 5.0f);
    EXPECT_EQ(back.vertexC.z, -10.0f);
    EXPECT_EQ(byValue(back.uvC.x), (0.0 + 0.1 * 3) / 2);
    EXPECT_EQ(byValue(back.uvC.y), 0.5);
    EXPECT_TRUE(sameBits(back.normalA, back.faceNormal));
    EXPECT_TRUE(sameBits(back.normalC, back.faceNormal));
  }
  EXPECT_EQ(triangles[r].vertexA.x, -1.0f);
  EXPECT_EQ(triangles[r + 1].vertexA.x, -2.0f);
  EXPECT_EQ(s.capFillFailed, 0);
}

TEST(Caps, theFanCentreIsTheBoxCentreInDouble) {
  // In single precision the sum of these two would overflow to infinity.
  RenderState s = tube({{3e38f, 0, 0}, {3.2e38f, 1, 0}, {3.2e38f, 2, 0}});
  std::vector<triangle> triangles;
  AddCaps(mask::kFillFirst, mask::kFillFan, s.columns, s, triangles, s.capFillFailed);
  ASSERT_EQ(triangles.size(), 3u);
  const double mean = (static_cast<double>(3e38f) + static_cast<double>(3.2e38f)) / 2;
  EXPECT_EQ(triangles[0].vertexC.x, static_cast<float>(mean));
  EXPECT_EQ(triangles[0].vertexC.y, 1.0f);
}

// A star of 40 points whose moved grid row is pushed in and out of its plane by uneven amounts,
// so that the normals carry all their bits.
RenderState bumpyStar() {
  std::vector<point3> outline;
  for (int i = 0; i < 40; ++i) {
    const double t = 2 * M_PI * i / 40;
    const double r = i % 2 ? 37.3 : 91.7;
    outline.push_back(
        {static_cast<float>(200 + r * std::cos(t)), static_cast<float>(150 + r * std::sin(t)), 0});
  }
  RenderState s = tube(outline);
  for (size_t i = 0; i < s.vecNors.size(); ++i)
    s.vecNors[i].pos.z += static_cast<float>(std::sin(1.7 * i) * 13.1);
  return s;
}

// Every cap triangle, one at a time: its normal as triangleNormal gives it, normalised once more
// for the record; an ear corner's normal the normalised sum of its triangles' unit normals.
TEST(Caps, everyNormalIsThatOfTheTrianglesTakenOneAtATime) {
  const RenderState s = bumpyStar();
  const size_t r = s.firstRow.points.size();
  for (A_long algorithm : {mask::kFillEar, mask::kFillFan}) {
    A_u_char failed = 0;
    const mask::CapTriangles caps =
        mask::BuildCaps(mask::kFillLastAndFirst, algorithm, s.columns, s, failed);
    ASSERT_EQ(failed, 0);
    for (const std::vector<triangle>* cap : {&caps.front, &caps.back}) {
      // The first cap lies at the front in reverse; its sums are taken in the order it was built.
      const bool front = cap == &caps.front;
      const size_t base = front ? 0 : r;
      std::vector<triangle> built = *cap;
      if (front)
        std::reverse(built.begin(), built.end());
      std::vector<point3> corner(r, point3{0, 0, 0});
      std::vector<int> cornerOf;
      for (const triangle& t : built) {
        const point3 unit = triangleNormal(t.vertexA, t.vertexB, t.vertexC);
        point3 face = unit;
        vecNormalise(face);
        EXPECT_TRUE(sameBits(t.faceNormal, face));
        if (algorithm == mask::kFillFan) {
          EXPECT_TRUE(sameBits(t.normalA, face));
          EXPECT_TRUE(sameBits(t.normalC, face));
          continue;
        }
        for (const point3* p : {&t.vertexA, &t.vertexB, &t.vertexC}) {
          for (size_t i = 0; i < r; ++i) {
            if (sameBits(*p, s.vecNors[base + i].pos)) {
              corner[i] = {corner[i].x + unit.x, corner[i].y + unit.y, corner[i].z + unit.z};
              cornerOf.push_back(static_cast<int>(i));
              break;
            }
          }
        }
      }
      if (algorithm == mask::kFillFan)
        continue;
      ASSERT_EQ(cornerOf.size(), 3 * built.size());
      for (point3& n : corner)
        vecNormalise(n);
      for (size_t k = 0; k < cornerOf.size(); ++k) {
        const triangle& t = built[k / 3];
        const point3& n = k % 3 == 0 ? t.normalA : (k % 3 == 1 ? t.normalB : t.normalC);
        EXPECT_TRUE(sameBits(n, corner[cornerOf[k]])) << k;
      }
    }
  }
}

TEST(Caps, aRowShorterThanTheGridRowGetsNoCap) {
  RenderState s = tube(kSquare);
  s.lastRow.points.pop_back();
  std::vector<triangle> triangles;
  AddCaps(mask::kFillLastAndFirst, mask::kFillFan, s.columns, s, triangles, s.capFillFailed);
  EXPECT_EQ(triangles.size(), kSquare.size());  // the first cap only
  EXPECT_TRUE(sameBits(triangles[0].vertexA, s.vecNors[3].pos));
}

}  // namespace
