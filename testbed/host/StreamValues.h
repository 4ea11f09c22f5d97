// Effect parameter values as the Stream suite hands them out: popups, checkboxes, sliders and
// angles (degrees) in one_d, a layer as layer_id, a colour as 0..1 doubles, a point as two_d.
#pragma once

#include "AE_GeneralPlug.h"
#include "testbed/host/Model.h"

namespace tb {

// The value at `seconds` of the layer's time; false when the parameter's type has no stream value
// (groups, buttons, ...).
bool readStreamValue(const Effect& effect, int index, double seconds, AEGP_StreamVal2* value);
// The value at the composition's current time.
bool readStreamValue(const Effect& effect, int index, AEGP_StreamVal2* value);
// Sets the value at every time: a keyed parameter loses its keys. A layer parameter's new layer is
// also what the plug-in reads back in its params.
bool writeStreamValue(Effect& effect, int index, const AEGP_StreamVal2& value);

}  // namespace tb
