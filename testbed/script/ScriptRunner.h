// Running script text as the host's script engine does: non-strict JavaScript over the live
// project, through the object model of ObjectModel.h.
#pragma once

#include <string>

namespace tb {

class Host;

// What one run came to: the value of the last statement as text when the script ran to its end,
// else the message of the uncaught error that stopped it ("Error: ...", "TypeError: ...").
struct ScriptOutcome {
  bool ok = false;
  std::string result;
  std::string error;
};

// Each run starts from a fresh global environment, so that one script's variables never reach
// the next.
ScriptOutcome runScript(Host& host, const std::string& text);

}  // namespace tb
