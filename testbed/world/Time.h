// Host times for the testbed's compositions. A composition counts time in units of 1/(fps × 100)
// of a second, so that fractional rates such as 29.97 still give a whole number of units per
// frame (100), and every frame start is an exact A_Time.
#pragma once

#include <optional>

#include "A.h"

namespace tb {

// Units per frame at every composition time scale.
constexpr A_long kTimeUnitsPerFrame = 100;

// The time scale of a composition running at `fps` frames per second; nothing when the rate is
// not finite, not positive, or too fine to be counted in whole units (more than 1000 fps).
std::optional<A_u_long> timeScaleForFps(double fps);

// One frame at `scale` (the scale of timeScaleForFps).
A_Time frameDuration(A_u_long scale);

// `seconds` as a time at `scale`, rounded to the nearest unit; nothing when it does not fit
// an A_long or the scale is 0.
std::optional<A_Time> secondsToTime(double seconds, A_u_long scale);

// The time in seconds; 0 for a time without a scale, which no valid time has.
double timeToSeconds(A_Time t);

// `t` re-expressed at `scale`, rounded to the nearest unit (halves away from zero); nothing when
// either scale is 0 or the result does not fit an A_long.
std::optional<A_Time> rescaleTime(A_Time t, A_u_long scale);

// An effect sees its layer's time; the composition's time is that plus the layer's start time in
// the composition. The result is at the effect time's scale; nothing when it cannot be formed.
std::optional<A_Time> effectToCompTime(A_Time effectTime, A_Time layerStart);

}  // namespace tb
