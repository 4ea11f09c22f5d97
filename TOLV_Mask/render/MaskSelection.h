// Which of the layer's masks take part, in which order, and which reference mask each has.
#pragma once

#include "TOLV_Mask/render/HostLookups.h"
#include "TOLV_Mask/render/RenderState.h"

namespace mask {

// Walks the "Mask " parameters in order up to the first empty one. A parameter naming a mask the
// layer no longer has is skipped, so the selected masks take the depth and rotation groups in the
// order they are counted. Fills maskCount, maskPathId, referencePathId and maxSegments.
void SelectMasks(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                 const RenderParams& params, RenderState& state);

}  // namespace mask
