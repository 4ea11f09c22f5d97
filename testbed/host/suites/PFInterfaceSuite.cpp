// "AEGP PF Interface Suite" version 1: from an effect's command to the AEGP objects around it.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_GetEffectLayer(PF_ProgPtr effect_ref, AEGP_LayerH* layerPH) {
  TB_ENTER_OUT(layerPH);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !layerPH || !effect->layer)
    return A_Err_PARAMETER;
  *layerPH = reinterpret_cast<AEGP_LayerH>(effect->layer);
  return A_Err_NONE;
}

A_Err AEGP_GetNewEffectForEffect(AEGP_PluginID plugin_id, PF_ProgPtr effect_ref,
                                 AEGP_EffectRefH* effectPH) {
  TB_ENTER_AS_OUT(plugin_id, effectPH);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effectPH)
    return A_Err_PARAMETER;
  *effectPH = reinterpret_cast<AEGP_EffectRefH>(
      Host::current().newRef<EffectRefObject>("effect ref", effect));
  return A_Err_NONE;
}

// Layer time and composition time are the same in the testbed: layers start at zero.
A_Err AEGP_ConvertEffectToCompTime(PF_ProgPtr effect_ref, A_long what_timeL, A_u_long time_scaleLu,
                                   A_Time* comp_timePT) {
  TB_ENTER();
  if (!effectOf(effect_ref) || !comp_timePT || time_scaleLu == 0)
    return A_Err_PARAMETER;
  *comp_timePT = {what_timeL, time_scaleLu};
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
