// PF_Cmd_USER_CHANGED_PARAM of the mask effect: the project edits a supervised change triggers.
#pragma once

#include "AE_Effect.h"

// Runs, in order: source mirroring, the first-change setup, the path light and follower light
// steps, "Update:", "Launch:", reference-mask visibility, the count of mask rows in use and the
// row pass (keying a path light created in this call), and the depth check of that light. Host
// calls are chained on one status; the first error is returned, and a cancelled abort poll ends
// the command with its answer. Every reference taken is released on every path.
PF_Err ParamChange(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                   const PF_UserChangedParamExtra* extra);
