#include "TOLV_Mask/render/Caps.h"

#include <algorithm>

#include "TOLV_Mask/math/lengths.h"
#include "TOLV_Mask/math/triangulate.h"
#include "TOLV_Mask/math/vector3.h"
#include "TOLV_Mask/render/MeshSettings.h"

namespace mask {

namespace {

void AddTo(point3& sum, const point3& n) {
  sum.x += n.x;
  sum.y += n.y;
  sum.z += n.z;
}

// Each corner carries the normalised sum of the unit normals of the triangles around it.
std::vector<triangle> EarCap(const CapInput& cap, const std::vector<int>& indices) {
  const size_t rowSize = cap.row.points.size();
  const std::vector<vecNor>& v = cap.vecNors;
  const size_t count = indices.size() / 3;
  auto at = [&](size_t t, int corner) { return cap.base + indices[3 * t + corner]; };
  // Each triangle's unit normal as triangleNormal gives it, worked out all at once; the record's
  // face normal is that normalised once more, as every face normal of the mesh is.
  std::vector<point3> unit(count);
  for (size_t t = 0; t < count; ++t)
    unit[t] = edgeCross(v[at(t, 0)].pos, v[at(t, 1)].pos, v[at(t, 2)].pos);
  vecNormaliseEach(unit.data(), count);
  std::vector<point3> faces = unit;
  vecNormaliseEach(faces.data(), count);

  std::vector<point3> corner(rowSize, point3{0, 0, 0});
  for (size_t t = 0; t < count; ++t) {
    for (int k = 0; k < 3; ++k)
      AddTo(corner[indices[3 * t + k]], unit[t]);
  }
  vecNormaliseEach(corner.data(), corner.size());

  std::vector<triangle> triangles(count);
  for (size_t t = 0; t < count; ++t) {
    const size_t a = at(t, 0), b = at(t, 1), c = at(t, 2);
    triangle& tri = triangles[t];
    tri.vertexA = v[a].pos;
    tri.vertexB = v[b].pos;
    tri.vertexC = v[c].pos;
    tri.faceNormal = faces[t];
    tri.normalA = corner[indices[3 * t]];
    tri.normalB = corner[indices[3 * t + 1]];
    tri.normalC = corner[indices[3 * t + 2]];
    tri.uvA = cap.texture[a];
    tri.uvB = cap.texture[b];
    tri.uvC = cap.texture[c];
    tri.reserved = 0;
  }
  return triangles;
}

// The middle of the box around the row's placed points and their texture coordinates.
struct FanCentre {
  point3 pos;
  A_FloatPoint uv;
};

FanCentre BoxCentre(const MaskRow& row) {
  point3 lo = row.points[0], hi = row.points[0];
  A_FloatPoint uvLo = row.uvs[0], uvHi = row.uvs[0];
  for (size_t i = 1; i < row.points.size(); ++i) {
    const point3& p = row.points[i];
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    const A_FloatPoint& t = row.uvs[i];
    uvLo = {std::min(uvLo.x, t.x), std::min(uvLo.y, t.y)};
    uvHi = {std::max(uvHi.x, t.x), std::max(uvHi.y, t.y)};
  }
  auto mid = [](double a, double b) { return static_cast<float>((a + b) / 2); };
  return {{mid(lo.x, hi.x), mid(lo.y, hi.y), mid(lo.z, hi.z)},
          {(uvLo.x + uvHi.x) / 2, (uvLo.y + uvHi.y) / 2}};
}

std::vector<triangle> FanCap(const CapInput& cap) {
  const size_t rowSize = cap.row.points.size();
  const FanCentre centre = BoxCentre(cap.row);
  auto corner = [&](size_t j) { return cap.base + (j + 1) % rowSize; };
  std::vector<point3> faces(rowSize);
  for (size_t j = 0; j < rowSize; ++j)
    faces[j] = edgeCross(cap.vecNors[cap.base + j].pos, cap.vecNors[corner(j)].pos, centre.pos);
  // Normalised twice, as triangleNormal and then the face normal of the record would.
  vecNormaliseEach(faces.data(), rowSize);
  vecNormaliseEach(faces.data(), rowSize);

  std::vector<triangle> triangles(rowSize);
  for (size_t j = 0; j < rowSize; ++j) {
    const size_t a = cap.base + j;
    const size_t b = corner(j);
    triangle& t = triangles[j];
    t.vertexA = cap.vecNors[a].pos;
    t.vertexB = cap.vecNors[b].pos;
    t.vertexC = centre.pos;
    t.faceNormal = t.normalA = t.normalB = t.normalC = faces[j];
    t.uvA = cap.texture[a];
    t.uvB = cap.texture[b];
    t.uvC = centre.uv;
    t.reserved = 0;
  }
  return triangles;
}

bool RowFitsGrid(const CapInput& cap) {
  const size_t rowSize = cap.row.points.size();
  return rowSize > 0 && cap.row.uvs.size() == rowSize && cap.base + rowSize >= cap.base &&
         cap.base + rowSize <= cap.vecNors.size() && cap.base + rowSize <= cap.texture.size();
}

}  // namespace

std::vector<triangle> BuildCap(const CapInput& cap, A_long algorithm, A_u_char& capFillFailed) {
  if (!RowFitsGrid(cap))
    return {};
  std::vector<A_FloatPoint> polygon;
  polygon.reserve(cap.row.points.size());
  for (const point3& p : cap.row.points)
    polygon.push_back({p.x, p.y});
  const std::vector<int> indices = math::tri::triangulate<int>(polygon);
  const bool useFan = algorithm == kFillFan;
  if (indices.size() >= 2 && !useFan)
    return EarCap(cap, indices);
  if (algorithm == kFillEar) {
    capFillFailed = 1;
    return {};
  }
  return FanCap(cap);
}

CapTriangles BuildCaps(A_long fillMasks, A_long algorithm, A_long cols, const RenderState& state,
                       A_u_char& capFillFailed) {
  CapTriangles caps;
  const size_t rowSize = static_cast<size_t>(cols) + 1;
  if (state.maskCount < 2 || cols < 0 || state.vecNors.size() < rowSize)
    return caps;
  if ((fillMasks == kFillLast || fillMasks == kFillLastAndFirst) &&
      state.lastRow.points.size() == rowSize) {
    const CapInput last{state.vecNors, state.texture, state.lastRow,
                        state.vecNors.size() - rowSize};
    caps.back = BuildCap(last, algorithm, capFillFailed);
  }
  if ((fillMasks == kFillFirst || fillMasks == kFillLastAndFirst) &&
      state.firstRow.points.size() == rowSize) {
    const CapInput first{state.vecNors, state.texture, state.firstRow, 0};
    caps.front = BuildCap(first, algorithm, capFillFailed);
    std::reverse(caps.front.begin(), caps.front.end());
  }
  return caps;
}

}  // namespace mask
