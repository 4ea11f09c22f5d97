// The callbacks the host puts in PF_InData: interaction (parameters, abort, progress) and
// utilities (copy, handles, ANSI functions).
#pragma once

#include "AE_EffectCB.h"

namespace tb {

PF_InteractCallbacks interactCallbacks();
PF_UtilCallbacks* utilCallbacks();

}  // namespace tb
