#include "testbed/host/CommandNames.h"

#include "testbed/host/Host.h"

namespace tb {

std::string commandName(int cmd) {
  static const char* const names[] = {"ABOUT",
                                      "GLOBAL_SETUP",
                                      "UNUSED_0",
                                      "GLOBAL_SETDOWN",
                                      "PARAMS_SETUP",
                                      "SEQUENCE_SETUP",
                                      "SEQUENCE_RESETUP",
                                      "SEQUENCE_FLATTEN",
                                      "SEQUENCE_SETDOWN",
                                      "DO_DIALOG",
                                      "FRAME_SETUP",
                                      "RENDER",
                                      "FRAME_SETDOWN",
                                      "USER_CHANGED_PARAM",
                                      "UPDATE_PARAMS_UI",
                                      "EVENT",
                                      "GET_EXTERNAL_DEPENDENCIES",
                                      "COMPLETELY_GENERAL",
                                      "QUERY_DYNAMIC_FLAGS"};
  if (cmd == SentCommand::kIdleHook)
    return "idle hook";
  if (cmd >= 0 && static_cast<size_t>(cmd) < sizeof names / sizeof names[0])
    return names[cmd];
  return std::to_string(cmd);
}

}  // namespace tb
