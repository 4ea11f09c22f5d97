#include "testbed/engine/Engine.h"

#include <cstdio>

#include "AE_EffectCB.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"
#include "common/MeshStore.h"
#include "common/ParamAdder.h"
#include "testbed/engine/EngineRender.h"

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

// Only the indices matter to the system: 19..38 are layers and 43 is the update request; the rest
// are plain sliders that hold the places.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  ParamAdder add(in_data);
  char name[32];
  for (PF_ParamIndex i = 1; i < kEngineNumParams; ++i) {
    if (i >= kColorSourceParam && i < kBumpSourceParam) {
      std::snprintf(name, sizeof name, "Colour source %d", i - kColorSourceParam + 1);
      add.Layer(name, PF_LayerDefault_NONE, PF_ParamFlag_NONE, i);
    } else if (i >= kBumpSourceParam && i < kBumpSourceParam + 10) {
      std::snprintf(name, sizeof name, "Bump source %d", i - kBumpSourceParam + 1);
      add.Layer(name, PF_LayerDefault_NONE, PF_ParamFlag_NONE, i);
    } else {
      std::snprintf(name, sizeof name, i == kUpdateParam ? "Update" : "Setting %d", i);
      add.Slider(name, 0, 100, 0, 100, 0, PF_ParamFlag_NONE, i);
    }
  }
  out_data->num_params = kEngineNumParams;
  return add.err();
}

PF_Err Receive(PF_InData* in_data, PF_OutData* out_data, const void* extra) {
  if (extra && !AcceptsRecord(*static_cast<const MeshSlot*>(extra)))
    return PF_Err_NONE;
  return MeshStoreReceive(in_data, out_data, extra);
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_LayerDef* output,
                void* extra) {
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
    case PF_Cmd_RENDER:
      return RenderMeshes(in_data, output);
    case PF_Cmd_COMPLETELY_GENERAL:
      return Receive(in_data, out_data, extra);
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                      PF_LayerDef* output, void* extra) {
  (void)params;
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, output, extra); });
}
