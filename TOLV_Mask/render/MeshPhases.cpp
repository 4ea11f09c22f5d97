#include "TOLV_Mask/render/MeshPhases.h"

#include <utility>

#include "AE_EffectCB.h"
#include "TOLV_Mask/render/Caps.h"
#include "TOLV_Mask/render/GridTriangles.h"
#include "TOLV_Mask/render/HandOff.h"
#include "TOLV_Mask/render/SlotWrite.h"
#include "TOLV_Mask/render/SourceGeometry.h"
#include "TOLV_Mask/render/Terrain.h"
#include "TOLV_Mask/render/VertexNormals.h"
#include "common/MeshSend.h"

namespace mask {

namespace {

bool RowWhole(const MaskRow& row, size_t rowSize) {
  return row.points.size() == rowSize && row.uvs.size() == rowSize;
}

}  // namespace

bool SlotHasItsSize(PF_InData* in_data) {
  return PF_GET_HANDLE_SIZE(in_data->sequence_data) == kMeshSlotBytes;
}

bool MeshInputsWhole(const RenderState& state, A_long cols, const MeshSettings& settings) {
  const size_t count = GridVertexCount(cols, state.rows);
  if (count == 0 || state.vertices.size() != count || state.texture.size() != count)
    return false;
  if (state.maskCount < 2)
    return true;
  const size_t rowSize = static_cast<size_t>(cols) + 1;
  const A_long fill = settings.fillMasks;
  if ((fill == kFillLast || fill == kFillLastAndFirst) && !RowWhole(state.lastRow, rowSize))
    return false;
  if ((fill == kFillFirst || fill == kFillLastAndFirst) && !RowWhole(state.firstRow, rowSize))
    return false;
  return true;
}

void BuildMesh(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
               AEGP_LayerH mask_layer, const MeshSettings& settings, A_long cols,
               RenderState& state) {
  PF_InData* in_data = status.in_data();
  if (settings.inheritsGeometry()) {
    SourceGeometry source;
    if (FindSourceGeometry(status, suites, plugin_id, mask_layer, source))
      InheritSourceGeometry(state.vertices, source, in_data->width, in_data->height);
  }
  if (!MeshInputsWhole(state, cols, settings))
    return;

  state.vecNors = MakeVecNors(state.vertices);
  state.faceNormals.clear();
  if (ChooseNormals(settings, state.maskCount) == NormalsKind::kSurface) {
    // A terrain works the faces out afresh once it has moved the grid; here it needs only the
    // vertex normals to move it along.
    if (settings.displacesTerrain())
      status.fail(vertexNormalsFromCoord(cols, state.rows, state.vecNors, settings.closedShape));
    else
      status.fail(normalsFromCoord(cols, state.rows, state.vecNors, state.faceNormals,
                                   settings.closedShape));
  } else
    SetFlatNormals(state.vecNors, state.faceNormals, state.maskCount);
  if (settings.displacesTerrain())
    ApplyTerrain(status, suites, settings, cols, state.rows, state.vecNors, state.faceNormals,
                 state.texture);

  if (state.maskCount >= 2) {
    CapTriangles caps =
        BuildCaps(settings.fillMasks, settings.fillAlgorithm, cols, state, state.capFillFailed);
    state.frontCap = std::move(caps.front);
    state.backCap = std::move(caps.back);
  }
}

void HandOffMesh(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                 const MeshSettings& settings, A_long cols, RenderState& state) {
  // After a failure the walks would call nothing; the size query is not made either.
  PF_InData* in_data = status.in_data();
  if (!status.ok() || !state.slot || !MeshInputsWhole(state, cols, settings) ||
      !SlotHasItsSize(in_data))
    return;
  FillForReceiver(status, suites, plugin_id, [&](A_long ordinal) {
    const SlotTrailer trailer{ordinal, state.uvRect, state.capFillFailed};
    const MeshTriangles mesh{state.frontCap,
                             {cols, state.rows, state.vecNors, state.texture, state.faceNormals},
                             state.backCap};
    WriteMeshSlot(*state.slot, mesh, trailer, settings, in_data->width, in_data->height);
  });
  SendMeshToNextReceiver(status, suites, plugin_id, state.slot);
}

}  // namespace mask
