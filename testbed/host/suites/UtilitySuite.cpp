// "AEGP Utility Suite" version 11: registration, quiet errors, scripts.
#include "testbed/host/Host.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_ReportInfo(AEGP_PluginID plugin_id, const A_char* info) {
  TB_ENTER_AS(plugin_id);
  Host::current().log().alerts.push_back(info ? info : "");
  return A_Err_NONE;
}

A_Err AEGP_StartQuietErrors(AEGP_ErrReportState* state) {
  TB_ENTER();
  if (!state)
    return A_Err_PARAMETER;
  Host::current().log().quietDepth++;
  Host::current().ledger().quietStarted();
  return A_Err_NONE;
}

A_Err AEGP_EndQuietErrors(A_Boolean, AEGP_ErrReportState* state) {
  TB_ENTER();
  if (!state)
    return A_Err_PARAMETER;
  Host::current().log().quietDepth--;
  Host::current().ledger().quietEnded();
  return A_Err_NONE;
}

A_Err AEGP_StartUndoGroup(const A_char*) {
  TB_ENTER();
  return A_Err_NONE;
}

A_Err AEGP_EndUndoGroup() {
  TB_ENTER();
  return A_Err_NONE;
}

A_Err AEGP_RegisterWithAEGP(AEGP_GlobalRefcon, const A_char* name, AEGP_PluginID* id) {
  TB_ENTER();
  Module* module = Host::current().currentTarget().module;
  if (!name || !id || !module)
    return A_Err_PARAMETER;
  module->registeredName = name;
  module->pluginId = Host::current().registerPlugin(name);
  *id = module->pluginId;
  return A_Err_NONE;
}

// Scripts are logged; running them needs the script engine, which the testbed does not embed
// yet, so the host answers as for a script that failed.
A_Err AEGP_ExecuteScript(AEGP_PluginID, const A_char* script, const A_Boolean, AEGP_MemHandle*,
                         AEGP_MemHandle*) {
  TB_ENTER();
  if (!script)
    return A_Err_PARAMETER;
  Host::current().log().scripts.push_back(script);
  return A_Err_GENERIC;
}

const AEGP_UtilitySuite11 kUtility11 = {
    AEGP_ReportInfo,   AEGP_StartQuietErrors, AEGP_EndQuietErrors, AEGP_StartUndoGroup,
    AEGP_EndUndoGroup, AEGP_RegisterWithAEGP, AEGP_ExecuteScript,
};

}  // namespace

void registerUtilitySuites(SuiteTable& table) {
  table.add(kAEGPUtilitySuite, 11, &kUtility11);
}

}  // namespace tb
