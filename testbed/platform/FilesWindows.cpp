#include <windows.h>

#include "testbed/platform/Files.h"

namespace tb::platform {

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec) {
  // Without MOVEFILE_REPLACE_EXISTING a rename onto an existing file fails on Windows.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    ec.clear();
  else
    ec = std::error_code(static_cast<int>(::GetLastError()), std::system_category());
}

}  // namespace tb::platform
