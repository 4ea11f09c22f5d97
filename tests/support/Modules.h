// Paths of the built modules, for integration tests that load them as the host does.
#pragma once

#include <cstdlib>
#include <string>

namespace tbtest {

inline std::string buildDir() {
  const char* dir = std::getenv("TOLV_BUILD_DIR");
  return dir ? dir : "build/default";
}

inline std::string modulePath(const std::string& name) {
  return buildDir() + "/plugins/" + name + ".so";
}

}  // namespace tbtest
