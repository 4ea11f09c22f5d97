#include "testbed/world/Time.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace tb {
namespace {

constexpr double kMaxFps = 1000.0;

std::optional<A_long> toLong(int64_t v) {
  if (v < std::numeric_limits<A_long>::min() || v > std::numeric_limits<A_long>::max()) {
    return std::nullopt;
  }
  return static_cast<A_long>(v);
}

// Nearest integer to num / den, halves away from zero; den > 0.
int64_t divideRounded(int64_t num, int64_t den) {
  const int64_t half = den / 2;
  return num >= 0 ? (num + half) / den : -((-num + half) / den);
}

}  // namespace

std::optional<A_u_long> timeScaleForFps(double fps) {
  if (!std::isfinite(fps) || fps <= 0.0 || fps > kMaxFps) {
    return std::nullopt;
  }
  if (fps == std::floor(fps)) {
    return static_cast<A_u_long>(fps);
  }
  const double scale = std::round(fps * kTimeUnitsPerFrame);
  if (scale < 1.0) {
    return std::nullopt;
  }
  return static_cast<A_u_long>(scale);
}

A_Time frameDuration(double fps) {
  const std::optional<A_u_long> scale = timeScaleForFps(fps);
  if (!scale) {
    return A_Time{0, 1};
  }
  return A_Time{fps == std::floor(fps) ? 1 : kTimeUnitsPerFrame, *scale};
}

std::optional<A_Time> secondsToTime(double seconds, A_u_long scale) {
  if (scale == 0 || !std::isfinite(seconds)) {
    return std::nullopt;
  }
  const double units = std::round(seconds * scale);
  // Checked in double before the conversion, which is undefined out of range.
  if (units < std::numeric_limits<A_long>::min() || units > std::numeric_limits<A_long>::max()) {
    return std::nullopt;
  }
  return A_Time{static_cast<A_long>(units), scale};
}

double timeToSeconds(A_Time t) {
  return t.scale == 0 ? 0.0 : static_cast<double>(t.value) / static_cast<double>(t.scale);
}

std::optional<A_Time> rescaleTime(A_Time t, A_u_long scale) {
  if (t.scale == 0 || scale == 0) {
    return std::nullopt;
  }
  const int64_t units = divideRounded(static_cast<int64_t>(t.value) * scale, t.scale);
  const auto value = toLong(units);
  if (!value) {
    return std::nullopt;
  }
  return A_Time{*value, scale};
}

std::optional<A_Time> effectToCompTime(A_Time effectTime, A_Time layerStart) {
  const auto start = rescaleTime(layerStart, effectTime.scale);
  if (!start) {
    return std::nullopt;
  }
  const auto value = toLong(static_cast<int64_t>(effectTime.value) + start->value);
  if (!value) {
    return std::nullopt;
  }
  return A_Time{*value, effectTime.scale};
}

std::optional<A_Time> compToEffectTime(A_Time compTime, A_Time layerStart) {
  const auto start = rescaleTime(layerStart, compTime.scale);
  if (!start) {
    return std::nullopt;
  }
  const auto value = toLong(static_cast<int64_t>(compTime.value) - start->value);
  if (!value) {
    return std::nullopt;
  }
  return A_Time{*value, compTime.scale};
}

}  // namespace tb
