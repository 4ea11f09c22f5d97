// The grid cut into triangles: corner order, what each corner carries, and the face normals.
#include <gtest/gtest.h>

#include <cstring>

#include "TOLV_Mask/render/GridTriangles.h"

namespace {

// The records are packed, so their doubles may sit at 4-byte offsets: they are read by value.
double byValue(double v) {
  return v;
}

// All of the grid's triangles, as the slot writer lays them out.
void AppendGridTriangles(A_long cols, A_long rows, const std::vector<vecNor>& vecNors,
                         const std::vector<A_FloatPoint>& texture,
                         const std::vector<point3>& faceNormals, std::vector<triangle>& triangles) {
  const mask::GridMesh grid{cols, rows, vecNors, texture, faceNormals};
  const size_t first = triangles.size();
  triangles.resize(first + grid.triangleCount());
  EXPECT_EQ(mask::WriteGridTriangles(grid, triangles.data() + first, grid.triangleCount()),
            grid.triangleCount());
}

// Vertex i sits at (i, 0, 0) with normal (0, 0, i) and texture (i, −i), so every field names it.
struct Grid {
  std::vector<vecNor> vecNors;
  std::vector<A_FloatPoint> texture;
};

Grid numberedGrid(size_t count) {
  Grid g;
  for (size_t i = 0; i < count; ++i) {
    const float f = static_cast<float>(i);
    g.vecNors.push_back({{f, 0, 0}, {0, 0, f}});
    g.texture.push_back({static_cast<double>(i), -static_cast<double>(i)});
  }
  return g;
}

struct Corners {
  int a, b, c;
};

Corners cornersOf(const triangle& t) {
  return {static_cast<int>(t.vertexA.x), static_cast<int>(t.vertexB.x),
          static_cast<int>(t.vertexC.x)};
}

TEST(GridTriangles, twoColumnsOneRowGiveTheFourTrianglesInCellOrder) {
  const Grid g = numberedGrid(6);
  std::vector<triangle> triangles;
  AppendGridTriangles(2, 1, g.vecNors, g.texture, {}, triangles);
  ASSERT_EQ(triangles.size(), 4u);
  const Corners expected[] = {{0, 1, 4}, {0, 4, 3}, {1, 2, 5}, {1, 5, 4}};
  for (size_t i = 0; i < 4; ++i) {
    const Corners got = cornersOf(triangles[i]);
    EXPECT_EQ(got.a, expected[i].a) << i;
    EXPECT_EQ(got.b, expected[i].b) << i;
    EXPECT_EQ(got.c, expected[i].c) << i;
  }
}

TEST(GridTriangles, eachCornerCarriesItsOwnNormalAndTextureCoordinate) {
  const Grid g = numberedGrid(9);
  std::vector<triangle> triangles;
  AppendGridTriangles(2, 2, g.vecNors, g.texture, {}, triangles);
  ASSERT_EQ(triangles.size(), 8u);
  for (const triangle& t : triangles) {
    EXPECT_EQ(t.normalA.z, t.vertexA.x);
    EXPECT_EQ(t.normalB.z, t.vertexB.x);
    EXPECT_EQ(t.normalC.z, t.vertexC.x);
    EXPECT_EQ(byValue(t.uvA.x), t.vertexA.x);
    EXPECT_EQ(byValue(t.uvB.y), -t.vertexB.x);
    EXPECT_EQ(byValue(t.uvC.x), t.vertexC.x);
    EXPECT_EQ(t.reserved, 0.0f);
  }
  // The second row of cells starts on the next row of vertices: no cell wraps around a row end.
  EXPECT_EQ(cornersOf(triangles[4]).a, 3);
  EXPECT_EQ(cornersOf(triangles[4]).c, 7);
}

TEST(GridTriangles, faceNormalsGoOneByOneAndThenTheLastOneRepeats) {
  const Grid g = numberedGrid(6);
  const std::vector<point3> faces = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  std::vector<triangle> triangles;
  AppendGridTriangles(2, 1, g.vecNors, g.texture, faces, triangles);
  ASSERT_EQ(triangles.size(), 4u);
  EXPECT_EQ(triangles[0].faceNormal.x, 1.0f);
  EXPECT_EQ(triangles[1].faceNormal.y, 1.0f);
  EXPECT_EQ(triangles[2].faceNormal.z, 1.0f);
  EXPECT_EQ(triangles[3].faceNormal.z, 1.0f);
  EXPECT_EQ(triangles[3].faceNormal.x, 0.0f);
}

TEST(GridTriangles, withoutFaceNormalsTheFirstTriangleGetsZero) {
  const Grid g = numberedGrid(4);
  std::vector<triangle> triangles;
  AppendGridTriangles(1, 1, g.vecNors, g.texture, {}, triangles);
  ASSERT_EQ(triangles.size(), 2u);
  const point3 zero = {0, 0, 0};
  EXPECT_EQ(std::memcmp(&triangles[0].faceNormal, &zero, sizeof zero), 0);
  EXPECT_EQ(std::memcmp(&triangles[1].faceNormal, &zero, sizeof zero), 0);
}

TEST(GridTriangles, noRowGapMeansNoTriangles) {
  const Grid g = numberedGrid(3);
  std::vector<triangle> triangles;
  AppendGridTriangles(2, 0, g.vecNors, g.texture, {}, triangles);
  EXPECT_TRUE(triangles.empty());
  AppendGridTriangles(-1, 3, g.vecNors, g.texture, {}, triangles);
  EXPECT_TRUE(triangles.empty());
}

TEST(GridTriangles, aLimitStopsTheWritingMidCell) {
  const Grid g = numberedGrid(6);
  const mask::GridMesh grid{2, 1, g.vecNors, g.texture, {}};
  std::vector<triangle> triangles(4);
  triangles[3].vertexA = {-1, -1, -1};
  EXPECT_EQ(mask::WriteGridTriangles(grid, triangles.data(), 3), 3u);
  EXPECT_EQ(cornersOf(triangles[2]).a, 1);
  EXPECT_EQ(cornersOf(triangles[2]).c, 5);
  EXPECT_EQ(triangles[3].vertexA.x, -1.0f);
  EXPECT_EQ(mask::WriteGridTriangles(grid, triangles.data(), 0), 0u);
}

TEST(GridTriangles, vertexCountOfAGrid) {
  EXPECT_EQ(mask::GridVertexCount(91, 99), 9200u);
  EXPECT_EQ(mask::GridVertexCount(2, 0), 3u);
  EXPECT_EQ(mask::GridVertexCount(-1, 4), 0u);
}

}  // namespace
