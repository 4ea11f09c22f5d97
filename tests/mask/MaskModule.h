// The built mask effect module, for tests that load it into a testbed host.
#pragma once

#include <string>

#include "tests/support/Modules.h"

inline std::string maskModulePath() {
  return tbtest::modulePath("TOLV_Mask");
}
