#include "TOLV_Mask/math/lengths.h"

#include <algorithm>
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

namespace {

constexpr size_t kChunk = 512;

// A length of 0 only comes from a vector of zeros, which is divided by 1 instead and so stays as it
// is.
TOLV_WIDE_CLONES void divide(float* __restrict x, float* __restrict y, float* __restrict z,
                             const float* __restrict length, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const float divisor = length[i] == 0.0f ? 1.0f : length[i];
    x[i] /= divisor;
    y[i] /= divisor;
    z[i] /= divisor;
  }
}

}  // namespace

void vecNormaliseComponents(float* x, float* y, float* z, size_t n) {
  float length[kChunk];
  for (size_t base = 0; base < n; base += kChunk) {
    const size_t k = std::min(kChunk, n - base);
    vecLengths(x + base, y + base, z + base, k, length);
    divide(x + base, y + base, z + base, length, k);
  }
}

void vecNormaliseEach(point3* v, size_t n) {
  float x[kChunk], y[kChunk], z[kChunk];
  for (size_t base = 0; base < n; base += kChunk) {
    const size_t k = std::min(kChunk, n - base);
    for (size_t i = 0; i < k; ++i) {
      x[i] = v[base + i].x;
      y[i] = v[base + i].y;
      z[i] = v[base + i].z;
    }
    vecNormaliseComponents(x, y, z, k);
    for (size_t i = 0; i < k; ++i)
      v[base + i] = {x[i], y[i], z[i]};
  }
}
