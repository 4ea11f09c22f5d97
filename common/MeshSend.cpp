#include "common/MeshSend.h"

#include <cstring>

bool IsMeshReceiver(const A_char* match_name) {
  return std::strcmp(match_name, kEngineMatchName) == 0 ||
         std::strcmp(match_name, kDistortReceiverMatchName) == 0;
}

// Its parameter 1 stream has the effect's own stream as parent, and that one knows its index in the
// layer's effect group.
A_long OwnEffectIndex(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                      AEGP_EffectRefH self) {
  A_long index = -1;
  StreamRef param(status, suites.StreamSuite9());
  StreamRef parent(status, suites.StreamSuite9());
  status.call([&] {
    return suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(plugin_id, self, 1, param.put());
  });
  status.call([&] {
    return suites.DynamicStreamSuite5()->AEGP_GetNewParentStreamRef(plugin_id, param.get(),
                                                                    parent.put());
  });
  status.call([&] {
    return suites.DynamicStreamSuite5()->AEGP_GetStreamIndexInParent(parent.get(), &index);
  });
  return index;
}

// The terminator is forced so that a host filling every byte cannot run a comparison past the end.
void ReadMatchName(HostStatus& status, const AEGP_EffectSuite2* effects, AEGP_EffectRefH effect,
                   A_char (&name)[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1]) {
  AEGP_InstalledEffectKey key = 0;
  std::memset(name, 0, sizeof name);
  status.call([&] { return effects->AEGP_GetInstalledKeyFromLayerEffect(effect, &key); });
  status.call([&] { return effects->AEGP_GetEffectMatchName(key, name); });
  name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE] = '\0';
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

  AEGP_LayerH layer = nullptr;
  A_long num_effects = 0;
  status.call([&] { return suites.PFInterfaceSuite1()->AEGP_GetEffectLayer(effect_ref, &layer); });
  status.call([&] { return effects->AEGP_GetLayerNumEffects(layer, &num_effects); });
  if (status.aborted())
    return;

  A_long own_index = OwnEffectIndex(status, suites, plugin_id, self.get());
  for (A_long i = own_index + 1; i < num_effects; ++i) {
    if (status.aborted())
      break;
    EffectRef effect(status, effects);
    A_char match_name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    status.call(
        [&] { return effects->AEGP_GetLayerEffectByIndex(plugin_id, layer, i, effect.put()); });
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
