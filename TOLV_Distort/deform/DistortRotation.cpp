#include "TOLV_Distort/deform/DistortRotation.h"

#include "TOLV_Mask/math/rotate.h"

A_Matrix4 DistortRotationProduct(float a, float b, float c) {
  const AxisRotations axes = AxisRotationMatrices(a, b, c);
  return MultiplyMatrix4(MultiplyMatrix4(axes.z, axes.y), axes.x);
}

void DistortRotate(A_Matrix4* m, float a, float b, float c) {
  *m = MultiplyMatrix4(*m, DistortRotationProduct(a, b, c));
}
