// "ZEK TOLV_TestUi": a test-only effect that answers the UI commands the way that shows whether the
// host hands it copies and keeps what it publishes.
// - USER_CHANGED_PARAM writes 77 into "Amount" in its params array, which must not reach the
//   project.
// - UPDATE_PARAMS_UI flips PF_PUI_DISABLED of "Amount" as it finds it in its params array, adds
//   PF_ParamFlag_CANNOT_TIME_VARY, and publishes the record with PF_UpdateParamUI; then it writes
//   "Lights" on in its params array, which again must not reach the project.
// - QUERY_DYNAMIC_FLAGS sets PF_OutFlag2_I_USE_3D_LIGHTS when "Lights" is on and clears it
//   otherwise, leaving every other flag as the host gave it.
// - COMPLETELY_GENERAL fills the TimedRead it is given: its time, and "Amount" checked out then.
// - RENDER writes what it was given into the output's first pixels: "Centre" in whole pixels as
//   red and green of pixel 0, the downsample divisors as red and green of pixel 1, and the size
//   of "Source" checked out at the frame's time as red and green of pixel 2, and "Centre" checked
//   out then, in whole pixels, as red and green of pixel 3.
#include "AE_EffectCB.h"
#include "AE_Macros.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"
#include "tests/ui_module/TimedRead.h"

namespace {

AEGP_PluginID pluginID = 0;

constexpr PF_ParamIndex kAmount = 1;
constexpr PF_ParamIndex kLights = 2;
constexpr PF_ParamIndex kCentre = 3;
constexpr PF_ParamIndex kSource = 4;

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_ParamDef amount = {};
  amount.param_type = PF_Param_SLIDER;
  PF_STRCPY(amount.name, "Amount");
  amount.flags = PF_ParamFlag_SUPERVISE;
  amount.u.sd.valid_max = amount.u.sd.slider_max = 100;
  amount.u.sd.dephault = amount.u.sd.value = 10;
  amount.uu.id = kAmount;
  PF_Err err = PF_ADD_PARAM(in_data, -1, &amount);
  PF_ParamDef lights = {};
  lights.param_type = PF_Param_CHECKBOX;
  PF_STRCPY(lights.name, "Lights");
  lights.uu.id = kLights;
  if (!err)
    err = PF_ADD_PARAM(in_data, -1, &lights);
  PF_ParamDef centre = {};
  centre.param_type = PF_Param_POINT;
  PF_STRCPY(centre.name, "Centre");
  centre.u.td.x_dephault = centre.u.td.y_dephault = 50 << 16;
  centre.uu.id = kCentre;
  if (!err)
    err = PF_ADD_PARAM(in_data, -1, &centre);
  PF_ParamDef source = {};
  source.param_type = PF_Param_LAYER;
  PF_STRCPY(source.name, "Source");
  source.u.ld.dephault = PF_LayerDefault_NONE;
  source.uu.id = kSource;
  if (!err)
    err = PF_ADD_PARAM(in_data, -1, &source);
  out_data->num_params = 5;
  return err;
}

PF_Err UpdateParamsUi(PF_InData* in_data, PF_ParamDef* params[]) {
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  PF_ParamDef& amount = *params[kAmount];
  amount.ui_flags ^= PF_PUI_DISABLED;
  amount.flags |= PF_ParamFlag_CANNOT_TIME_VARY;
  const PF_Err err =
      suites.ParamUtilsSuite3()->PF_UpdateParamUI(in_data->effect_ref, kAmount, &amount);
  params[kLights]->u.bd.value = 1;
  return err;
}

A_u_char Byte(A_long v) {
  return static_cast<A_u_char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Pixel `at` of the row gets "Centre" as checked out at the frame's time.
PF_Err CentreCheckedOut(PF_InData* in_data, PF_Pixel* row, int at) {
  PF_ParamDef centre = {};
  PF_Err err = PF_CHECKOUT_PARAM(in_data, kCentre, in_data->current_time, in_data->time_step,
                                 in_data->time_scale, &centre);
  if (err)
    return err;
  row[at] = {255, Byte(centre.u.td.x_value >> 16), Byte(centre.u.td.y_value >> 16), 0};
  return PF_CHECKIN_PARAM(in_data, &centre);
}

PF_Err Render(PF_InData* in_data, PF_ParamDef* params[], PF_LayerDef* output) {
  if (!output || !output->data || output->width < 4)
    return PF_Err_NONE;
  auto* row = static_cast<PF_Pixel*>(output->data);
  row[0] = {255, Byte(params[kCentre]->u.td.x_value >> 16),
            Byte(params[kCentre]->u.td.y_value >> 16), 0};
  row[1] = {255, Byte(static_cast<A_long>(in_data->downsample_x.den)),
            Byte(static_cast<A_long>(in_data->downsample_y.den)), 0};
  PF_ParamDef source = {};
  PF_Err err = PF_CHECKOUT_PARAM(in_data, kSource, in_data->current_time, in_data->time_step,
                                 in_data->time_scale, &source);
  if (err)
    return err;
  row[2] = {255, Byte(source.u.ld.width), Byte(source.u.ld.height), 0};
  err = PF_CHECKIN_PARAM(in_data, &source);
  return err ? err : CentreCheckedOut(in_data, row, 3);
}

PF_Err ReadAtMyTime(PF_InData* in_data, TimedRead* read) {
  if (!read)
    return PF_Err_BAD_CALLBACK_PARAM;
  read->seen = {in_data->current_time, in_data->time_scale};
  PF_ParamDef amount = {};
  PF_Err err = PF_CHECKOUT_PARAM(in_data, kAmount, in_data->current_time, in_data->time_step,
                                 in_data->time_scale, &amount);
  if (err)
    return err;
  read->amount = amount.u.sd.value;
  return PF_CHECKIN_PARAM(in_data, &amount);
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                PF_LayerDef* output, void* extra) {
  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetupEffect(in_data, out_data, PF_OutFlag_SEND_UPDATE_PARAMS_UI,
                               PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS, "ZEK TOLV_TestUi",
                               &pluginID);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_USER_CHANGED_PARAM:
      params[kAmount]->u.sd.value = 77;
      return PF_Err_NONE;
    case PF_Cmd_UPDATE_PARAMS_UI:
      return UpdateParamsUi(in_data, params);
    case PF_Cmd_RENDER:
      return Render(in_data, params, output);
    case PF_Cmd_COMPLETELY_GENERAL:
      return ReadAtMyTime(in_data, static_cast<TimedRead*>(extra));
    case PF_Cmd_QUERY_DYNAMIC_FLAGS:
      if (params[kLights]->u.bd.value)
        out_data->out_flags2 |= PF_OutFlag2_I_USE_3D_LIGHTS;
      else
        out_data->out_flags2 &= ~PF_OutFlag2_I_USE_3D_LIGHTS;
      return PF_Err_NONE;
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output,
                                           void* extra) {
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, params, output, extra); });
}
