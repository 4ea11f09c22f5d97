#include "TOLV_Distort/Launch.h"

#include <cstring>

#include "TOLV_Distort/Distort.h"
#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Distort/OwnPlace.h"
#include "common/MeshSend.h"

namespace {

// The match name an item adds; none for "None" and for values outside the list (a damaged project
// or an expression), which add nothing.
const A_char* LaunchedMatchName(A_long item) {
  switch (item) {
    case LAUNCH_RENDERER:
      return kEngineMatchName;
    case LAUNCH_DISTORTER:
      return kDistortReceiverMatchName;
    case LAUNCH_MORVANE:
      return kMaskSenderMatchName;
    default:
      return nullptr;
  }
}

// True when a renderer already stands below this effect; false on a cancel as well, with
// *cancelled set.
bool RendererBelow(HostStatus& status, const AEGP_SuiteHandler& suites, const EffectPlace& place,
                   bool* cancelled) {
  const AEGP_EffectSuite2* effects = suites.EffectSuite2();
  for (A_long i = place.index + 1; i < place.count; ++i) {
    EffectRef effect(status, effects);
    status.call([&] {
      return effects->AEGP_GetLayerEffectByIndex(pluginID, place.layer, i, effect.put());
    });
    if (status.abortedReplacing()) {
      *cancelled = true;
      return false;
    }
    if (!effect)
      continue;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(status, effects, effect.get(), name);
    if (std::strcmp(name, kEngineMatchName) == 0)
      return true;
  }
  return false;
}

void RunScript(HostStatus& status, const AEGP_SuiteHandler& suites, const std::string& script) {
  status.call([&] {
    return suites.UtilitySuite11()->AEGP_ExecuteScript(pluginID, script.c_str(), true, nullptr,
                                                       nullptr);
  });
}

// Sets "Launch:" back to "None" through its stream.
void ResetPopup(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_EffectRefH self) {
  StreamRef stream(status, suites.StreamSuite9());
  status.call([&] {
    return suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, self, DISTORT_LAUNCH,
                                                                 stream.put());
  });
  AEGP_StreamValue2 value = {};
  value.streamH = stream.get();
  value.val.one_d = LAUNCH_NONE;
  status.call(
      [&] { return suites.StreamSuite9()->AEGP_SetStreamValue(pluginID, stream.get(), &value); });
}

void Launch(HostStatus& status, const AEGP_SuiteHandler& suites, A_long item) {
  EffectRef self(status, suites.EffectSuite2());
  EffectPlace place;
  if (!LocateSelf(status, suites, &self, &place))
    return;
  // Nothing is added at a place the host did not give.
  if (place.known) {
    bool cancelled = false;
    const bool renderer_below = RendererBelow(status, suites, place, &cancelled);
    if (cancelled)
      return;
    const A_char* match_name = LaunchedMatchName(item);
    if (match_name && !(item == LAUNCH_RENDERER && renderer_below))
      RunScript(status, suites, LaunchScript(match_name, place.index));
  }
  // The popup goes back to "None" whatever the script did; a failure of the script stays the
  // command's result.
  if (self) {
    HostStatus reset(status.in_data());
    ResetPopup(reset, suites, self.get());
    status.fail(reset.err());
  }
}

}  // namespace

std::string LaunchScript(const std::string& match_name, A_long own_index) {
  return "myComp = app.project.activeItem;"
         "myLayer = myComp.selectedLayers[0];"
         "myFX = myLayer.Effects.addProperty('" +
         match_name + "');myFX.moveTo(" + std::to_string(own_index + 2) + ");";
}

PF_Err LaunchChanged(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     const void* extra) {
  (void)out_data;
  const auto* changed = static_cast<const PF_UserChangedParamExtra*>(extra);
  if (!changed || changed->param_index != DISTORT_LAUNCH)
    return PF_Err_NONE;
  if (!params)
    return PF_Err_BAD_CALLBACK_PARAM;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  Launch(status, suites, params[DISTORT_LAUNCH]->u.pd.value);
  return status.err();
}
