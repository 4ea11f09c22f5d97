// "AEGP Utility Suite" version 11: registration, quiet errors, scripts.
#include "testbed/host/Host.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/script/ScriptRunner.h"

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

AEGP_MemHandle textHandle(Host& host, const std::string& text) {
  return reinterpret_cast<AEGP_MemHandle>(host.newRef<MemHandleObject>("mem handle", text));
}

// The script runs to its end or to an uncaught error, which the host answers with A_Err_GENERIC.
// The result and error handles are optional; each one asked for is filled (with an empty text when
// there is nothing to say) and belongs to the plug-in from then on.
A_Err AEGP_ExecuteScript(AEGP_PluginID, const A_char* script, const A_Boolean,
                         AEGP_MemHandle* resultPH0, AEGP_MemHandle* errorPH0) {
  TB_ENTER();
  if (!script)
    return A_Err_PARAMETER;
  Host& host = Host::current();
  const ScriptOutcome outcome = runScript(host, script);
  const A_Err err = outcome.ok ? A_Err_NONE : A_Err_GENERIC;
  host.log().scripts.push_back({script, err, outcome.error});
  if (resultPH0)
    *resultPH0 = textHandle(host, outcome.result);
  if (errorPH0)
    *errorPH0 = textHandle(host, outcome.error);
  return err;
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
