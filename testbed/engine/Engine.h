// The stand-in renderer "ZEK TOLV_Engine": a testbed module, not part of the system, that accepts
// mesh records the way the system's renderer is fed (so that the chain can be driven end to end).
//
// It keeps the latest record of each slot in its sequence data, a store laid out as the distort
// effect's. The testbed itself copies every record delivered to it, in arrival order, before the
// module sees it (Host::engineRecords()); tests and the CLI read records from there.
#pragma once

#include "AE_Effect.h"
#include "AE_Macros.h"

// Layer parameters: colour sources at kColorSourceParam + s, bump sources at kBumpSourceParam + s
// for slots s = 0..9; the update request at kUpdateParam.
constexpr PF_ParamIndex kColorSourceParam = 19;
constexpr PF_ParamIndex kBumpSourceParam = 29;
constexpr PF_ParamIndex kUpdateParam = 43;
constexpr A_long kEngineNumParams = 44;

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra);
