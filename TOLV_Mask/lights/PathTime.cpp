#include "TOLV_Mask/lights/PathTime.h"

#include <cstdint>

#include "TOLV_Mask/render/Saturate.h"

using mask::SaturateToLong;

A_Time RowKeyTime(A_Time span, A_long k, A_long n, bool depthRises) {
  if (n < 2)
    return {0, span.scale};
  if (depthRises)
    return {SaturateToLong(static_cast<int64_t>(span.value) * k / (n - 1)), span.scale};
  const float q = static_cast<float>(k) / static_cast<float>(n - 1);
  // k lies in 0 .. n - 1, so the product lies between 0 and span.value and fits.
  return {static_cast<A_long>(static_cast<double>(span.value) * (1 - q)), span.scale};
}
