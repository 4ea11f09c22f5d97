// "AEGP TOLV Suite": what the general plug-in publishes for any plug-in in the host to acquire by
// name and version.
#pragma once

#include "A.h"

#define kAEGPTOLVSuite "AEGP TOLV Suite"
#define kAEGPTOLVSuiteVersion1 1
#define kAEGPTOLVSuiteInternalVersion1 1

typedef struct AEGP_TOLVSuite1 {
  // Non-zero asks for one engine update cycle on the next idle calls; zero cancels a request not
  // yet finished. Always answers A_Err_NONE.
  A_Err (*SetEngineUpdatePending)(A_Boolean pending);
} AEGP_TOLVSuite1;
