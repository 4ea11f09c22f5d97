// Rotations about the three axes as host 4×4 matrices. Row-major; points are row vectors with the
// translation in row 3, so in a product A·B the point goes through A first.
//
// Angles are the host's 16.16 fixed-point degrees (degrees × 65536) carried in float.
#pragma once

#include "A.h"

// The three single-axis rotations of one set of angles.
struct AxisRotations {
  A_Matrix4 x;
  A_Matrix4 y;
  A_Matrix4 z;
};

A_Matrix4 IdentityMatrix4();

// a·b in double.
A_Matrix4 MultiplyMatrix4(const A_Matrix4& a, const A_Matrix4& b);

// Rx, Ry and Rz for the angles. X and Y turn in the right-handed sense, Z the other way.
AxisRotations AxisRotationMatrices(float ax, float ay, float az);

// m := m·Rx·Ry·Rz: a point goes through m as it stood, then about X, then Y, then Z.
void RotateMatrix4(A_Matrix4* m, float ax, float ay, float az);
