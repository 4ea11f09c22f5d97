#include "common/MeshSend.h"

#include <cstring>

#include "common/EffectPlace.h"

bool IsMeshReceiver(const A_char* match_name) {
  return std::strcmp(match_name, kEngineMatchName) == 0 ||
         std::strcmp(match_name, kDistortReceiverMatchName) == 0;
}

namespace {

// The walk itself; every reference it obtains is released when it returns, so that a failed
// release still reaches the status its caller reads.
void ServeNextReceiver(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                       const MeshSlot* record) {
  const AEGP_EffectSuite2* effects = suites.EffectSuite2();
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;

  EffectRef self(status, effects);
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(plugin_id, effect_ref,
                                                                  self.put());
  });
  if (!self || status.aborted())
    return;

  EffectPlace place;
  LocateLayer(status, suites, &place);
  if (status.aborted())
    return;

  LocateOwnIndex(status, suites, plugin_id, self.get(), &place);
  if (!place.known)
    return;
  for (A_long i = place.index + 1; i < place.count; ++i) {
    if (status.aborted())
      break;
    EffectRef effect(status, effects);
    A_char match_name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    status.call([&] {
      return effects->AEGP_GetLayerEffectByIndex(plugin_id, place.layer, i, effect.put());
    });
    ReadMatchName(status, effects, effect.get(), match_name);
    if (!status.ok())
      break;
    if (IsMeshReceiver(match_name)) {
      const A_Time time = {0, 100};
      status.call([&] {
        return effects->AEGP_EffectCallGeneric(plugin_id, effect.get(), &time,
                                               PF_Cmd_COMPLETELY_GENERAL,
                                               const_cast<MeshSlot*>(record));
      });
      break;
    }
  }
}

}  // namespace

PF_Err SendMeshToNextReceiver(HostStatus& status, const AEGP_SuiteHandler& suites,
                              AEGP_PluginID plugin_id, const MeshSlot* record) {
  if (record)
    ServeNextReceiver(status, suites, plugin_id, record);
  return status.err();
}
