#include "TOLV_Mask/math/interpolate.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// Half of each neighbour difference, the halves taken in double and the first one narrowed to
// float before the sum.
float tangent(float before, float after, float k) {
  const float first = static_cast<float>(0.5 * static_cast<double>(before * k));
  return static_cast<float>(static_cast<double>(first) + 0.5 * static_cast<double>(after * k));
}

}  // namespace

float Interpolate(float a, float b, float t, unsigned char cosine) {
  if (!cosine)
    return LinearInterpolate(a, b, t);
  const float x = static_cast<float>(static_cast<double>(t) * kPi);
  return LinearInterpolate(a, b, (1.0f - cosf(x)) * 0.5f);
}

float HermiteInterpolate(float y0, float y1, float y2, float y3, float mu, float tension) {
  const float mu2 = mu * mu;
  const float mu3 = mu2 * mu;
  const float k = 1.0f - tension;
  const float m0 = tangent(y1 - y0, y2 - y1, k);
  const float m1 = tangent(y2 - y1, y3 - y2, k);
  const float a0 = 2.0f * mu3 - 3.0f * mu2 + 1.0f;
  const float a1 = mu3 - 2.0f * mu2 + mu;
  const float a2 = mu3 - mu2;
  const float a3 = -2.0f * mu3 + 3.0f * mu2;
  return a0 * y1 + a1 * m0 + a2 * m1 + a3 * y2;
}
