// What a test hands "ZEK TOLV_TestScript" with PF_Cmd_COMPLETELY_GENERAL: the script to run and
// the handles to ask the host for (null: not asked).
#pragma once

#include "AE_GeneralPlug.h"

struct ScriptRequest {
  const char* text = nullptr;
  AEGP_MemHandle* result = nullptr;
  AEGP_MemHandle* error = nullptr;
};
