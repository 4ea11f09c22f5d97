// Host times for the testbed's compositions. Every time carries its own scale. A composition at a
// whole frame rate counts frames: its frame lasts {1, fps}. At a fractional rate such as 29.97 it
// counts units of 1/(fps × 100) s, 100 to a frame, so that every frame start is still an exact
// A_Time. Its current time, work area and duration may sit at other scales.
#pragma once

#include <optional>

#include "A.h"

namespace tb {

// Units per frame at the scale of a fractional frame rate.
constexpr A_long kTimeUnitsPerFrame = 100;

// The time scale of a composition running at `fps` frames per second (fps itself for a whole
// rate); nothing when the rate is not finite, not positive, or too fine to be counted in whole
// units (more than 1000 fps).
std::optional<A_u_long> timeScaleForFps(double fps);

// One frame at `fps`, at the scale of timeScaleForFps; {0, 1} for a rate it rejects.
A_Time frameDuration(double fps);

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

// The other way: the layer's time at a composition time, at the composition time's scale.
std::optional<A_Time> compToEffectTime(A_Time compTime, A_Time layerStart);

}  // namespace tb
