// vecLength and vecNormalise of many vectors at once, bit for bit.
#pragma once

#include <cstddef>

#include "common/point3.h"

// length[i] = hypotf(hypotf(x[i], y[i]), z[i]) for i < n. The arrays must not overlap length.
void vecLengths(const float* x, const float* y, const float* z, size_t n, float* length);

// vecNormalise of the n vectors (x[i], y[i], z[i]), in place: a zero vector stays as it is.
void vecNormaliseComponents(float* x, float* y, float* z, size_t n);

// vecNormalise of each of the n vectors v[0] … v[n − 1], in place.
void vecNormaliseEach(point3* v, size_t n);
