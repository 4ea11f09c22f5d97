#include <windows.h>

#include "testbed/platform/SharedLibrary.h"

namespace tb::platform {

const char* const kModuleSuffix = ".aex";

void* openLibrary(const std::string& path, std::string& error) {
  // No error dialog box: a module that fails to load is reported like any other failure.
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD code = ::GetLastError();
  ::SetErrorMode(previous);
  if (!library)
    error = "LoadLibrary failed: error " + std::to_string(code);
  return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) {
  ::FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace tb::platform
