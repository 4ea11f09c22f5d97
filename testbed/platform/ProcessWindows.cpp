#include <io.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "testbed/platform/Process.h"

namespace tb::platform {

unsigned long processId() {
  return ::GetCurrentProcessId();
}

std::filesystem::path executablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (length == 0)
      return {};
    if (length < buffer.size())
      return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

bool stderrIsTerminal() {
  return ::_isatty(::_fileno(stderr)) != 0;
}

}  // namespace tb::platform
