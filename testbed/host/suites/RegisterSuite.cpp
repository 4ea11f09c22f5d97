// "AEGP Register Suite" version 6: idle hooks, run by Host::runIdle.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_RegisterIdleHook(AEGP_PluginID aegp_plugin_id, AEGP_IdleHook idle_func,
                            AEGP_IdleRefcon refconP) {
  TB_ENTER_AS(aegp_plugin_id);
  Host& host = Host::current();
  Module* module = host.currentTarget().module;
  if (!idle_func || !module || module->pluginId != aegp_plugin_id)
    return A_Err_PARAMETER;
  host.addIdleHook({module, aegp_plugin_id, idle_func, refconP});
  return A_Err_NONE;
}

const AEGP_RegisterSuite6 kRegister6 = {AEGP_RegisterIdleHook};

}  // namespace

void registerRegisterSuites(SuiteTable& table) {
  table.add(kAEGPRegisterSuite, 6, &kRegister6);
}

}  // namespace tb
