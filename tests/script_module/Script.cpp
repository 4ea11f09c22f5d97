// "ZEK TOLV_TestScript": a test-only effect that runs scripts through AEGP_ExecuteScript, as the
// effects that add effects to a layer do. PF_Cmd_COMPLETELY_GENERAL runs the ScriptRequest it is
// given and returns the host's status; choosing an item of its supervised "Script" popup runs the
// script that item names, so that scenes can run scripts with a change step.
#include "AE_EffectCB.h"
#include "AE_Macros.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"
#include "tests/script_module/ScriptRequest.h"

namespace {

AEGP_PluginID pluginID = 0;

// Popup item k (from 1) runs kScripts[k - 1]; the first item runs nothing.
const char* const kScripts[] = {
    nullptr,
    "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];"
    "myLayer.Effects.addProperty('ZEK TOLV_Engine');",
    "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];"
    "myFX = myLayer.Effects.addProperty('ZEK TOLV_Engine');myFX.moveTo(1);",
    "throw new Error('stopped on purpose');",
    "alert('first line\\nsecond line');",
};
const char* const kItems = "None|Add engine|Add engine on top|Throw|Alert";
constexpr A_short kNumItems = sizeof kScripts / sizeof kScripts[0];

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_ParamDef def = {};
  def.param_type = PF_Param_POPUP;
  PF_STRCPY(def.name, "Script");
  def.flags = PF_ParamFlag_SUPERVISE;
  def.u.pd.num_choices = kNumItems;
  def.u.pd.dephault = def.u.pd.value = 1;
  def.u.pd.u.namesptr = kItems;
  def.uu.id = 1;
  out_data->num_params = 2;
  return PF_ADD_PARAM(in_data, -1, &def);
}

PF_Err Run(PF_InData* in_data, const ScriptRequest& request) {
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  return suites.UtilitySuite11()->AEGP_ExecuteScript(pluginID, request.text, true, request.result,
                                                     request.error);
}

PF_Err ScriptChosen(PF_InData* in_data, PF_ParamDef* params[], const void* extra) {
  const auto* changed = static_cast<const PF_UserChangedParamExtra*>(extra);
  if (!changed || changed->param_index != 1 || !params || !params[1])
    return PF_Err_NONE;
  const A_long item = params[1]->u.pd.value;
  if (item < 1 || item > kNumItems || !kScripts[item - 1])
    return PF_Err_NONE;
  ScriptRequest request;
  request.text = kScripts[item - 1];
  return Run(in_data, request);
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                void* extra) {
  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetupEffect(in_data, out_data, PF_OutFlag_NONE, PF_OutFlag2_NONE,
                               "ZEK TOLV_TestScript", &pluginID);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_USER_CHANGED_PARAM:
      return ScriptChosen(in_data, params, extra);
    case PF_Cmd_COMPLETELY_GENERAL:
      return extra ? Run(in_data, *static_cast<const ScriptRequest*>(extra)) : PF_Err_NONE;
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output,
                                           void* extra) {
  (void)output;
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, params, extra); });
}
