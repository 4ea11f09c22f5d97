// The two walks over the effect's layer at the end of a render: the first finds the receiver below
// and the effect's rank among the mask effects, and fills the record; the second sends it.
#pragma once

#include <functional>

#include "AE_GeneralPlug.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace mask {

// Walks the layer's effects from the top, counting the mask effects down to this one, and calls
// fill with that count (0 for the topmost) when the first distort or renderer effect below this
// one is met. Nothing is filled without such an effect. The abort poll runs between the steps;
// every reference is released on every path. True when fill was called.
bool FillForReceiver(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                     const std::function<void(A_long ordinal)>& fill);

}  // namespace mask
