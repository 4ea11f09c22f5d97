// What the mask pipeline looks up about the effect's layer before it reads any mask, and the path
// light that may string the masks along its motion path.
#pragma once

#include "AE_GeneralPlug.h"
#include "TOLV_Mask/render/RenderParams.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace mask {

struct LayerContext {
  AEGP_LayerH layer = nullptr;
  AEGP_CompH comp = nullptr;
  AEGP_ItemH item = nullptr;
  A_Time pathSpan = {0, 1};  // the composition's duration minus one frame
  A_long numMasks = 0;       // 0 when the host could not tell
};

// The effect's layer, its composition and the composition's item, the path span and the number of
// masks on the layer.
LayerContext LookUpLayer(HostStatus& status, const AEGP_SuiteHandler& suites);

// The path light, when "Create 3D light and use as path " is on and "Sweep index" names a layer;
// null without one. Returns false when the named layer is not in the composition (any more): the
// render ends there.
bool FindPathLight(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                   const RenderParams& params, AEGP_LayerH* light);

}  // namespace mask
