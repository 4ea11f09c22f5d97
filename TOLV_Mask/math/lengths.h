// vecLength of many vectors at once, bit for bit.
#pragma once

#include <cstddef>

// length[i] = hypotf(hypotf(x[i], y[i]), z[i]) for i < n. The arrays must not overlap length.
void vecLengths(const float* x, const float* y, const float* z, size_t n, float* length);
