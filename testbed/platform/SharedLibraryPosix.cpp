#include <dlfcn.h>

#include "testbed/platform/SharedLibrary.h"

namespace tb::platform {

const char* const kModuleSuffix = ".so";

void* openLibrary(const std::string& path, std::string& error) {
  void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library)
    error = std::string("dlopen failed: ") + ::dlerror();
  return library;
}

void* librarySymbol(void* library, const char* name) {
  return ::dlsym(library, name);
}

void closeLibrary(void* library) {
  ::dlclose(library);
}

}  // namespace tb::platform
