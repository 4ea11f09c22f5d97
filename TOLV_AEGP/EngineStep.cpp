#include "TOLV_AEGP/EngineStep.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr int64_t kMinValue = std::numeric_limits<A_long>::min();
constexpr int64_t kMaxValue = std::numeric_limits<A_long>::max();

A_long Saturate(int64_t v) {
  return static_cast<A_long>(std::clamp(v, kMinValue, kMaxValue));
}

}  // namespace

A_long RescaleTimeValue(A_long value, A_u_long from, A_u_long to) {
  const float scaled =
      static_cast<float>(value) * static_cast<float>(to) / static_cast<float>(from);
  // Compared as floats so that a value beyond A_long saturates instead of converting out of range;
  // 2^31 is exact in single precision, its neighbour below is not.
  if (scaled >= 2147483648.0f)
    return std::numeric_limits<A_long>::max();
  if (scaled < -2147483648.0f)
    return std::numeric_limits<A_long>::min();
  return static_cast<A_long>(scaled);
}

EngineStep PlanEngineStep(A_Time now, A_Time start, A_Time span, A_Time frame) {
  if (now.scale == 0 || start.scale == 0 || span.scale == 0 || frame.scale == 0)
    return {EngineStepKind::kWait, now};
  const A_u_long scale = std::max(start.scale, span.scale);
  const int64_t at = RescaleTimeValue(now.value, now.scale, scale);
  // The end is summed wide and held within A_long, so that a time saturated at the top of the range
  // counts as reaching it.
  const int64_t end =
      std::min(static_cast<int64_t>(RescaleTimeValue(start.value, start.scale, scale)) +
                   RescaleTimeValue(span.value, span.scale, scale),
               kMaxValue);
  if (at < end) {
    // A frame that truncates to nothing at the larger scale would never reach the end: step at
    // least one unit.
    const int64_t step = std::max<int64_t>(RescaleTimeValue(frame.value, frame.scale, scale), 1);
    return {EngineStepKind::kAdvance, {Saturate(at + step), scale}};
  }
  return {EngineStepKind::kFinish, {0, scale}};
}
