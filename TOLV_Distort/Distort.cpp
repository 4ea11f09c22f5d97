#include "TOLV_Distort/Distort.h"

#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Distort/Distort_Strings.h"
#include "TOLV_Distort/ExclusionBoxes.h"
#include "TOLV_Distort/Launch.h"
#include "TOLV_Distort/Render.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"
#include "common/MeshStore.h"

AEGP_PluginID pluginID = 0;

static PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
  return AboutText(in_data, out_data, "%s v%d.%d\r%s", GetStringPtr(StrID_Name), MAJOR_VERSION,
                   MINOR_VERSION, GetStringPtr(StrID_Description));
}

static PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data) {
  return GlobalSetupEffect(in_data, out_data, kDistortOutFlags, kDistortOutFlags2,
                           kDistortMatchName, &pluginID);
}

PF_Err DispatchDistortCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                              PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return About(in_data, out_data);
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetup(in_data, out_data);
    case PF_Cmd_PARAMS_SETUP:
      return DistortParamsSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETUP:
    case PF_Cmd_SEQUENCE_RESETUP:
      return MeshStoreSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return MeshStoreSetdown(in_data, out_data);
    case PF_Cmd_COMPLETELY_GENERAL:
      return MeshStoreReceive(in_data, out_data, extra);
    case PF_Cmd_RENDER:
      return DistortRender(in_data, out_data, params, output);
    case PF_Cmd_UPDATE_PARAMS_UI:
      return UpdateExclusionBoxes(in_data, out_data);
    case PF_Cmd_USER_CHANGED_PARAM:
      return LaunchChanged(in_data, out_data, params, extra);
    default:
      return PF_Err_NONE;
  }
}

PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, void* extra) {
  return GuardedCommand(
      [&] { return DispatchDistortCommand(cmd, in_data, out_data, params, output, extra); });
}
