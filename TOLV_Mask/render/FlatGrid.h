// The grid without masks: a flat sheet over the layer, (X + 1) × (Y + 1) vertices at depth 0.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "common/point3.h"

namespace mask {

// Appends the sheet row by row. Positions are clamped to the layer; texture coordinates are the
// positions as fractions of the layer's size, 0 across a layer without extent.
void BuildFlatGrid(A_long xSubdivide, A_long ySubdivide, A_long width, A_long height,
                   std::vector<point3>& vertices, std::vector<A_FloatPoint>& texture);

}  // namespace mask
