#include "TOLV_Mask/actions/ParamChange.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/ChangeContext.h"
#include "TOLV_Mask/actions/FirstChange.h"
#include "TOLV_Mask/actions/LaunchAction.h"
#include "TOLV_Mask/actions/MaskRows.h"
#include "TOLV_Mask/actions/SourceMirroring.h"
#include "TOLV_Mask/actions/UpdateAction.h"
#include "TOLV_Mask/lights/FollowerLight.h"
#include "TOLV_Mask/lights/PathLight.h"

namespace {

void RunChangeSteps(const ChangeContext& c, PF_ParamIndex changed) {
  if (MirrorSource(c, changed))
    return;
  FirstChangeSetup(c);
  PathLight light;
  if (changed == MASK_CREATE_LIGHT)
    PathLightStep(c, light);
  if (changed == MASK_INHERIT_GEOMETRY)
    FollowerLightStep(c);
  if (changed == MASK_UPDATE)
    UpdateAction(c);
  if (changed == MASK_LAUNCH && LaunchAction(c))
    return;
  HideUnusedReferenceMasks(c);
  RowPass(c, CountRowsInUse(c), light);
  PathLightDepthCheck(c, light);
}

}  // namespace

PF_Err ParamChange(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   const PF_UserChangedParamExtra* extra) {
  if (!extra || !params)
    return PF_Err_BAD_CALLBACK_PARAM;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  EffectRef self(status, suites.EffectSuite3());
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginID, in_data->effect_ref,
                                                                  self.put());
  });
  if (!self)
    return status.err();
  const ChangeContext c = {status, suites, in_data, out_data, params, self.get()};
  RunChangeSteps(c, extra->param_index);
  self.reset();
  return status.err();
}
