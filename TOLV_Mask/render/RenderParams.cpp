#include "TOLV_Mask/render/RenderParams.h"

#include "TOLV_Mask/Params.h"

namespace mask {

namespace {

A_long clampLong(A_long v, A_long lo, A_long hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

// NaN is read as 0, the rest clamped to the slider's valid range.
double clampDouble(double v, double lo, double hi) {
  if (v != v)
    return 0;
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

RenderParams ReadRenderParams(PF_ParamDef* const params[]) {
  RenderParams p;
  p.xSubdivide = clampLong(params[MASK_X_SUBDIVIDE]->u.sd.value, 1, 50);
  p.ySubdivide = clampLong(params[MASK_Y_SUBDIVIDE]->u.sd.value, 1, 99);
  for (int k = 0; k < kMaxMasks; ++k) {
    const int row = k + 1;
    p.maskPath[k] = params[MaskPathParam(row)]->u.path_d.path_id;
    p.referencePath[k] = params[ReferenceMaskParam(row)]->u.path_d.path_id;
    p.groups[k].z = clampDouble(params[MaskDepthParam(row)]->u.fs_d.value, -30000, 30000);
    p.groups[k].rotationX = static_cast<float>(params[MaskRotationXParam(row)]->u.ad.value);
    p.groups[k].rotationY = static_cast<float>(params[MaskRotationYParam(row)]->u.ad.value);
    p.groups[k].rotationZ = static_cast<float>(params[MaskRotationZParam(row)]->u.ad.value);
  }
  p.createLight = params[MASK_CREATE_LIGHT]->u.bd.value != 0;
  p.orientOnPath = params[MASK_ORIENT_ON_PATH]->u.bd.value != 0;
  p.sweepIndex = params[MASK_SWEEP_INDEX]->u.sd.value;
  p.referenceSampling = params[MASK_REFERENCE_SAMPLING]->u.pd.value;
  p.cubic = params[MASK_CUBIC]->u.bd.value != 0;
  // The slider is in percent; the fraction is formed with the single-precision 0.01.
  p.tension =
      static_cast<float>(clampDouble(params[MASK_TENSION]->u.fs_d.value, -1000, 1000) * 0.01f);
  return p;
}

}  // namespace mask
