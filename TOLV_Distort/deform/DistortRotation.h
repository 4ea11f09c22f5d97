// The distort effect's rotation product: Rz·Ry·Rx, built from the same axis matrices as the mask
// effect's RotateMatrix4 but applied in the opposite order (a vector turns about Z, then Y, then
// X).
#pragma once

#include "A.h"

// Rz(c)·Ry(b)·Rx(a), angles in degrees × 65536.
A_Matrix4 DistortRotationProduct(float a, float b, float c);

// m := m·(Rz·Ry·Rx).
void DistortRotate(A_Matrix4* m, float a, float b, float c);
