// The grid cut into triangles, two per cell along the top-left to bottom-right diagonal.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/math/normals.h"
#include "common/MeshSlot.h"

namespace mask {

// The number of vertices of a grid of cols × rows cells, or 0 when either count is negative.
size_t GridVertexCount(A_long cols, A_long rows);

// A grid of cols × rows cells with its normals and texture coordinates; the caller has made sure
// the lists hold the whole grid.
struct GridMesh {
  A_long cols, rows;
  const std::vector<vecNor>& vecNors;
  const std::vector<A_FloatPoint>& texture;
  const std::vector<point3>& faceNormals;

  size_t triangleCount() const;
};

// Writes the first limit triangles of the grid to out, in row-major cell order, (TL, TR, BR) then
// (TL, BR, BL), each with its corners' positions, normals and texture coordinates and reserved 0.
// The n-th triangle takes the n-th face normal; past the end of that list it repeats the one
// before ((0, 0, 0) for the first). Returns how many were written.
size_t WriteGridTriangles(const GridMesh& grid, triangle* out, size_t limit);

}  // namespace mask
