// Small single-precision vector operations on point3, shared by the normals and the render phases.
// Inline because they sit in the innermost loops of the mesh builders.
#pragma once

#include <cmath>

#include "common/point3.h"

inline float vecLength(const point3& v) {
  return hypotf(hypotf(v.x, v.y), v.z);
}

// A zero vector stays zero rather than turning into NaNs.
inline void vecNormalise(point3& v) {
  const float length = vecLength(v);
  if (length == 0.0f)
    return;
  v.x /= length;
  v.y /= length;
  v.z /= length;
}

// (b − a) × (c − a), the normal of a triangle at twice its area.
inline point3 edgeCross(const point3& a, const point3& b, const point3& c) {
  const point3 u{b.x - a.x, b.y - a.y, b.z - a.z};
  const point3 w{c.x - a.x, c.y - a.y, c.z - a.z};
  return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}

// Unit normal of (b − a) × (c − a); (0, 0, 0) for a triangle without area.
inline point3 triangleNormal(const point3& a, const point3& b, const point3& c) {
  point3 n = edgeCross(a, b, c);
  vecNormalise(n);
  return n;
}
