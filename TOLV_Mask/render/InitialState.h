// The working state a Render call starts from.
#pragma once

#include "AE_Effect.h"
#include "TOLV_Mask/render/RenderState.h"

namespace mask {

// The slot is the sequence data dereferenced (null without any); the texture rectangle is the
// layer; the inverse downsample factors are taken from the call, a factor without denominator
// counting as full resolution.
RenderState InitialRenderState(const PF_InData& in_data);

}  // namespace mask
