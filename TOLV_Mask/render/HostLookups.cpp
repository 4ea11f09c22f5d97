#include "TOLV_Mask/render/HostLookups.h"

#include "TOLV_Mask/render/Placement.h"

namespace mask {

LayerContext LookUpLayer(HostStatus& status, const AEGP_SuiteHandler& suites) {
  LayerContext c;
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;
  A_Time duration = {0, 1};
  A_Time frame = {0, 1};
  status.call(
      [&] { return suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(effect_ref, &c.layer); });
  status.call([&] { return suites.LayerSuite13()->AEGP_GetLayerParentComp(c.layer, &c.comp); });
  status.call([&] { return suites.CompSuite15()->AEGP_GetItemFromComp(c.comp, &c.item); });
  status.call([&] { return suites.ItemSuite13()->AEGP_GetItemDuration(c.item, &duration); });
  status.call([&] { return suites.CompSuite15()->AEGP_GetCompFrameDuration(c.comp, &frame); });
  if (status.ok())
    c.pathSpan = PathSpan(duration, frame);
  A_long numMasks = 0;
  status.call([&] { return suites.MaskSuite6()->AEGP_GetLayerNumMasks(c.layer, &numMasks); });
  if (status.ok() && numMasks > 0)
    c.numMasks = numMasks;
  return c;
}

bool FindPathLight(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                   const RenderParams& params, AEGP_LayerH* light) {
  *light = nullptr;
  if (!params.createLight || params.sweepIndex == -1)
    return true;
  status.call([&] {
    return suites.LayerSuite13()->AEGP_GetLayerFromLayerID(context.comp, params.sweepIndex, light);
  });
  if (!status.ok())
    *light = nullptr;
  return *light != nullptr;
}

}  // namespace mask
