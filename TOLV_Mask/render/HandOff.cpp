#include "TOLV_Mask/render/HandOff.h"

#include <cstring>

#include "TOLV_Mask/Skeleton.h"
#include "common/EffectPlace.h"
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

  EffectPlace place;
  LocateLayer(status, suites, &place);
  LocateOwnIndex(status, suites, plugin_id, self.get(), &place);
  if (status.aborted() || !place.known)
    return false;

  A_long ordinal = -1;
  for (A_long i = 0; i < place.count; ++i) {
    EffectRef effect(status, effects);
    status.call([&] {
      return effects->AEGP_GetLayerEffectByIndex(plugin_id, place.layer, i, effect.put());
    });
    if (status.aborted())
      return false;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(status, effects, effect.get(), name);
    if (!status.ok())
      return false;
    if (i > place.index && IsMeshReceiver(name)) {
      fill(ordinal);
      status.aborted();
      return true;
    }
    if (i <= place.index && std::strcmp(name, kMaskMatchName) == 0)
      ++ordinal;
  }
  return false;
}

}  // namespace mask
