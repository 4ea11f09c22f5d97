#include "TOLV_Mask/render/InitialState.h"

namespace mask {

namespace {

float inverse(A_u_long denominator) {
  return 1.0f / static_cast<float>(denominator ? denominator : 1);
}

}  // namespace

RenderState InitialRenderState(const PF_InData& in_data) {
  RenderState state;
  state.slot = in_data.sequence_data ? static_cast<MeshSlot*>(*in_data.sequence_data) : nullptr;
  state.invDx = inverse(in_data.downsample_x.den);
  state.invDy = inverse(in_data.downsample_y.den);
  state.uvRect = {0, 0, in_data.width, in_data.height};
  return state;
}

}  // namespace mask
