#include "TOLV_Distort/deform/DeformValues.h"

#include <cmath>

namespace {

// The single-precision 0.01, widened: percent controls become fractions with exactly this factor.
constexpr double kPercent = static_cast<double>(0.01f);

double Pixels(PF_Fixed value, A_long den) {
  return value / 65536.0 * den;
}

// A factor of 0 would flatten the mesh for good and make the direction factor infinite; anything
// closer to 0 than 1e-5 is pushed out to 1e-5 with its sign, 0 counting as positive.
float ScaleFactor(double percent) {
  const float s = static_cast<float>(percent * kPercent);
  if (std::fabs(s) < 1e-5f)
    return s < 0.0f ? -1e-5f : 1e-5f;
  return s;
}

}  // namespace

DeformValues MakeDeformValues(const DeformInputs& in) {
  DeformValues v{};
  v.ax = Pixels(in.anchorX, in.downsampleXDen);
  v.ay = Pixels(in.anchorY, in.downsampleYDen);
  v.az = in.anchorZ;
  v.px = Pixels(in.positionX, in.downsampleXDen);
  v.py = Pixels(in.positionY, in.downsampleYDen);
  v.pz = in.positionZ;
  v.sx = ScaleFactor(in.scaleX);
  v.sy = ScaleFactor(in.scaleY);
  v.sz = ScaleFactor(in.scaleZ);
  // Directions take the inverse scale so that normals stay normal to the scaled surface; a mirror
  // (an odd number of negative factors) turns them round as well.
  const float sigma = v.sx * v.sy * v.sz >= 0.0f ? 1.0f : -1.0f;
  v.nx = sigma / v.sx;
  v.ny = sigma / v.sy;
  v.nz = sigma / v.sz;
  // Negated in float: the integer negation of the most negative value would overflow.
  v.rx = -static_cast<float>(in.rotationX);
  v.ry = -static_cast<float>(in.rotationY);
  v.rz = -static_cast<float>(in.rotationZ);
  v.tL = -static_cast<float>(in.twistLeft);
  v.tR = -static_cast<float>(in.twistRight);
  v.tU = -static_cast<float>(in.twistUp);
  v.tD = -static_cast<float>(in.twistDown);
  v.tF = -static_cast<float>(in.twistFront);
  v.tB = -static_cast<float>(in.twistBack);
  v.gX = static_cast<float>(in.twistXRange * kPercent);
  v.gY = static_cast<float>(in.twistYRange * kPercent);
  v.gZ = static_cast<float>(in.twistZRange * kPercent);
  v.bH = static_cast<float>(in.bendHorizontal);
  v.bV = static_cast<float>(in.bendVertical);
  v.e = static_cast<float>(in.explode);
  v.fromCenter = in.explodeMode == 2;
  v.width = in.width;
  v.height = in.height;
  return v;
}
