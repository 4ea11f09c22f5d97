// Light layers the mask effect makes and removes in the composition of its layer.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// The composition that holds layer; null when the host gave none.
AEGP_CompH LayerComp(const ChangeContext& c, AEGP_LayerH layer);

// Creates a point light of zero intensity at (0, 0) in comp, named "'" + the effect's name + "'" +
// ending. Returns the light, or null when it was not created.
AEGP_LayerH CreateZeroLight(const ChangeContext& c, AEGP_CompH comp, const A_char* ending);

// The layer of comp whose id is id; null when there is none.
AEGP_LayerH LayerFromId(const ChangeContext& c, AEGP_CompH comp, AEGP_LayerIDVal id);

// True when layer is a light layer.
bool IsLight(const ChangeContext& c, AEGP_LayerH layer);

void DeleteLayer(const ChangeContext& c, AEGP_LayerH layer);

// A "Sweep index" value as a layer id: truncated toward zero; a value that is not a number or
// does not fit a layer id names no layer (-1).
AEGP_LayerIDVal SweepValueToLayerId(double value);
