// Loading a plug-in module: dlopen on Linux and macOS, LoadLibrary on Windows.
#pragma once

#include <string>

namespace tb::platform {

// The file ending of the modules this build makes and loads (".so" or ".aex").
extern const char* const kModuleSuffix;

// Loads the library at path with its symbols private to it; null with error set on failure.
void* openLibrary(const std::string& path, std::string& error);
// The address of an exported symbol, or null.
void* librarySymbol(void* library, const char* name);
void closeLibrary(void* library);

}  // namespace tb::platform
