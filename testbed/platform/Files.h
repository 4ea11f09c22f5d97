// Replacing a file by another in one step, so that readers see the old file or the new one whole.
#pragma once

#include <filesystem>
#include <system_error>

namespace tb::platform {

// Renames from to to, replacing a file that is there; sets ec on failure.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::error_code& ec);

}  // namespace tb::platform
