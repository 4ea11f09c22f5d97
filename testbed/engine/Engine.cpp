#include "testbed/engine/Engine.h"

#include <cstdio>
#include <cstring>

#include "AE_EffectCB.h"
#include "TOLV_Distort/MeshStore.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"

namespace {

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
  PF_STRCPY(out_data->return_msg, "TOLV Renderer (testbed stand-in)");
  return PF_Err_NONE;
}

PF_Err GlobalSetup(PF_OutData* out_data) {
  out_data->my_version = kEffectVersion;
  out_data->out_flags = PF_OutFlag_NONE;
  out_data->out_flags2 = PF_OutFlag2_NONE;
  return PF_Err_NONE;
}

PF_ParamDef NamedParam(PF_ParamType type, const char* name, PF_ParamIndex index) {
  PF_ParamDef def;
  std::memset(&def, 0, sizeof def);
  def.param_type = type;
  std::snprintf(def.name, sizeof def.name, "%s", name);
  def.uu.id = index;
  return def;
}

PF_Err AddSlider(PF_InData* in_data, PF_ParamIndex index, const char* name) {
  PF_ParamDef def = NamedParam(PF_Param_SLIDER, name, index);
  def.u.sd.valid_min = def.u.sd.slider_min = 0;
  def.u.sd.valid_max = def.u.sd.slider_max = 100;
  return PF_ADD_PARAM(in_data, -1, &def);
}

PF_Err AddLayer(PF_InData* in_data, PF_ParamIndex index, const char* name) {
  PF_ParamDef def = NamedParam(PF_Param_LAYER, name, index);
  def.u.ld.dephault = PF_LayerDefault_NONE;
  return PF_ADD_PARAM(in_data, -1, &def);
}

// Only the indices matter to the system: 19..38 are layers and 43 is the update request; the rest
// are plain sliders that hold the places.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_Err err = PF_Err_NONE;
  char name[32];
  for (PF_ParamIndex i = 1; i < kEngineNumParams && !err; ++i) {
    if (i >= kColorSourceParam && i < kBumpSourceParam) {
      std::snprintf(name, sizeof name, "Colour source %d", i - kColorSourceParam + 1);
      err = AddLayer(in_data, i, name);
    } else if (i >= kBumpSourceParam && i < kBumpSourceParam + 10) {
      std::snprintf(name, sizeof name, "Bump source %d", i - kBumpSourceParam + 1);
      err = AddLayer(in_data, i, name);
    } else {
      std::snprintf(name, sizeof name, i == kUpdateParam ? "Update" : "Setting %d", i);
      err = AddSlider(in_data, i, name);
    }
  }
  out_data->num_params = kEngineNumParams;
  return err;
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, void* extra) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return About(in_data, out_data);
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetup(out_data);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETUP:
    case PF_Cmd_SEQUENCE_RESETUP:
      return MeshStoreSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return MeshStoreSetdown(in_data, out_data);
    case PF_Cmd_COMPLETELY_GENERAL:
      return MeshStoreReceive(in_data, out_data, extra);
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, void* extra) {
  (void)params;
  (void)output;
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, extra); });
}
