// Vector helpers and grid normals, compared exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/vector3.h"

namespace {

void expectPoint3(const point3& p, float x, float y, float z) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.z, z);
}

void expectSame(const point3& p, const point3& q) {
  expectPoint3(p, q.x, q.y, q.z);
}

point3 normalised(point3 p) {
  vecNormalise(p);
  return p;
}

point3 sum(const point3& a, const point3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}

std::vector<vecNor> grid(const std::vector<point3>& positions) {
  std::vector<vecNor> vertices;
  for (const point3& p : positions)
    vertices.push_back({p, {0, 0, 0}});
  return vertices;
}

TEST(VecLength, IsNestedHypot) {
  EXPECT_EQ(vecLength({3, 4, 12}), 13.0f);
  EXPECT_EQ(vecLength({0.1f, 0.2f, 0.3f}), hypotf(hypotf(0.1f, 0.2f), 0.3f));
}

TEST(VecNormalise, DividesByTheLength) {
  point3 p{3, -4, 12};
  vecNormalise(p);
  expectPoint3(p, 3.0f / 13.0f, -4.0f / 13.0f, 12.0f / 13.0f);
}

TEST(VecNormalise, LeavesZeroAlone) {
  point3 p{0, 0, 0};
  vecNormalise(p);
  expectPoint3(p, 0, 0, 0);
}

TEST(TriangleNormal, IsTheUnitCrossProduct) {
  expectPoint3(triangleNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), 0, 0, 1);
  expectPoint3(triangleNormal({0, 0, 0}, {0, 1, 0}, {1, 0, 0}), 0, 0, -1);
  // u = (2, 0, 0), w = (0, 3, 4): u × w = (0, −8, 6), length 10.
  expectPoint3(triangleNormal({1, 1, 1}, {3, 1, 1}, {1, 4, 5}), 0, -0.8f, 0.6f);
}

TEST(TriangleNormal, CollinearCornersGiveZero) {
  expectPoint3(triangleNormal({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), 0, 0, 0);
}

TEST(NormalsFromCoord, FlatCellFacesTheViewer) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(1, 1, v, faces, 0), PF_Err_NONE);
  ASSERT_EQ(faces.size(), 2u);
  expectPoint3(faces[0], 0, 0, 1);
  expectPoint3(faces[1], 0, 0, 1);
  for (const vecNor& vertex : v)
    expectPoint3(vertex.nor, 0, 0, 1);
}

TEST(NormalsFromCoord, FoldedCellAveragesUnitFaceNormals) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 1}, {0, 1, 0}, {1, 1, 0}});
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(1, 1, v, faces, 0), PF_Err_NONE);
  const point3 n1 = triangleNormal({0, 0, 0}, {1, 0, 1}, {1, 1, 0});
  const point3 n2 = triangleNormal({0, 0, 0}, {1, 1, 0}, {0, 1, 0});
  expectPoint3(n2, 0, 0, 1);
  ASSERT_EQ(faces.size(), 2u);
  // The face list is normalised again at the end, which moves a unit vector by a rounding step.
  expectSame(faces[0], normalised(n1));
  expectSame(faces[1], n2);
  expectSame(v[0].nor, normalised(sum(n1, n2)));
  // TR and BL carry one face each, normalised once more like the face list itself.
  expectSame(v[1].nor, faces[0]);
  expectSame(v[2].nor, faces[1]);
  expectSame(v[3].nor, normalised(sum(n1, n2)));
}

TEST(NormalsFromCoord, FaceNormalsFollowCellsRowMajor) {
  // Two cells side by side, the right one tilted; then one row down.
  std::vector<vecNor> v = grid({{0, 0, 0},
                                {1, 0, 0},
                                {2, 0, 1},  //
                                {0, 1, 0},
                                {1, 1, 0},
                                {2, 1, 1},  //
                                {0, 2, 0},
                                {1, 2, 0},
                                {2, 2, 0}});
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(2, 2, v, faces, 0), PF_Err_NONE);
  ASSERT_EQ(faces.size(), 8u);
  const int tl[4] = {0, 1, 3, 4};
  for (int cell = 0; cell < 4; ++cell) {
    const int a = tl[cell];
    expectSame(faces[2 * cell], normalised(triangleNormal(v[a].pos, v[a + 1].pos, v[a + 4].pos)));
    expectSame(faces[2 * cell + 1],
               normalised(triangleNormal(v[a].pos, v[a + 4].pos, v[a + 3].pos)));
  }
}

