// PF_Cmd_UPDATE_PARAMS_UI of the distort effect: the exclusion checkbox of the k-th mask effect
// above it is shown while that effect's "Mesh" is On and hidden while it is Off; boxes without a
// mask effect are hidden.
#pragma once

#include "AE_Effect.h"

PF_Err UpdateExclusionBoxes(PF_InData* in_data, PF_OutData* out_data);
