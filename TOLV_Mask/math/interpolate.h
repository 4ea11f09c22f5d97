// Scalar blends used coordinate by coordinate between mask outlines. Single precision, with the
// few products widened to double that the results depend on bit for bit.
#pragma once

// a at t = 0, b at t = 1, in a straight line. Inline, since the grid's rows between masks take
// it five times a vertex.
inline float LinearInterpolate(float a, float b, float t) {
  return a * (1.0f - t) + b * t;
}

// As LinearInterpolate; with cosine set the blend eases in and out along half a cosine wave.
float Interpolate(float a, float b, float t, unsigned char cosine);

// Cubic Hermite segment from y1 (mu = 0) to y2 (mu = 1); the end tangents come from the neighbours
// y0 and y3, scaled by 1 − tension (0: Catmull-Rom, 1: flat ends).
float HermiteInterpolate(float y0, float y1, float y2, float y3, float mu, float tension);
