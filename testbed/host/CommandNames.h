// Names of the commands the host sends, for reports and violations.
#pragma once

#include <string>

namespace tb {

// The name of the command an instance was sent ("RENDER", "idle hook", ...).
std::string commandName(int cmd);

}  // namespace tb
