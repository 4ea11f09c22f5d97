// The grid of the render: the flat sheet without masks, or one placed row per selected mask with
// the rows between them.
#pragma once

#include "TOLV_Mask/render/HostLookups.h"
#include "TOLV_Mask/render/RenderState.h"

namespace mask {

// Column gaps of a mask grid: maxSegments × "X subdivide", kept within 1 … 91.
A_long ColumnCount(A_long maxSegments, A_long xSubdivide);

// Fills the vertex and texture lists, rows, columns (the grid's column gaps), uvRect and the first
// and last rows. `light` is the path light or null.
void BuildGrid(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
               AEGP_LayerH light, const RenderParams& params, RenderState& state);

}  // namespace mask
