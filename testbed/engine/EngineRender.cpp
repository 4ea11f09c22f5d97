#include "testbed/engine/EngineRender.h"

#include "AE_EffectCB.h"
#include "common/HostStatus.h"
#include "common/MeshStore.h"
#include "testbed/engine/Engine.h"
#include "testbed/engine/MeshDraw.h"

namespace {

double Ratio(const PF_RationalScale& scale) {
  return scale.den == 0 ? 1.0 : static_cast<double>(scale.num) / scale.den;
}

viewer::TextureView TextureOf(const PF_LayerDef& layer) {
  return {static_cast<const PF_Pixel*>(layer.data), layer.width, layer.height, layer.rowbytes};
}

// One slot: its colour-source layer checked out around the drawing.
void DrawSlot(HostStatus& status, const MeshSlot& slot, int s, const viewer::ViewCamera& camera,
              viewer::DepthBuffer& depth, PF_LayerDef& output) {
  PF_InData* in_data = status.in_data();
  CheckedOutParam source(status);
  source.checkout(kColorSourceParam + s, in_data->current_time, in_data->time_step,
                  in_data->time_scale);
  if (!status.ok())
    return;
  const PF_LayerDef& layer = source.param().u.ld;
  const viewer::TextureView texture = TextureOf(layer);
  viewer::TextureFrame frame = {{slot.uvRect[0], slot.uvRect[1], slot.uvRect[2], slot.uvRect[3]},
                                camera.centreX * 2.0,
                                camera.centreY * 2.0};
  viewer::DrawMesh(slot, camera, layer.data ? &texture : nullptr, frame, depth, output);
}

}  // namespace

bool AcceptsRecord(const MeshSlot& record) {
  return record.slotIndex >= 0 && record.slotIndex < kStoreSlots && record.triangleCount >= 0 &&
         record.triangleCount <= kMaxTriangles;
}

PF_Err RenderMeshes(PF_InData* in_data, PF_LayerDef* output) {
  if (!output || !output->data)
    return PF_Err_BAD_CALLBACK_PARAM;
  viewer::ClearWorld(*output);
  if (!in_data->sequence_data)
    return PF_Err_NONE;
  const auto& store = *static_cast<const MeshStore*>(*in_data->sequence_data);
  // Meshes and the layer's size are in full-resolution pixels; the output may be downsampled.
  const viewer::ViewCamera camera = viewer::DefaultCamera(
      in_data->width, in_data->height, Ratio(in_data->downsample_x), Ratio(in_data->downsample_y));
  viewer::DepthBuffer depth(output->width, output->height);
  HostStatus status(in_data);
  for (int s = 0; s < kStoreSlots && status.ok(); ++s) {
    if (viewer::IsDrawable(store.slots[s], s))
      DrawSlot(status, store.slots[s], s, camera, depth, *output);
  }
  return status.err();
}
