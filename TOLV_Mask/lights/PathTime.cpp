#include "TOLV_Mask/lights/PathTime.h"

#include <cstdint>
#include <limits>

namespace {

A_long Saturate(int64_t v) {
  if (v > std::numeric_limits<A_long>::max())
    return std::numeric_limits<A_long>::max();
  if (v < std::numeric_limits<A_long>::min())
    return std::numeric_limits<A_long>::min();
  return static_cast<A_long>(v);
}

}  // namespace

A_Time PathSpan(A_Time duration, A_Time frame) {
  if (frame.scale == 0)
    return {0, duration.scale};
  const int64_t frameTicks = static_cast<int64_t>(frame.value) *
                             static_cast<int64_t>(duration.scale) /
                             static_cast<int64_t>(frame.scale);
  return {Saturate(static_cast<int64_t>(duration.value) - frameTicks), duration.scale};
}

A_Time RowKeyTime(A_Time span, A_long k, A_long n, bool depthRises) {
  if (n < 2)
    return {0, span.scale};
  if (depthRises)
    return {Saturate(static_cast<int64_t>(span.value) * k / (n - 1)), span.scale};
  const float q = static_cast<float>(k) / static_cast<float>(n - 1);
  // k lies in 0 .. n - 1, so the product lies between 0 and span.value and fits.
  return {static_cast<A_long>(static_cast<double>(span.value) * (1 - q)), span.scale};
}
