#include <unistd.h>

#include "testbed/platform/Process.h"

namespace tb::platform {

unsigned long processId() {
  return static_cast<unsigned long>(::getpid());
}

std::filesystem::path executablePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe;
}

bool stderrIsTerminal() {
  return ::isatty(STDERR_FILENO) != 0;
}

}  // namespace tb::platform
