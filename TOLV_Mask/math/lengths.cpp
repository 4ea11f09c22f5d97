#include "TOLV_Mask/math/lengths.h"

#include <cmath>

#include "TOLV_Mask/math/vector3.h"
#include "TOLV_Mask/math/wide_clones.h"

namespace {

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 35))
// From 2.35 on, glibc's hypotf is the double square root of the double sum of squares, narrowed
// once to float, for any argument that is not NaN. Written out, it vectorises.
constexpr bool kHypotfIsDoubleSqrt = true;
#else
constexpr bool kHypotfIsDoubleSqrt = false;
#endif

float hypotfInDouble(float x, float y) {
  return static_cast<float>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
}

}  // namespace

// With a NaN among the arguments hypotf may answer infinity, so those few go through it.
TOLV_WIDE_CLONES void vecLengths(const float* __restrict x, const float* __restrict y,
                                 const float* __restrict z, size_t n, float* __restrict length) {
  if (!kHypotfIsDoubleSqrt) {
    for (size_t i = 0; i < n; ++i)
      length[i] = vecLength({x[i], y[i], z[i]});
    return;
  }
  int nans = 0;
  for (size_t i = 0; i < n; ++i) {
    length[i] = hypotfInDouble(hypotfInDouble(x[i], y[i]), z[i]);
    nans |= length[i] != length[i];
  }
  if (!nans)
    return;
  for (size_t i = 0; i < n; ++i) {
    if (std::isnan(length[i]))
      length[i] = vecLength({x[i], y[i], z[i]});
  }
}
