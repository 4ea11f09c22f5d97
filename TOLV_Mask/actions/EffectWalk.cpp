#include "TOLV_Mask/actions/EffectWalk.h"

#include <cstring>

#include "TOLV_Mask/Skeleton.h"

AEGP_LayerH EffectLayer(const ChangeContext& c) {
  AEGP_LayerH layer = nullptr;
  c.status.call([&] {
    return c.suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(c.in_data->effect_ref, &layer);
  });
  return c.status.ok() ? layer : nullptr;
}

A_long LayerNumEffects(const ChangeContext& c, AEGP_LayerH layer) {
  A_long count = 0;
  c.status.call([&] { return c.suites.EffectSuite3()->AEGP_GetLayerNumEffects(layer, &count); });
  return c.status.ok() ? count : 0;
}

A_long OwnEffectIndex(const ChangeContext& c) {
  A_long index = -1;
  StreamRef param(c.status, c.suites.StreamSuite9());
  StreamRef parent(c.status, c.suites.StreamSuite9());
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, c.self, 1,
                                                                   param.put());
  });
  c.status.call([&] {
    return c.suites.DynamicStreamSuite5()->AEGP_GetNewParentStreamRef(pluginID, param.get(),
                                                                      parent.put());
  });
  c.status.call([&] {
    return c.suites.DynamicStreamSuite5()->AEGP_GetStreamIndexInParent(parent.get(), &index);
  });
  return c.status.ok() ? index : -1;
}

void ReadMatchName(const ChangeContext& c, AEGP_EffectRefH effect, MatchNameBuffer& name) {
  AEGP_InstalledEffectKey key = 0;
  std::memset(name, 0, sizeof name);
  c.status.call(
      [&] { return c.suites.EffectSuite3()->AEGP_GetInstalledKeyFromLayerEffect(effect, &key); });
  c.status.call([&] { return c.suites.EffectSuite3()->AEGP_GetEffectMatchName(key, name); });
  name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE] = '\0';
}

void ReadOwnEffectName(const ChangeContext& c, EffectNameBuffer& name) {
  AEGP_InstalledEffectKey key = 0;
  std::memset(name, 0, sizeof name);
  c.status.call(
      [&] { return c.suites.EffectSuite3()->AEGP_GetInstalledKeyFromLayerEffect(c.self, &key); });
  c.status.call([&] { return c.suites.EffectSuite3()->AEGP_GetEffectName(key, name); });
  name[AEGP_MAX_EFFECT_NAME_SIZE] = '\0';
}
