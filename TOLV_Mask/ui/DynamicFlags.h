// PF_Cmd_QUERY_DYNAMIC_FLAGS of the mask effect: whether it depends on the composition's lights.
#pragma once

#include "AE_Effect.h"

// Declares PF_OutFlag2_I_USE_3D_LIGHTS while "Inherit source geometry" or "Create 3D light and use
// as path " is on at the current time and withdraws it while both are off; no other bit of
// out_flags2 changes. Both parameters are checked out for the answer and checked in again; the
// first error is returned, and with an error the flag is left as it was.
PF_Err QueryDynamicFlags(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                         void* extra);
