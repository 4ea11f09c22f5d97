// Paths of the built modules, for integration tests that load them as the host does.
#pragma once

#include <cstdlib>
#include <string>

namespace tbtest {

inline std::string buildDir() {
  const char* dir = std::getenv("TOLV_BUILD_DIR");
  return dir ? dir : "build/default";
}

#ifdef _WIN32
inline const std::string kModuleSuffix = ".aex";
#else
inline const std::string kModuleSuffix = ".so";
#endif

inline std::string modulePath(const std::string& name) {
  return buildDir() + "/plugins/" + name + kModuleSuffix;
}

}  // namespace tbtest
