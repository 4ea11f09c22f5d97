#include "TOLV_Mask/Skeleton.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/SequenceData.h"
#include "TOLV_Mask/Skeleton_Strings.h"
#include "TOLV_Mask/actions/ParamChange.h"
#include "TOLV_Mask/render/Render.h"
#include "TOLV_Mask/ui/DynamicFlags.h"
#include "TOLV_Mask/ui/UpdateParamsUI.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"

AEGP_PluginID pluginID = 0;
A_u_char alreadyRendered = 0;

static PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
  return AboutText(in_data, out_data, "%s, v%d.%d\r%s", GetStringPtr(StrID_Name), MAJOR_VERSION,
                   MINOR_VERSION, GetStringPtr(StrID_Description));
}

static PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data) {
  return GlobalSetupEffect(in_data, out_data, kMaskOutFlags, kMaskOutFlags2, kMaskMatchName,
                           &pluginID);
}

PF_Err DispatchMaskCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                           PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return About(in_data, out_data);
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetup(in_data, out_data);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETUP:
      return SequenceSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_RESETUP:
      return SequenceResetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return SequenceSetdown(in_data, out_data);
    case PF_Cmd_RENDER:
      return Render(in_data, out_data, params, output, 1);
    case PF_Cmd_USER_CHANGED_PARAM:
      return ParamChange(in_data, out_data, params,
                         static_cast<const PF_UserChangedParamExtra*>(extra));
    case PF_Cmd_UPDATE_PARAMS_UI:
      return UpdateParamsUI(in_data, out_data, params);
    case PF_Cmd_QUERY_DYNAMIC_FLAGS:
      return QueryDynamicFlags(in_data, out_data, params, extra);
    default:
      return PF_Err_NONE;
  }
}

PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, void* extra) {
  if (cmd > PF_Cmd_QUERY_DYNAMIC_FLAGS)
    return PF_Err_NONE;
  return GuardedCommand(
      [&] { return DispatchMaskCommand(cmd, in_data, out_data, params, output, extra); });
}
