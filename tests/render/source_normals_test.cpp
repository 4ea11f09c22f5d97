// Source geometry, the vecNor list, flat normals, and the check that a grid is whole before
// anything is built from it.
#include <gtest/gtest.h>

#include "TOLV_Mask/render/GridTriangles.h"
#include "TOLV_Mask/render/MeshPhases.h"
#include "TOLV_Mask/render/SourceGeometry.h"
#include "TOLV_Mask/render/VertexNormals.h"

namespace {

A_Matrix4 identity() {
  A_Matrix4 m = {};
  for (int i = 0; i < 4; ++i)
    m.mat[i][i] = 1;
  return m;
}

TEST(InheritSourceGeometry, scalesToTheSourceSizeAndTransformsWithTheDepthFlipped) {
  mask::SourceGeometry source;
  source.width = 200;
  source.height = 50;
  source.toWorld = identity();
  source.toWorld.mat[3][0] = 1000;  // translation
  source.toWorld.mat[3][2] = 30;
  source.toWorld.mat[0][2] = 1;  // host z grows with x
  std::vector<point3> v = {{10, 20, 5}};
  mask::InheritSourceGeometry(v, source, 100, 100);
  EXPECT_EQ(v[0].x, 1020.0f);  // 10 × 2 + 1000
  EXPECT_EQ(v[0].y, 10.0f);    // 20 × 0.5
  // Host z = −5 + 20 × 1 + 30 = 45, stored negated.
  EXPECT_EQ(v[0].z, -45.0f);
}

TEST(InheritSourceGeometry, aLayerWithoutSizeKeepsTheScaleOfThatAxis) {
  mask::SourceGeometry source;
  source.width = 200;
  source.height = 50;
  source.toWorld = identity();
  std::vector<point3> v = {{10, 20, 5}};
  mask::InheritSourceGeometry(v, source, 0, 0);
  EXPECT_EQ(v[0].x, 10.0f);
  EXPECT_EQ(v[0].y, 20.0f);
  EXPECT_EQ(v[0].z, 5.0f);
}

TEST(VecNors, startWithZeroNormalsInVertexOrder) {
  const std::vector<vecNor> v = mask::MakeVecNors({{1, 2, 3}, {4, 5, 6}});
  ASSERT_EQ(v.size(), 2u);
  EXPECT_EQ(v[1].pos.y, 5.0f);
  EXPECT_EQ(v[1].nor.z, 0.0f);
}

TEST(FlatNormals, faceTheViewerOnTheSheetAndAwayOnAMaskGrid) {
  std::vector<vecNor> v = mask::MakeVecNors({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
  std::vector<point3> faces;
  mask::SetFlatNormals(v, faces, 0);
  ASSERT_EQ(faces.size(), 3u);
  EXPECT_EQ(v[2].nor.z, 1.0f);
  EXPECT_EQ(faces[0].z, 1.0f);
  faces.clear();
  mask::SetFlatNormals(v, faces, 2);
  EXPECT_EQ(v[0].nor.z, -1.0f);
  EXPECT_EQ(faces[2].z, -1.0f);
}

TEST(RecomputeNormals, startsAfreshEachTime) {
  std::vector<vecNor> v = mask::MakeVecNors({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
  std::vector<point3> faces = {{5, 5, 5}};
  v[0].nor = {3, 0, 0};
  EXPECT_EQ(mask::RecomputeNormals(1, 1, v, faces, 0), PF_Err_NONE);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].z, 1.0f);
  EXPECT_EQ(v[0].nor.x, 0.0f);
  EXPECT_EQ(v[0].nor.z, 1.0f);
}

mask::RenderState grid(A_long cols, A_long rows, A_long maskCount) {
  mask::RenderState s;
  s.columns = cols;
  s.rows = rows;
  s.maskCount = maskCount;
  const size_t count = mask::GridVertexCount(cols, rows);
  s.vertices.assign(count, point3{0, 0, 0});
  s.texture.assign(count, A_FloatPoint{0, 0});
  const size_t row = static_cast<size_t>(cols) + 1;
  for (mask::MaskRow* r : {&s.firstRow, &s.lastRow}) {
    r->points.assign(row, point3{0, 0, 0});
    r->uvs.assign(row, A_FloatPoint{0, 0});
  }
  return s;
}

TEST(MeshInputsWhole, aWholeGridPasses) {
  mask::MeshSettings settings;
  settings.fillMasks = mask::kFillLastAndFirst;
  EXPECT_TRUE(mask::MeshInputsWhole(grid(3, 2, 2), 3, settings));
  EXPECT_TRUE(mask::MeshInputsWhole(grid(10, 10, 0), 10, settings));
}

TEST(MeshInputsWhole, aShortListFails) {
  mask::MeshSettings settings;
  mask::RenderState s = grid(3, 2, 2);
  s.vertices.pop_back();
  EXPECT_FALSE(mask::MeshInputsWhole(s, 3, settings));
  s = grid(3, 2, 2);
  s.texture.pop_back();
  EXPECT_FALSE(mask::MeshInputsWhole(s, 3, settings));
  s = grid(3, 2, 2);
  s.vertices.clear();
  s.texture.clear();
  EXPECT_FALSE(mask::MeshInputsWhole(s, 3, settings));
}

TEST(MeshInputsWhole, aShortRowFailsOnlyWhenItsCapIsAskedFor) {
  mask::MeshSettings settings;
  mask::RenderState s = grid(3, 2, 2);
  s.lastRow.points.pop_back();
  settings.fillMasks = mask::kFillFirst;
  EXPECT_TRUE(mask::MeshInputsWhole(s, 3, settings));
  settings.fillMasks = mask::kFillLast;
  EXPECT_FALSE(mask::MeshInputsWhole(s, 3, settings));
  s = grid(3, 2, 2);
  s.firstRow.uvs.clear();
  settings.fillMasks = mask::kFillLastAndFirst;
  EXPECT_FALSE(mask::MeshInputsWhole(s, 3, settings));
}

}  // namespace
