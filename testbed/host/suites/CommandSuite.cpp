// "AEGP Command Suite" version 1: menu commands, logged by number for tests and reports.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_DoCommand(AEGP_Command command) {
  TB_ENTER();
  Host::current().log().commands.push_back(command);
  return A_Err_NONE;
}

const AEGP_CommandSuite1 kCommand1 = {AEGP_DoCommand};

}  // namespace

void registerCommandSuites(SuiteTable& table) {
  table.add(kAEGPCommandSuite, 1, &kCommand1);
}

}  // namespace tb
