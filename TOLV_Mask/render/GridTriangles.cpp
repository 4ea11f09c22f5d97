#include "TOLV_Mask/render/GridTriangles.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace mask {

size_t GridVertexCount(A_long cols, A_long rows) {
  if (cols < 0 || rows < 0)
    return 0;
  return (static_cast<size_t>(cols) + 1) * (static_cast<size_t>(rows) + 1);
}

namespace {

static_assert(offsetof(vecNor, pos) == 0 && offsetof(vecNor, nor) == sizeof(point3),
              "a vertex is its position then its normal, six packed floats");
static_assert(offsetof(triangle, normalC) == 6 * sizeof(point3),
              "the triangle's positions and normals are packed floats");

// Copies sixteen bytes of a vertex record into the triangle record.
inline void Put16(triangle& tri, size_t at, const vecNor& from, size_t fromAt) {
  std::memcpy(reinterpret_cast<char*>(&tri) + at, reinterpret_cast<const char*>(&from) + fromAt,
              16);
}

// The positions and normals go in as sixteen-byte copies that overlap, some three quarters of the
// stores that one per field would take. Each copy carries one float of the neighbouring field,
// which a later copy writes over: vertexA's spare float lands on vertexB, vertexC's on the face
// normal; normalC brings its position's z in front and is written first, so that normalB covers
// it, and normalA's leading float lands on the face normal, written last.
inline void SetTriangle(triangle& tri, const vecNor* v, const A_FloatPoint* t, size_t a, size_t b,
                        size_t c, const point3& face) {
  constexpr size_t kPosZ = offsetof(point3, z);
  Put16(tri, offsetof(triangle, vertexA), v[a], 0);
  Put16(tri, offsetof(triangle, vertexB), v[b], 0);
  Put16(tri, offsetof(triangle, vertexC), v[c], 0);
  Put16(tri, offsetof(triangle, normalC) - 4, v[c], kPosZ);
  Put16(tri, offsetof(triangle, normalB) - 4, v[b], kPosZ);
  Put16(tri, offsetof(triangle, normalA) - 4, v[a], kPosZ);
  tri.faceNormal = face;
  tri.uvA = t[a];
  tri.uvB = t[b];
  tri.uvC = t[c];
  tri.reserved = 0;
}

}  // namespace

size_t GridMesh::triangleCount() const {
  if (cols <= 0 || rows <= 0)
    return 0;
  return 2 * static_cast<size_t>(cols) * static_cast<size_t>(rows);
}

size_t WriteGridTriangles(const GridMesh& grid, triangle* out, size_t limit) {
  const size_t count = std::min(grid.triangleCount(), limit);
  const size_t c = static_cast<size_t>(grid.cols);
  const vecNor* v = grid.vecNors.data();
  const A_FloatPoint* t = grid.texture.data();
  const std::vector<point3>& faces = grid.faceNormals;
  // Cells whose two triangles both have their own face normal, the whole grid as a rule, go
  // without the checks of the general case.
  const size_t own = std::min(count, faces.size()) & ~size_t{1};
  size_t n = 0;
  for (size_t r = 0; n < own; ++r) {
    for (size_t k = r * (c + 1), end = k + c; k < end && n < own; ++k, n += 2) {
      const size_t bl = k + c + 1;
      const size_t br = k + c + 2;
      SetTriangle(out[n], v, t, k, k + 1, br, faces[n]);
      SetTriangle(out[n + 1], v, t, k, br, bl, faces[n + 1]);
    }
  }
  point3 face = n > 0 ? faces[n - 1] : point3{0, 0, 0};
  auto put = [&](size_t a, size_t b, size_t d) {
    if (n < faces.size())
      face = faces[n];
    SetTriangle(out[n++], v, t, a, b, d, face);
  };
  while (n < count) {
    const size_t cell = n / 2;
    const size_t k = cell / c * (c + 1) + cell % c;
    const size_t bl = k + c + 1;
    const size_t br = k + c + 2;
    put(k, k + 1, br);
    if (n < count)
      put(k, br, bl);
  }
  return count;
}

}  // namespace mask
