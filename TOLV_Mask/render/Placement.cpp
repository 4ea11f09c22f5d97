#include "TOLV_Mask/render/Placement.h"

#include <cmath>
#include <cstdint>

#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/render/Saturate.h"

namespace mask {

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kTwoPi = 6.283185307179586;
// Radians to degrees as the angles have always been turned; not 180/π to full precision.
constexpr double kDegreesPerRadian = 57.295779513082;
constexpr double kHostAngleUnits = 65536.0;

float hostAngle(float radians, float rotation) {
  return static_cast<float>(static_cast<double>(radians) * kDegreesPerRadian * kHostAngleUnits +
                            static_cast<double>(rotation));
}

}  // namespace

A_Time PathSpan(A_Time duration, A_Time frame) {
  if (frame.scale == 0)
    return {0, duration.scale};
  const int64_t frameTicks = static_cast<int64_t>(frame.value) *
                             static_cast<int64_t>(duration.scale) /
                             static_cast<int64_t>(frame.scale);
  return {SaturateToLong(static_cast<int64_t>(duration.value) - frameTicks), duration.scale};
}

A_Time LightTime(A_Time pathSpan, A_long i, A_long count) {
  if (count < 2)
    return {0, pathSpan.scale};
  const float ticks = static_cast<float>(static_cast<int64_t>(pathSpan.value) * i);
  return {SaturateToLong(static_cast<double>(ticks / static_cast<float>(count - 1))),
          pathSpan.scale};
}

A_Time NeighbourTime(A_Time t, bool last) {
  return {SaturateToLong(static_cast<int64_t>(t.value) + (last ? -1 : 1)), t.scale};
}

Orientation OrientOnPath(const double here[3], const double neighbour[3], bool last) {
  double d[3];
  for (int k = 0; k < 3; ++k)
    d[k] = last ? here[k] - neighbour[k] : neighbour[k] - here[k];
  const float dx = static_cast<float>(d[0]);
  const float dy = static_cast<float>(d[1]);
  const float dz = static_cast<float>(d[2]);
  Orientation o;
  o.yaw = static_cast<float>(std::fmod(static_cast<double>(atan2f(dz, dx)) - kHalfPi, kTwoPi));
  o.pitch = static_cast<float>(std::fmod(static_cast<double>(atan2f(dy, dz)), kTwoPi));
  return o;
}

A_Matrix4 PlacementMatrix(A_long width, A_long height, const MaskPose& pose) {
  A_Matrix4 m = IdentityMatrix4();
  m.mat[3][0] = -static_cast<double>(width) * 0.5;
  m.mat[3][1] = -static_cast<double>(height) * 0.5;
  m.mat[3][2] = static_cast<double>(pose.z);
  RotateMatrix4(&m, hostAngle(pose.orientation.pitch, pose.rotationX),
                hostAngle(pose.orientation.yaw, pose.rotationY), pose.rotationZ);
  m.mat[3][0] += static_cast<double>(pose.cx);
  m.mat[3][1] += static_cast<double>(pose.cy);
  m.mat[3][2] += -static_cast<double>(pose.z);
  return m;
}

point3 TransformPoint(double x, double y, double z, const A_Matrix4& m) {
  return {static_cast<float>(x * m.mat[0][0] + y * m.mat[1][0] + z * m.mat[2][0] + m.mat[3][0]),
          static_cast<float>(x * m.mat[0][1] + y * m.mat[1][1] + z * m.mat[2][1] + m.mat[3][1]),
          static_cast<float>(x * m.mat[0][2] + y * m.mat[1][2] + z * m.mat[2][2] + m.mat[3][2])};
}

}  // namespace mask
