// This effect's layer and its installed name.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// The buffer takes the host's longest name; the last byte always stays a terminator.
using EffectNameBuffer = A_char[AEGP_MAX_EFFECT_NAME_SIZE + 1];

// The layer that holds this effect; null when the host gave none.
AEGP_LayerH EffectLayer(const ChangeContext& c);

// The name of this effect as installed ("Morvane"), cleared first.
void ReadOwnEffectName(const ChangeContext& c, EffectNameBuffer& name);
