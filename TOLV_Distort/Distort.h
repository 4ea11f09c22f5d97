// The distort effect "TOLV_Distorter": entry point and module-wide state.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "AE_Macros.h"

#define MAJOR_VERSION 1
#define MINOR_VERSION 0

constexpr const A_char* kDistortMatchName = "ZEK TOLV_Distort";
constexpr PF_OutFlags kDistortOutFlags =
    PF_OutFlag_I_AM_OBSOLETE | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
constexpr PF_OutFlags2 kDistortOutFlags2 = PF_OutFlag2_NONE;

extern AEGP_PluginID pluginID;

PF_Err DispatchDistortCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                              PF_ParamDef* params[], PF_LayerDef* output, void* extra);

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra);
