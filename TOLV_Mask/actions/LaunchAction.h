// The "Launch:" popup: an effect added right below this one.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// Adds the effect of the chosen item ("TOLV Renderer", "TOLV Distorter", "Morvane") to the
// selected layer and moves it just below this effect; a renderer is not added when one stands
// below already. The popup returns to "None". Returns true when an abort poll ended the command.
bool LaunchAction(const ChangeContext& c);
