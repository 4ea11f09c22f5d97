// The small arithmetic steps of the deformers, inline because they run for every vector.
#pragma once

#include <algorithm>

#include "A.h"
#include "common/MeshSlot.h"

// (x, y, z, 1)·m in double, no perspective divide, stored as float.
inline point3 TransformVector(double x, double y, double z, const A_Matrix4& m) {
  const auto& a = m.mat;
  return {static_cast<float>(x * a[0][0] + y * a[1][0] + z * a[2][0] + a[3][0]),
          static_cast<float>(x * a[0][1] + y * a[1][1] + z * a[2][1] + a[3][1]),
          static_cast<float>(x * a[0][2] + y * a[1][2] + z * a[2][2] + a[3][2])};
}

inline A_Matrix4 Scaling(double x, double y, double z) {
  A_Matrix4 m{};
  m.mat[0][0] = x;
  m.mat[1][1] = y;
  m.mat[2][2] = z;
  m.mat[3][3] = 1.0;
  return m;
}

// Where a coordinate lies along a twist's extent, as the blend weight between its two angles: 0 at
// the low end, 1 at the high end, the ramp narrowed or widened about the middle by the range.
// A layer without width or height has no position along the axis; the weight is 0 there rather
// than a division by zero.
inline float TwistWeight(float coordinate, double lo, double span, float range) {
  if (span == 0.0)
    return 0.0f;
  double w = (coordinate - lo) / span;
  w = (w - 0.5) / std::clamp<double>(range, 0.001, 10.0) + 0.5;
  return static_cast<float>(std::clamp(w, 0.0, 1.0));
}

inline point3 Centroid(const triangle& t) {
  return {(t.vertexA.x + t.vertexB.x + t.vertexC.x) / 3.0f,
          (t.vertexA.y + t.vertexB.y + t.vertexC.y) / 3.0f,
          (t.vertexA.z + t.vertexB.z + t.vertexC.z) / 3.0f};
}
