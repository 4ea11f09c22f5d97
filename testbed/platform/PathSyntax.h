// How the system writes paths: Windows takes backslashes as well as slashes, and drive letters.
#pragma once

#include <filesystem>
#include <string>

namespace tb::platform {

#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
inline constexpr const char* kPreferredSeparator = "\\";
#else
inline constexpr const char* kPathSeparators = "/";
inline constexpr const char* kPreferredSeparator = "/";
#endif

inline bool isAbsolutePath(const std::string& path) {
#ifdef _WIN32
  // "\dir\file" and "/dir/file" start at the root of the current drive.
  return !path.empty() &&
         (path[0] == '/' || path[0] == '\\' || std::filesystem::path(path).is_absolute());
#else
  return !path.empty() && path[0] == '/';
#endif
}

}  // namespace tb::platform
