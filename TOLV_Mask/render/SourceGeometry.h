// "Inherit source geometry": the whole grid is carried into the 3-D placement of the colour
// "Source" layer, scaled from the effect's layer to the size of that layer's source.
#pragma once

#include <vector>

#include "AE_GeneralPlug.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"
#include "common/point3.h"

namespace mask {

struct SourceGeometry {
  A_long width = 0, height = 0;  // of the source layer's item
  A_Matrix4 toWorld = {};        // its layer-to-world matrix at the composition time of the call
};

// Scales every vertex by the source size over the layer size (width, height), flips its depth into
// the host's frame, transforms it by toWorld in double and flips the depth back. A layer without
// width or height keeps that axis's scale at 1, so nothing is divided by zero.
void InheritSourceGeometry(std::vector<point3>& vertices, const SourceGeometry& source,
                           A_long width, A_long height);

// Finds the colour "Source" layer through the effect's parameter stream at time 0, in the
// composition of mask_layer (the effect's own layer, as the render found it), and reads its item's
// size and its placement at the call's time. False when a host call failed, the user aborted, or
// the layer is no longer in the composition (then without an error).
bool FindSourceGeometry(HostStatus& status, const AEGP_SuiteHandler& suites,
                        AEGP_PluginID plugin_id, AEGP_LayerH mask_layer, SourceGeometry& source);

}  // namespace mask
