#include "TOLV_Mask/render/GridTriangles.h"

namespace mask {

size_t GridVertexCount(A_long cols, A_long rows) {
  if (cols < 0 || rows < 0)
    return 0;
  return (static_cast<size_t>(cols) + 1) * (static_cast<size_t>(rows) + 1);
}

namespace {

void SetTriangle(triangle& tri, const std::vector<vecNor>& v, const std::vector<A_FloatPoint>& t,
                 size_t a, size_t b, size_t c, const point3& face) {
  tri.vertexA = v[a].pos;
  tri.vertexB = v[b].pos;
  tri.vertexC = v[c].pos;
  tri.faceNormal = face;
  tri.normalA = v[a].nor;
  tri.normalB = v[b].nor;
  tri.normalC = v[c].nor;
  tri.uvA = t[a];
  tri.uvB = t[b];
  tri.uvC = t[c];
  tri.reserved = 0;
}

}  // namespace

void AppendGridTriangles(A_long cols, A_long rows, const std::vector<vecNor>& vecNors,
                         const std::vector<A_FloatPoint>& texture,
                         const std::vector<point3>& faceNormals, std::vector<triangle>& triangles) {
  if (cols < 0 || rows < 0)
    return;
  const size_t c = static_cast<size_t>(cols);
  const size_t first = triangles.size();
  triangles.resize(first + 2 * c * static_cast<size_t>(rows));
  triangle* out = triangles.data() + first;
  point3 face = {0, 0, 0};
  size_t n = 0;
  for (A_long r = 0; r < rows; ++r) {
    for (size_t k = static_cast<size_t>(r) * (c + 1), end = k + c; k < end; ++k) {
      const size_t bl = k + c + 1;
      const size_t br = k + c + 2;
      if (n < faceNormals.size())
        face = faceNormals[n];
      SetTriangle(*out++, vecNors, texture, k, k + 1, br, face);
      ++n;
      if (n < faceNormals.size())
        face = faceNormals[n];
      SetTriangle(*out++, vecNors, texture, k, br, bl, face);
      ++n;
    }
  }
}

}  // namespace mask
