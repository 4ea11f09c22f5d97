#include "common/EffectPlace.h"

#include <cstring>

namespace {

// Runs a lookup as a chained call and tells whether the host answered it.
template <class Call>
bool Answered(HostStatus& status, Call&& c) {
  bool answered = false;
  status.call([&] {
    const A_Err err = c();
    answered = err == A_Err_NONE;
    return err;
  });
  return answered;
}

}  // namespace

void LocateLayer(HostStatus& status, const AEGP_SuiteHandler& suites, EffectPlace* place) {
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;
  *place = EffectPlace();
  AEGP_LayerH layer = nullptr;
  A_long count = 0;
  const bool got_layer = Answered(
      status, [&] { return suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(effect_ref, &layer); });
  const bool got_count = Answered(
      status, [&] { return suites.EffectSuite2()->AEGP_GetLayerNumEffects(layer, &count); });
  if (got_layer && got_count) {
    place->layer = layer;
    place->count = count;
  }
}

void LocateOwnIndex(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                    AEGP_EffectRefH self, EffectPlace* place) {
  A_long index = -1;
  bool got_index = false;
  {
    StreamRef param(status, suites.StreamSuite9());
    StreamRef parent(status, suites.StreamSuite9());
    status.call([&] {
      return suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(plugin_id, self, 1, param.put());
    });
    status.call([&] {
      return suites.DynamicStreamSuite5()->AEGP_GetNewParentStreamRef(plugin_id, param.get(),
                                                                      parent.put());
    });
    got_index = Answered(status, [&] {
      return suites.DynamicStreamSuite5()->AEGP_GetStreamIndexInParent(parent.get(), &index);
    });
  }
  if (got_index && place->layer && status.ok()) {
    place->index = index;
    place->known = true;
  }
}

void ReadMatchName(HostStatus& status, const AEGP_EffectSuite2* effects, AEGP_EffectRefH effect,
                   A_char (&name)[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1]) {
  AEGP_InstalledEffectKey key = 0;
  std::memset(name, 0, sizeof name);
  status.call([&] { return effects->AEGP_GetInstalledKeyFromLayerEffect(effect, &key); });
  status.call([&] { return effects->AEGP_GetEffectMatchName(key, name); });
  name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE] = '\0';
}
