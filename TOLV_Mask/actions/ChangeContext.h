// What every step of the parameter-change handler works with: the one status, the suites, the
// command's blocks and this instance's effect reference.
#pragma once

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

struct ChangeContext {
  HostStatus& status;
  const AEGP_SuiteHandler& suites;
  PF_InData* in_data;
  PF_OutData* out_data;
  PF_ParamDef** params;
  AEGP_EffectRefH self;  // this instance, held by the handler for the whole command
};
