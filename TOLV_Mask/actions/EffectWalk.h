// Finding this effect among the effects of its layer, and the names of effects.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// The buffers take the host's longest names; the last byte always stays a terminator.
using MatchNameBuffer = A_char[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
using EffectNameBuffer = A_char[AEGP_MAX_EFFECT_NAME_SIZE + 1];

// The layer that holds this effect; null when the host gave none.
AEGP_LayerH EffectLayer(const ChangeContext& c);

// The number of effects on layer; 0 when it could not be read.
A_long LayerNumEffects(const ChangeContext& c, AEGP_LayerH layer);

// This effect's 0-based position among its layer's effects: its parameter 1 stream has the
// effect's own stream as parent, and that one knows its index in the layer's effect group. -1
// when it could not be read.
A_long OwnEffectIndex(const ChangeContext& c);

// The match name of an effect on the layer, cleared first.
void ReadMatchName(const ChangeContext& c, AEGP_EffectRefH effect, MatchNameBuffer& name);

// The name of this effect as installed ("Morvane"), cleared first.
void ReadOwnEffectName(const ChangeContext& c, EffectNameBuffer& name);
