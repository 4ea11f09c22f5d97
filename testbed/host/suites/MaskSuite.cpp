// "AEGP Layer Mask Suite" version 6: the masks of a layer, handed out as references.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_GetLayerNumMasks(AEGP_LayerH aegp_layerH, A_long* num_masksPL) {
  TB_ENTER(num_masksPL);
  Layer* layer = layerOf(aegp_layerH);
  if (!layer || !num_masksPL)
    return A_Err_PARAMETER;
  *num_masksPL = static_cast<A_long>(layer->masks.size());
  return A_Err_NONE;
}

A_Err AEGP_GetLayerMaskByIndex(AEGP_LayerH aegp_layerH, AEGP_MaskIndex mask_indexL,
                               AEGP_MaskRefH* maskPH) {
  TB_ENTER(maskPH);
  Layer* layer = layerOf(aegp_layerH);
  if (!layer || !maskPH || mask_indexL < 0 ||
      static_cast<size_t>(mask_indexL) >= layer->masks.size())
    return A_Err_PARAMETER;
  *maskPH = reinterpret_cast<AEGP_MaskRefH>(
      Host::current().newRef<MaskRefObject>("mask ref", layer, layer->masks[mask_indexL].id));
  return A_Err_NONE;
}

A_Err AEGP_DisposeMask(AEGP_MaskRefH mask_refH) {
  TB_ENTER();
  if (!resolveToEnd<MaskRefObject>(mask_refH, "mask reference"))
    return A_Err_PARAMETER;
  return disposeRefChecked(mask_refH, "mask reference");
}

const AEGP_MaskSuite6 kMask6 = {
    AEGP_GetLayerNumMasks,
    AEGP_GetLayerMaskByIndex,
    AEGP_DisposeMask,
};

}  // namespace

void registerMaskSuites(SuiteTable& table) {
  table.add(kAEGPMaskSuite, 6, &kMask6);
}

}  // namespace tb
