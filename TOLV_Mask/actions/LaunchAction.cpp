#include "TOLV_Mask/actions/LaunchAction.h"

#include <cstring>
#include <string>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/actions/EffectWalk.h"
#include "TOLV_Mask/actions/FirstChange.h"
#include "TOLV_Mask/actions/Scripts.h"
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
bool RendererBelow(const ChangeContext& c, AEGP_LayerH layer, A_long own, A_long numEffects,
                   bool* stop) {
  for (A_long j = own + 1; j < numEffects; ++j) {
    EffectRef effect(c.status, c.suites.EffectSuite3());
    c.status.call([&] {
      return c.suites.EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginID, layer, j, effect.put());
    });
    if ((*stop = c.status.aborted()))
      return false;
    MatchNameBuffer name;
    ReadMatchName(c, effect.get(), name);
    if (std::strcmp(name, kEngineMatchName) == 0) {
      *stop = c.status.aborted();
      return true;
    }
  }
  return false;
}

}  // namespace

bool LaunchAction(const ChangeContext& c) {
  AEGP_LayerH layer = EffectLayer(c);
  const A_long numEffects = LayerNumEffects(c, layer);
  const A_long own = OwnEffectIndex(c);
  if (c.status.aborted())
    return true;
  bool stop = false;
  const bool found = RendererBelow(c, layer, own, numEffects, &stop);
  if (stop)
    return true;
  const A_long item = c.params[MASK_LAUNCH]->u.pd.value;
  const char* matchName = LaunchedMatchName(item);
  if (matchName && !(item == kLaunchRenderer && found))
    RunScript(c, LaunchScript(matchName, own + 2).c_str());
  SetParamValue(c, MASK_LAUNCH, kLaunchNone);
  return false;
}
