// Effect parameter values as the Stream suite hands them out: popups, checkboxes, sliders and
// angles (degrees) in one_d, a layer as layer_id, a colour as 0..1 doubles, a point as two_d.
#pragma once

#include "AE_GeneralPlug.h"
#include "testbed/host/Model.h"

namespace tb {

// False when the parameter's type has no stream value (groups, buttons, ...).
bool readStreamValue(const Effect& effect, int index, AEGP_StreamVal2* value);
bool writeStreamValue(Effect& effect, int index, const AEGP_StreamVal2& value);

}  // namespace tb
