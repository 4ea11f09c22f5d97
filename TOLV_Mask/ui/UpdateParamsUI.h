// PF_Cmd_UPDATE_PARAMS_UI of the mask effect: the state of the controls that follows the settings.
#pragma once

#include "AE_Effect.h"

// Keeps "Create 3D light and use as path " at SUPERVISE | CANNOT_TIME_VARY; while the light path
// is in use (that box on and "Sweep index" not -1) disables the depth slider of every mask row
// whose X rotation is visible (enables it otherwise) and shows "Orient on path " (hides it
// otherwise); hides "Sweep index" and "Update slider" whenever they are visible. Host calls are
// chained on one status, whose first error is returned; a skipped step changes no flag in params
// either.
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);
