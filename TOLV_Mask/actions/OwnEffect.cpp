#include "TOLV_Mask/actions/OwnEffect.h"

#include <cstring>

#include "TOLV_Mask/Skeleton.h"

AEGP_LayerH EffectLayer(const ChangeContext& c) {
  AEGP_LayerH layer = nullptr;
  c.status.call([&] {
    return c.suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(c.in_data->effect_ref, &layer);
  });
  return c.status.ok() ? layer : nullptr;
}

void ReadOwnEffectName(const ChangeContext& c, EffectNameBuffer& name) {
  AEGP_InstalledEffectKey key = 0;
  std::memset(name, 0, sizeof name);
  c.status.call(
      [&] { return c.suites.EffectSuite3()->AEGP_GetInstalledKeyFromLayerEffect(c.self, &key); });
  c.status.call([&] { return c.suites.EffectSuite3()->AEGP_GetEffectName(key, name); });
  name[AEGP_MAX_EFFECT_NAME_SIZE] = '\0';
}
