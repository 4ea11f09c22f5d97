// The grid normals step by step, one triangle at a time. Kept as the reference that the batched
// normalsFromCoord must match bit for bit.
#include "TOLV_Mask/math/normals_reference.h"

#include <cstdint>

#include "TOLV_Mask/math/vector3.h"

namespace {

void addTo(point3& sum, const point3& n) {
  sum.x += n.x;
  sum.y += n.y;
  sum.z += n.z;
}

void addCellNormals(size_t tl, size_t cols, std::vector<vecNor>& v,
                    std::vector<point3>& faceNormals) {
  const size_t tr = tl + 1;
  const size_t bl = tl + cols + 1;
  const size_t br = tl + cols + 2;
  const point3 n1 = triangleNormal(v[tl].pos, v[tr].pos, v[br].pos);
  faceNormals.push_back(n1);
  addTo(v[tl].nor, n1);
  addTo(v[tr].nor, n1);
  addTo(v[br].nor, n1);
  const point3 n2 = triangleNormal(v[tl].pos, v[br].pos, v[bl].pos);
  faceNormals.push_back(n2);
  addTo(v[tl].nor, n2);
  addTo(v[br].nor, n2);
  addTo(v[bl].nor, n2);
}

// The last vertex of each row takes the sum of both ends, the first a copy of it.
void weldRowEnds(size_t cols, size_t rows, std::vector<vecNor>& v) {
  for (size_t r = 0; r <= rows; ++r) {
    const size_t first = r * (cols + 1);
    const size_t last = first + cols;
    addTo(v[last].nor, v[first].nor);
    v[first].nor = v[last].nor;
  }
}

}  // namespace

PF_Err normalsFromCoordReference(int cols, int rows, std::vector<vecNor>& vertices,
                                 std::vector<point3>& faceNormals, unsigned char wrap) {
  if (cols >= 0 && rows >= 0) {
    const uint64_t needed = (static_cast<uint64_t>(cols) + 1) * (static_cast<uint64_t>(rows) + 1);
    if (vertices.size() < needed)
      return PF_Err_INVALID_INDEX;
    const size_t c = static_cast<size_t>(cols);
    const size_t r = static_cast<size_t>(rows);
    for (size_t row = 0; row < r; ++row) {
      for (size_t col = 0; col < c; ++col)
        addCellNormals(row * (c + 1) + col, c, vertices, faceNormals);
    }
    if (wrap)
      weldRowEnds(c, r, vertices);
  }
  for (vecNor& v : vertices)
    vecNormalise(v.nor);
  for (point3& n : faceNormals)
    vecNormalise(n);
  return PF_Err_NONE;
}