TEST(NormalsFromCoord, WrapGivesRowEndsTheirCommonSum) {
  // A half pipe: the end columns lean in opposite directions.
  std::vector<vecNor> v = grid({{0, 0, 0},
                                {1, 0, 1},
                                {2, 0, 0},  //
                                {0, 1, 0},
                                {1, 1, 1},
                                {2, 1, 0}});
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(2, 1, v, faces, 1), PF_Err_NONE);
  ASSERT_EQ(faces.size(), 4u);
  // Before normalising: vertex 0 has cell 0's two faces, vertex 2 cell 1's first face, vertex 3
  // cell 0's second, vertex 5 cell 1's two.
  const std::vector<vecNor> raw =
      grid({{0, 0, 0}, {1, 0, 1}, {2, 0, 0}, {0, 1, 0}, {1, 1, 1}, {2, 1, 0}});
  const point3 f[4] = {
      triangleNormal(raw[0].pos, raw[1].pos, raw[4].pos),
      triangleNormal(raw[0].pos, raw[4].pos, raw[3].pos),
      triangleNormal(raw[1].pos, raw[2].pos, raw[5].pos),
      triangleNormal(raw[1].pos, raw[5].pos, raw[4].pos),
  };
  const point3 top = normalised(sum(f[2], sum(f[0], f[1])));
  const point3 bottom = normalised(sum(sum(f[2], f[3]), f[1]));
  expectSame(v[0].nor, top);
  expectSame(v[2].nor, top);
  expectSame(v[3].nor, bottom);
  expectSame(v[5].nor, bottom);
}

TEST(NormalsFromCoord, WrapRunsForRowZeroWithoutCells) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
  v[0].nor = {1, 0, 0};
  v[2].nor = {0, 1, 0};
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(2, 0, v, faces, 1), PF_Err_NONE);
  EXPECT_TRUE(faces.empty());
  const point3 both = normalised({1, 1, 0});
  expectSame(v[0].nor, both);
  expectPoint3(v[1].nor, 0, 0, 0);
  expectSame(v[2].nor, both);
}

TEST(NormalsFromCoord, CollinearCornersGiveZeroFaceNormal) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {2, 0, 0}});
  std::vector<point3> faces;
  ASSERT_EQ(normalsFromCoord(1, 1, v, faces, 0), PF_Err_NONE);
  ASSERT_EQ(faces.size(), 2u);
  expectPoint3(faces[0], 0, 0, 0);
  expectPoint3(faces[1], 0, 0, 1);
  // Vertex 1 touches only the flat face.
  expectPoint3(v[1].nor, 0, 0, 0);
}

TEST(NormalsFromCoord, NormalisesTheWholeLists) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {9, 9, 9}});
  v[4].nor = {0, 3, 4};
  std::vector<point3> faces = {{0, 0, 2}};
  ASSERT_EQ(normalsFromCoord(1, 1, v, faces, 0), PF_Err_NONE);
  expectPoint3(v[4].nor, 0, 0.6f, 0.8f);
  ASSERT_EQ(faces.size(), 3u);
  expectPoint3(faces[0], 0, 0, 1);
}

TEST(NormalsFromCoord, ShortVertexListIsRefusedUntouched) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
  v[0].nor = {0, 0, 5};
  std::vector<point3> faces = {{0, 0, 2}};
  EXPECT_EQ(normalsFromCoord(1, 1, v, faces, 1), PF_Err_INVALID_INDEX);
  expectPoint3(v[0].nor, 0, 0, 5);
  ASSERT_EQ(faces.size(), 1u);
  expectPoint3(faces[0], 0, 0, 2);
}

TEST(NormalsFromCoord, NegativeColumnCountSkipsTheWrap) {
  std::vector<vecNor> v = grid({{0, 0, 0}, {1, 0, 0}});
  v[0].nor = {0, 0, 5};
  std::vector<point3> faces;
  EXPECT_EQ(normalsFromCoord(-1, 1, v, faces, 1), PF_Err_NONE);
  EXPECT_TRUE(faces.empty());
  expectPoint3(v[0].nor, 0, 0, 1);
  expectPoint3(v[1].nor, 0, 0, 0);
}

}  // namespace
