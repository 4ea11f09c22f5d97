// Rotation matrices: element placement, product order and exact values against the cosines and
// sines written out.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TOLV_Mask/math/rotate.h"

namespace {

constexpr float kDegree = 65536.0f;

struct CS {
  double c, s;
};

CS cs(float angle) {
  const float theta = static_cast<float>(static_cast<double>(angle) * 2.663161090079238e-7);
  return {cosf(theta), sinf(theta)};
}

struct Point {
  double x, y, z;
};

// Row vector times matrix, translation in row 3.
Point transform(const A_Matrix4& m, Point p) {
  return {p.x * m.mat[0][0] + p.y * m.mat[1][0] + p.z * m.mat[2][0] + m.mat[3][0],
          p.x * m.mat[0][1] + p.y * m.mat[1][1] + p.z * m.mat[2][1] + m.mat[3][1],
          p.x * m.mat[0][2] + p.y * m.mat[1][2] + p.z * m.mat[2][2] + m.mat[3][2]};
}

void expectPoint(Point p, double x, double y, double z) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.z, z);
}

void expectMatrix(const A_Matrix4& m, const double (&expected)[4][4]) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j)
      EXPECT_EQ(m.mat[i][j], expected[i][j]) << "[" << i << "][" << j << "]";
  }
}

A_Matrix4 translation(double tx, double ty, double tz) {
  A_Matrix4 m = IdentityMatrix4();
  m.mat[3][0] = tx;
  m.mat[3][1] = ty;
  m.mat[3][2] = tz;
  return m;
}

TEST(AxisRotationMatrices, PlaceCosinesAndSines) {
  const AxisRotations r = AxisRotationMatrices(10 * kDegree, 20 * kDegree, 30 * kDegree);
  const CS x = cs(10 * kDegree), y = cs(20 * kDegree), z = cs(30 * kDegree);
  const double rx[4][4] = {{1, 0, 0, 0}, {0, x.c, x.s, 0}, {0, -x.s, x.c, 0}, {0, 0, 0, 1}};
  const double ry[4][4] = {{y.c, 0, -y.s, 0}, {0, 1, 0, 0}, {y.s, 0, y.c, 0}, {0, 0, 0, 1}};
  const double rz[4][4] = {{z.c, -z.s, 0, 0}, {z.s, z.c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  expectMatrix(r.x, rx);
  expectMatrix(r.y, ry);
  expectMatrix(r.z, rz);
}

TEST(AxisRotationMatrices, AngleIsNarrowedToFloatBeforeCosine) {
  // 16.16 degrees in, radians as float; 1° gives the float nearest π/180.
  const AxisRotations r = AxisRotationMatrices(kDegree, 0, 0);
  const float theta = static_cast<float>(65536.0 * 2.663161090079238e-7);
  EXPECT_EQ(r.x.mat[1][1], static_cast<double>(cosf(theta)));
  EXPECT_EQ(r.x.mat[1][2], static_cast<double>(sinf(theta)));
}

TEST(MultiplyMatrix4, LeftFactorAppliesFirst) {
  A_Matrix4 scale = IdentityMatrix4();
  scale.mat[0][0] = 2;
  const A_Matrix4 move = translation(5, 0, 0);
  expectPoint(transform(MultiplyMatrix4(move, scale), {1, 0, 0}), 12, 0, 0);
  expectPoint(transform(MultiplyMatrix4(scale, move), {1, 0, 0}), 7, 0, 0);
}

TEST(RotateMatrix4, ZeroAnglesLeaveTheMatrixUnchanged) {
  A_Matrix4 m;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j)
      m.mat[i][j] = 1.5 * i - 0.25 * j + 0.125;
  }
  const A_Matrix4 before = m;
  RotateMatrix4(&m, 0, 0, 0);
  EXPECT_EQ(std::memcmp(&m, &before, sizeof m), 0);
}

TEST(RotateMatrix4, QuarterTurnAboutX) {
  A_Matrix4 m = IdentityMatrix4();
  RotateMatrix4(&m, 90 * kDegree, 0, 0);
  const CS x = cs(90 * kDegree);
  expectPoint(transform(m, {0, 1, 0}), 0, x.c, x.s);
  EXPECT_EQ(x.s, 1.0);
  EXPECT_LT(std::abs(x.c), 1e-7);
}

TEST(RotateMatrix4, QuarterTurnAboutZTurnsLeftHanded) {
  A_Matrix4 m = IdentityMatrix4();
  RotateMatrix4(&m, 0, 0, 90 * kDegree);
  const CS z = cs(90 * kDegree);
  expectPoint(transform(m, {1, 0, 0}), z.c, -z.s, 0);
}

TEST(RotateMatrix4, QuarterTurnAboutY) {
  A_Matrix4 m = IdentityMatrix4();
  RotateMatrix4(&m, 0, 90 * kDegree, 0);
  const CS y = cs(90 * kDegree);
  expectPoint(transform(m, {1, 0, 0}), y.c, 0, -y.s);
}

TEST(RotateMatrix4, CallersTranslationIsRotatedToo) {
  A_Matrix4 m = translation(3, 5, 7);
  RotateMatrix4(&m, 0, 180 * kDegree, 0);
  const CS y = cs(180 * kDegree);
  EXPECT_EQ(y.c, -1.0);
  expectPoint(transform(m, {0, 0, 0}), 3 * y.c + 7 * y.s, 5, 3 * -y.s + 7 * y.c);
}

TEST(RotateMatrix4, XIsAppliedBeforeY) {
  A_Matrix4 m = IdentityMatrix4();
  RotateMatrix4(&m, 90 * kDegree, 90 * kDegree, 0);
  const CS x = cs(90 * kDegree), y = cs(90 * kDegree);
  // (0, 1, 0) → (0, cx, sx) about X → (sx·sy, cx, sx·cy) about Y ≈ (1, 0, 0).
  expectPoint(transform(m, {0, 1, 0}), x.s * y.s, x.c, x.s * y.c);
}

TEST(RotateMatrix4, AllThreeAxesAfterATranslation) {
  const float ax = 30 * kDegree, ay = -45.5f * kDegree, az = 123.25f * kDegree;
  const CS x = cs(ax), y = cs(ay), z = cs(az);
  // Rx·Ry, then ·Rz, each element summed in the order of the product.
  const double r[3][3] = {
      {y.c * z.c, y.c * -z.s, -y.s},
      {x.s * y.s * z.c + x.c * z.s, x.s * y.s * -z.s + x.c * z.c, x.s * y.c},
      {x.c * y.s * z.c + -x.s * z.s, x.c * y.s * -z.s + -x.s * z.c, x.c * y.c},
  };
  const double tx = -12.5, ty = 40.25, tz = 3;
  double expected[4][4] = {{0}};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j)
      expected[i][j] = r[i][j];
  }
  for (int j = 0; j < 3; ++j)
    expected[3][j] = tx * r[0][j] + ty * r[1][j] + tz * r[2][j];
  expected[3][3] = 1;
  A_Matrix4 m = translation(tx, ty, tz);
  RotateMatrix4(&m, ax, ay, az);
  expectMatrix(m, expected);
}

}  // namespace
