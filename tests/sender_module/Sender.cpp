// "ZEK TOLV_TestSender": a test-only effect that sends the record it is given. PF_Cmd_RENDER
// carries the record's address in extra; the module sends it to the next receiver below it on the
// layer exactly as the mask and distort effects do, and returns the status of the hand-off.
#include "AE_EffectCB.h"
#include "AE_Macros.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"
#include "common/MeshSend.h"

namespace {

AEGP_PluginID pluginID = 0;

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_ParamDef def = {};
  def.param_type = PF_Param_SLIDER;
  def.u.sd.valid_max = def.u.sd.slider_max = 10;
  def.uu.id = 1;
  out_data->num_params = 2;
  return PF_ADD_PARAM(in_data, -1, &def);
}

PF_Err Send(PF_InData* in_data, const void* record) {
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  return SendMeshToNextReceiver(status, suites, pluginID, static_cast<const MeshSlot*>(record));
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, void* extra) {
  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetupEffect(in_data, out_data, PF_OutFlag_NONE, PF_OutFlag2_NONE,
                               "ZEK TOLV_TestSender", &pluginID);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_RENDER:
      return Send(in_data, extra);
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output,
                                           void* extra) {
  (void)params;
  (void)output;
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, extra); });
}
