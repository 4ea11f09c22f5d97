// "AEGP PF Interface Suite" version 1: from an effect's command to the AEGP objects around it.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

A_Err AEGP_GetEffectLayer(PF_ProgPtr effect_ref, AEGP_LayerH* layerPH) {
  TB_ENTER(layerPH);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !layerPH || !effect->layer)
    return A_Err_PARAMETER;
  *layerPH = reinterpret_cast<AEGP_LayerH>(effect->layer);
  return A_Err_NONE;
}

A_Err AEGP_GetNewEffectForEffect(AEGP_PluginID plugin_id, PF_ProgPtr effect_ref,
                                 AEGP_EffectRefH* effectPH) {
  TB_ENTER_AS(plugin_id, effectPH);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effectPH)
    return A_Err_PARAMETER;
  *effectPH = reinterpret_cast<AEGP_EffectRefH>(
      Host::current().newRef<EffectRefObject>("effect ref", effect));
  return A_Err_NONE;
}

// A layer's time runs from where the layer starts in the composition; the result is at the scale
// given.
A_Err AEGP_ConvertEffectToCompTime(PF_ProgPtr effect_ref, A_long what_timeL, A_u_long time_scaleLu,
                                   A_Time* comp_timePT) {
  TB_ENTER(comp_timePT);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effect->layer || !comp_timePT || time_scaleLu == 0)
    return A_Err_PARAMETER;
  std::optional<A_Time> t = effectToCompTime({what_timeL, time_scaleLu}, effect->layer->start);
  if (!t)
    return A_Err_PARAMETER;
  *comp_timePT = *t;
  return A_Err_NONE;
}

const AEGP_PFInterfaceSuite1 kPFInterface1 = {
    AEGP_GetEffectLayer,
    AEGP_GetNewEffectForEffect,
    AEGP_ConvertEffectToCompTime,
};

}  // namespace

void registerPFInterfaceSuites(SuiteTable& table) {
  table.add(kAEGPPFInterfaceSuite, 1, &kPFInterface1);
}

}  // namespace tb
