// Conversions to whole numbers that are defined for every input: a value beyond the range of the
// target gives its nearest end and NaN gives 0, where a plain cast would be undefined.
#pragma once

#include <cstdint>
#include <limits>

#include "A.h"

namespace mask {

inline A_long SaturateToLong(double v) {
  if (v != v)
    return 0;
  if (v >= static_cast<double>(std::numeric_limits<A_long>::max()))
    return std::numeric_limits<A_long>::max();
  if (v <= static_cast<double>(std::numeric_limits<A_long>::min()))
    return std::numeric_limits<A_long>::min();
  return static_cast<A_long>(v);
}

inline A_long SaturateToLong(int64_t v) {
  if (v > std::numeric_limits<A_long>::max())
    return std::numeric_limits<A_long>::max();
  if (v < std::numeric_limits<A_long>::min())
    return std::numeric_limits<A_long>::min();
  return static_cast<A_long>(v);
}

}  // namespace mask
