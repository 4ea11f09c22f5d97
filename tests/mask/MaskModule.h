// The built mask effect module, for tests that load it into a testbed host.
#pragma once

#include <cstdlib>
#include <string>

inline std::string maskModulePath() {
  const char* dir = std::getenv("TOLV_BUILD_DIR");
  return std::string(dir ? dir : "build/default") + "/plugins/TOLV_Mask.so";
}
