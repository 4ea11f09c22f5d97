#include "TOLV_Mask/actions/FirstChange.h"

#include <string>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/actions/Scripts.h"

void RunScript(const ChangeContext& c, const char* script) {
  c.status.call([&] {
    return c.suites.UtilitySuite11()->AEGP_ExecuteScript(pluginID, script, true, nullptr, nullptr);
  });
}

void FirstChangeSetup(const ChangeContext& c) {
  if (c.params[MASK_RENDERER]->u.bd.value != 0)
    return;
  SetParamValue(c, MASK_RENDERER, 1);
  SetParamHidden(c, MASK_RENDERER, true);
  RunScript(c, EngineCheckScript().c_str());
}
