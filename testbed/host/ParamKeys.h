// Effect parameters over time. A keyed parameter's value at a time comes from its keys: linear
// between keys for numbers, angles, colours and points, held from the key before for popups,
// checkboxes, layers and paths; before the first key it is the first key's value, after the last
// the last's. A parameter without keys has one value at every time.
#pragma once

#include "AE_Effect.h"
#include "testbed/host/Model.h"

namespace tb {

// The parameter record with its value at `seconds` of the layer's own time.
PF_ParamDef paramAt(const Effect& effect, int index, double seconds);

// The layer's own time, in seconds, at a composition time.
double layerSeconds(const Layer& layer, A_Time compTime);

// The effect's layer time at its composition's current time (0 for an effect on no layer).
double currentLayerSeconds(const Effect& effect);

}  // namespace tb
