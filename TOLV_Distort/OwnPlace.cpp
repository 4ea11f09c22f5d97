#include "TOLV_Distort/OwnPlace.h"

#include "TOLV_Distort/Distort.h"

bool LocateSelf(HostStatus& status, const AEGP_SuiteHandler& suites, EffectRef* self,
                EffectPlace* place) {
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginID, effect_ref,
                                                                  self->put());
  });
  if (status.abortedReplacing())
    return false;
  LocateLayer(status, suites, place);
  if (status.abortedReplacing())
    return false;
  if (*self)
    LocateOwnIndex(status, suites, pluginID, self->get(), place);
  return !status.abortedReplacing();
}
