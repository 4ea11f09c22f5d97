// The project as the render report ends with it: every layer with its effects in stack order and
// every parameter's value written as scene files write it, and the layers' lights, parents, flags
// and position keyframes, so that what scripts and user changes did to the project can be read
// back.
#pragma once

#include <nlohmann/json.hpp>

#include "testbed/host/Host.h"

namespace tb {

// {"layers": [{"name", "kind", "light": {"type", "intensity"} (lights only), "parent" (when
// parented), "video", "locked", "shy", "keys": {"position": [[seconds, [x, y, z]], ...]} (when
// keyed; time 0 included when the time-0 position is a keyframe), "effects": [{"match", "params":
// {"1": value, ...}}]}]}, layers of every composition, top first. Values are those at each
// composition's current time.
nlohmann::ordered_json projectJson(const Host& host);

}  // namespace tb
