// The rows between consecutive masks: straight blends of the two mask rows, and the cubic pass
// that bends the positions through four masks at a time.
#pragma once

#include <vector>

#include "TOLV_Mask/render/RenderState.h"

namespace mask {

// Rows per gap between masks: Y / (count − 1), at least 1; 1 when the cubic pass adds the rows.
A_long RowsPerGap(A_long ySubdivide, A_long maskCount, bool cubic);

// Whether the cubic pass runs for these settings (it needs four masks).
bool CubicApplies(bool cubic, A_long ySubdivide, A_long maskCount);

// Appends the rows from `previous` (t = 0) towards `current`, and `current` itself (t = 1) when it
// is the last mask. Only rows that hold all columns + 1 points are blended: with a short row
// nothing is appended and the grid stays short.
void AppendRowsBetween(const MaskRow& previous, const MaskRow& current, A_long columns,
                       A_long rowsPerGap, bool lastMask, std::vector<point3>& vertices,
                       std::vector<A_FloatPoint>& texture);

// Replaces a grid of one row per mask by Hermite rows between them, the ends mirrored into
// phantom rows; texture coordinates are blended straight. Returns false and changes nothing unless
// the grid holds exactly maskCount whole rows. `rows` becomes the grid's row gaps.
bool CubicPass(std::vector<point3>& vertices, std::vector<A_FloatPoint>& texture, A_long columns,
               A_long maskCount, A_long ySubdivide, float tension, A_long* rows);

}  // namespace mask
