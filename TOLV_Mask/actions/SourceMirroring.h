// Copying this effect's colour or bump "Source" into the renderer effect's layer parameters.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// When the changed parameter (index) is the colour or bump "Source" and a render has run since the
// module was loaded, writes its layer into parameter 19 + s (colour) or 29 + s (bump) of the first
// "ZEK TOLV_Engine" effect of the layer, where s is this effect's slot among the mask effects
// above that renderer. Returns true when an abort poll ended the command.
bool MirrorSource(const ChangeContext& c, PF_ParamIndex index);
