#include "testbed/platform/Files.h"

namespace tb::platform {

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec) {
  // rename(2) replaces the target atomically.
  std::filesystem::rename(from, to, ec);
}

}  // namespace tb::platform
