// The project as the render report ends with it: every layer with its effects in stack order and
// every parameter's value written as scene files write it, so that what scripts and user changes
// did to the project can be read back.
#pragma once

#include <nlohmann/json.hpp>

#include "testbed/host/Host.h"

namespace tb {

// {"layers": [{"name", "kind", "effects": [{"match", "params": {"1": value, ...}}]}]}, layers of
// every composition, top first. Values are those at each composition's current time.
nlohmann::ordered_json projectJson(const Host& host);

}  // namespace tb
