// The second half of a render: the grid takes the source layer's placement, gets its normals and
// its terrain, is cut into triangles and capped, and goes into the effect's record and on to the
// next receiver.
#pragma once

#include "AE_Effect.h"
#include "TOLV_Mask/render/MeshSettings.h"
#include "TOLV_Mask/render/RenderState.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace mask {

// True when the instance's sequence data is exactly one record in size. A damaged project or a
// failed resize can leave a block of another size, which is not written through.
bool SlotHasItsSize(PF_InData* in_data);

// True when the vertex and texture lists hold exactly the grid of cols × rows cells and every cap
// asked for has a row of cols + 1 points and texture coordinates. A failed or empty mask leaves
// the grid short; then nothing is built from it.
bool MeshInputsWhole(const RenderState& state, A_long cols, const MeshSettings& settings);

// Source geometry, normals and terrain, and the caps, for a grid of cols × rows cells on
// mask_layer; the grid's own triangles are made where the record is written. Builds nothing from a
// grid that is not whole.
void BuildMesh(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
               AEGP_LayerH mask_layer, const MeshSettings& settings, A_long cols,
               RenderState& state);

// Fills state.slot for the first distort or renderer effect below, writing the mesh's triangles
// straight into it, and sends it there. Without a slot of the right size (its creation failed, or
// a damaged project left another), or without a built mesh, nothing is written or sent.
void HandOffMesh(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                 const MeshSettings& settings, A_long cols, RenderState& state);

}  // namespace mask
