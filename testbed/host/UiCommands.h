// What the host puts in out_data before a command: for QUERY_DYNAMIC_FLAGS, the instance's current
// flags, which the plug-in changes or leaves.
#pragma once

#include "AE_Effect.h"
#include "testbed/host/Model.h"

namespace tb {

void prefillOutData(const Effect* effect, PF_Cmd cmd, PF_OutData* out);

}  // namespace tb
