#include "TOLV_Mask/actions/LaunchAction.h"

#include <cstring>
#include <string>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/actions/FirstChange.h"
#include "TOLV_Mask/actions/Scripts.h"
#include "common/EffectPlace.h"
#include "common/MeshSend.h"

namespace {

enum LaunchItem { kLaunchNone = 1, kLaunchRenderer = 2, kLaunchDistorter = 3, kLaunchMask = 4 };

const char* LaunchedMatchName(A_long item) {
  switch (item) {
    case kLaunchRenderer:
      return kEngineMatchName;
    case kLaunchDistorter:
      return kDistortReceiverMatchName;
    case kLaunchMask:
      return kMaskMatchName;
    default:
      return nullptr;
  }
}

// Looks for a renderer among the effects below this one. Sets *stop when an abort poll ended the
// command.
bool RendererBelow(const ChangeContext& c, const EffectPlace& place, bool* stop) {
  for (A_long j = place.index + 1; j < place.count; ++j) {
    EffectRef effect(c.status, c.suites.EffectSuite3());
    c.status.call([&] {
      return c.suites.EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginID, place.layer, j,
                                                                 effect.put());
    });
    if ((*stop = c.status.aborted()))
      return false;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(c.status, c.suites.EffectSuite2(), effect.get(), name);
    if (std::strcmp(name, kEngineMatchName) == 0) {
      *stop = c.status.aborted();
      return true;
    }
  }
  return false;
}

}  // namespace

bool LaunchAction(const ChangeContext& c) {
  EffectPlace place;
  LocateLayer(c.status, c.suites, &place);
  LocateOwnIndex(c.status, c.suites, pluginID, c.self, &place);
  // Without the host's own index there is no position to launch at.
  if (c.status.aborted() || !place.known)
    return c.status.err() != PF_Err_NONE;
  bool stop = false;
  const bool found = RendererBelow(c, place, &stop);
  if (stop)
    return true;
  const A_long item = c.params[MASK_LAUNCH]->u.pd.value;
  const char* matchName = LaunchedMatchName(item);
  if (matchName && !(item == kLaunchRenderer && found))
    RunScript(c, LaunchScript(matchName, place.index + 2).c_str());
  SetParamValue(c, MASK_LAUNCH, kLaunchNone);
  return false;
}
