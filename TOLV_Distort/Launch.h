// PF_Cmd_USER_CHANGED_PARAM of the distort effect: the "Launch:" popup adds a renderer, another
// distort effect or a mask effect directly below this one, then goes back to "None".
#pragma once

#include <string>

#include "AE_Effect.h"

// The script that adds the effect of match_name to the first selected layer of the active
// composition and moves it below the effect at own_index (the scripting interface counts effects
// from 1, so the new one's number is own_index + 2).
std::string LaunchScript(const std::string& match_name, A_long own_index);

PF_Err LaunchChanged(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     const void* extra);
