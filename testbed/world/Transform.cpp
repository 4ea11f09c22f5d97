#include "testbed/world/Transform.h"

#include <cmath>

namespace tb {
namespace {

constexpr double kDegrees = M_PI / 180.0;

A_FloatPoint3 lerp(A_FloatPoint3 a, A_FloatPoint3 b, double t) {
  return A_FloatPoint3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

A_Matrix4 translation(A_FloatPoint3 d) {
  A_Matrix4 m = identityMatrix();
  m.mat[3][0] = d.x;
  m.mat[3][1] = d.y;
  m.mat[3][2] = d.z;
  return m;
}

A_Matrix4 scaling(A_FloatPoint3 percent) {
  A_Matrix4 m = identityMatrix();
  m.mat[0][0] = percent.x / 100.0;
  m.mat[1][1] = percent.y / 100.0;
  m.mat[2][2] = percent.z / 100.0;
  return m;
}

// Rotation in the plane of axes a and b, turning a towards b. With y pointing down the screen,
// a positive z rotation turns clockwise, as the host shows it.
A_Matrix4 planeRotation(int a, int b, double degrees) {
  A_Matrix4 m = identityMatrix();
  if (degrees == 0.0) {
    return m;
  }
  const double c = std::cos(degrees * kDegrees);
  const double s = std::sin(degrees * kDegrees);
  m.mat[a][a] = c;
  m.mat[a][b] = s;
  m.mat[b][a] = -s;
  m.mat[b][b] = c;
  return m;
}

}  // namespace

A_FloatPoint3 positionAt(const Transform& t, double seconds) {
  A_FloatPoint3 before = t.position;
  double beforeTime = 0.0;
  for (const PositionKey& key : t.positionKeys) {
    if (seconds < key.time) {
      if (seconds <= beforeTime) {
        return before;
      }
      return lerp(before, key.value, (seconds - beforeTime) / (key.time - beforeTime));
    }
    before = key.value;
    beforeTime = key.time;
  }
  return before;
}

A_Matrix4 identityMatrix() {
  A_Matrix4 m{};
  for (int i = 0; i < 4; ++i) {
    m.mat[i][i] = 1.0;
  }
  return m;
}

A_Matrix4 multiply(const A_Matrix4& a, const A_Matrix4& b) {
  A_Matrix4 m{};
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) {
        sum += a.mat[r][k] * b.mat[k][c];
      }
      m.mat[r][c] = sum;
    }
  }
  return m;
}

A_FloatPoint3 transformPoint(A_FloatPoint3 p, const A_Matrix4& m) {
  const double in[4] = {p.x, p.y, p.z, 1.0};
  double out[3] = {0, 0, 0};
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < 4; ++k) {
      out[c] += in[k] * m.mat[k][c];
    }
  }
  return A_FloatPoint3{out[0], out[1], out[2]};
}

A_Matrix4 localMatrix(const Transform& t, double seconds) {
  const A_FloatPoint3 minusAnchor{-t.anchor.x, -t.anchor.y, -t.anchor.z};
  A_Matrix4 m = multiply(translation(minusAnchor), scaling(t.scale));
  m = multiply(m, planeRotation(1, 2, t.rotation.x));
  m = multiply(m, planeRotation(2, 0, t.rotation.y));
  m = multiply(m, planeRotation(0, 1, t.rotation.z));
  return multiply(m, translation(positionAt(t, seconds)));
}

A_Matrix4 layerToWorld(const std::vector<const Transform*>& chain, double seconds) {
  A_Matrix4 m = identityMatrix();
  for (const Transform* t : chain) {
    m = multiply(m, localMatrix(*t, seconds));
  }
  return m;
}

}  // namespace tb
