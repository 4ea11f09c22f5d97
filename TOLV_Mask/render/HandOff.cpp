#include "TOLV_Mask/render/HandOff.h"

#include <cstring>

#include "TOLV_Mask/Skeleton.h"
#include "common/MeshSend.h"

namespace mask {

bool FillForReceiver(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                     const std::function<void(A_long ordinal)>& fill) {
  const AEGP_EffectSuite2* effects = suites.EffectSuite2();
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;

  EffectRef self(status, effects);
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(plugin_id, effect_ref,
                                                                  self.put());
  });
  if (status.aborted() || !self)
    return false;

  AEGP_LayerH layer = nullptr;
  A_long num_effects = 0;
  status.call([&] { return suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(effect_ref, &layer); });
  status.call([&] { return effects->AEGP_GetLayerNumEffects(layer, &num_effects); });
  const A_long own_index = OwnEffectIndex(status, suites, plugin_id, self.get());
  if (status.aborted())
    return false;

  A_long ordinal = -1;
  for (A_long i = 0; i < num_effects; ++i) {
    EffectRef effect(status, effects);
    status.call(
        [&] { return effects->AEGP_GetLayerEffectByIndex(plugin_id, layer, i, effect.put()); });
    if (status.aborted())
      return false;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(status, effects, effect.get(), name);
    if (!status.ok())
      return false;
    if (i > own_index && IsMeshReceiver(name)) {
      fill(ordinal);
      status.aborted();
      return true;
    }
    if (i <= own_index && std::strcmp(name, kMaskMatchName) == 0)
      ++ordinal;
  }
  return false;
}

}  // namespace mask
