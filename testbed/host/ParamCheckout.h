// The PF_InData callbacks that reach the composition: parameter check-out and check-in, and the
// world copy.
#pragma once

#include "AE_EffectCB.h"

namespace tb {

// A layer parameter gives the chosen layer's pixels as a PF_LayerDef, valid until check-in (no
// pixels, data null, when no layer is chosen or the layer has none); other parameters give their
// value at the time asked for, in the layer's time. During a downsampled render, layers come at
// the reduced size and points divided by the factors, as the render's own params are. Every
// check-out is held in the ledger until checked in with the same record.
PF_Err checkoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long time_step,
                     A_u_long time_scale, PF_ParamDef* param);
PF_Err checkinParam(PF_ProgPtr effect_ref, PF_ParamDef* param);

// Copies src into dst; with rectangles, the source rectangle to the destination rectangle's
// top-left corner, both clipped to their worlds.
PF_Err copyWorldCallback(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst,
                         PF_Rect* src_r, PF_Rect* dst_r);

}  // namespace tb
