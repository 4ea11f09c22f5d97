// The exit code of a program run through std::system or popen: POSIX wraps it in a wait status,
// Windows gives it as it is.
#pragma once

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tbtest {

inline int exitStatus(int raw) {
#ifdef _WIN32
  return raw;
#else
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

}  // namespace tbtest
