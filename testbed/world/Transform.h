// Layer transforms and the layer-to-world matrix the Layer suite hands out. Matrices are row-major
// with points as row vectors and the translation in the last row: p' = p · M.
#pragma once

#include <vector>

#include "A.h"

namespace tb {

struct PositionKey {
  double time = 0;  // seconds of composition time, > 0
  A_FloatPoint3 value{0, 0, 0};
};

// `position` holds at time 0; keys, in increasing time, move it linearly between them and hold
// the nearest value outside them. Scale is in percent, rotation in degrees about x, then y, then z.
struct Transform {
  A_FloatPoint3 anchor{0, 0, 0};
  A_FloatPoint3 position{0, 0, 0};
  A_FloatPoint3 scale{100, 100, 100};
  A_FloatPoint3 rotation{0, 0, 0};
  std::vector<PositionKey> positionKeys;
};

A_FloatPoint3 positionAt(const Transform& t, double seconds);

A_Matrix4 identityMatrix();

// a then b: p · (a · b) = (p · a) · b.
A_Matrix4 multiply(const A_Matrix4& a, const A_Matrix4& b);

A_FloatPoint3 transformPoint(A_FloatPoint3 p, const A_Matrix4& m);

// The layer's own matrix: minus anchor, scale, rotate x, y, z, then position.
A_Matrix4 localMatrix(const Transform& t, double seconds);

// `chain` is the layer first, then its parent, its parent's parent and so on.
A_Matrix4 layerToWorld(const std::vector<const Transform*>& chain, double seconds);

}  // namespace tb
