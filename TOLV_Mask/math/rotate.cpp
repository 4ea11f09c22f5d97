#include "TOLV_Mask/math/rotate.h"

#include <cmath>

namespace {

// π / (180 · 65536): host angle units to radians.
constexpr double kAngleToRadians = 2.663161090079238e-7;

struct CosSin {
  double c;
  double s;
};

// The angle is narrowed to float before the single-precision cosine and sine.
CosSin cosSin(float angle) {
  const float theta = static_cast<float>(static_cast<double>(angle) * kAngleToRadians);
  return {cosf(theta), sinf(theta)};
}

}  // namespace

A_Matrix4 IdentityMatrix4() {
  A_Matrix4 m{};
  for (int i = 0; i < 4; ++i)
    m.mat[i][i] = 1.0;
  return m;
}

A_Matrix4 MultiplyMatrix4(const A_Matrix4& a, const A_Matrix4& b) {
  A_Matrix4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.mat[i][j] = a.mat[i][0] * b.mat[0][j] + a.mat[i][1] * b.mat[1][j] +
                    a.mat[i][2] * b.mat[2][j] + a.mat[i][3] * b.mat[3][j];
    }
  }
  return r;
}

AxisRotations AxisRotationMatrices(float ax, float ay, float az) {
  AxisRotations r{IdentityMatrix4(), IdentityMatrix4(), IdentityMatrix4()};
  const CosSin x = cosSin(ax);
  r.x.mat[1][1] = x.c;
  r.x.mat[1][2] = x.s;
  r.x.mat[2][1] = -x.s;
  r.x.mat[2][2] = x.c;
  const CosSin y = cosSin(ay);
  r.y.mat[0][0] = y.c;
  r.y.mat[0][2] = -y.s;
  r.y.mat[2][0] = y.s;
  r.y.mat[2][2] = y.c;
  const CosSin z = cosSin(az);
  r.z.mat[0][0] = z.c;
  r.z.mat[0][1] = -z.s;
  r.z.mat[1][0] = z.s;
  r.z.mat[1][1] = z.c;
  return r;
}

void RotateMatrix4(A_Matrix4* m, float ax, float ay, float az) {
  const AxisRotations axes = AxisRotationMatrices(ax, ay, az);
  A_Matrix4 r = IdentityMatrix4();
  r = MultiplyMatrix4(r, axes.x);
  r = MultiplyMatrix4(r, axes.y);
  r = MultiplyMatrix4(r, axes.z);
  *m = MultiplyMatrix4(*m, r);
}
