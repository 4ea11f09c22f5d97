// The mask effect "Morvane": entry point and the module-wide state its handlers share.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "AE_Macros.h"

#define MAJOR_VERSION 1
#define MINOR_VERSION 6

constexpr const A_char* kMaskMatchName = "ZEK TOLV_Mask";
constexpr PF_OutFlags kMaskOutFlags = PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_SEND_UPDATE_PARAMS_UI;
constexpr PF_OutFlags2 kMaskOutFlags2 = PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS |
                                        PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_I_USE_3D_LIGHTS;

// The identity under which this effect makes AEGP calls; set once, by global setup.
extern AEGP_PluginID pluginID;

// Set by every Render; the parameter-change actions read it.
extern A_u_char alreadyRendered;

// The command switch, without the exception guard of the entry point.
PF_Err DispatchMaskCommand(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                           PF_ParamDef* params[], PF_LayerDef* output, void* extra);

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra);
