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

// What a start of quiet-errors mode writes into the state, so that the end can tell it from a
// state no start filled (the poison of a start that failed, say).
constexpr A_long kQuietStateMark = 0x51455252;  // 'QERR'

A_Err AEGP_StartQuietErrors(AEGP_ErrReportState* state) {
  TB_ENTER(state);
  if (!state)
    return A_Err_PARAMETER;
  Host::current().log().quietDepth++;
  Host::current().ledger().quietStarted();
  state->reserved[0] = kQuietStateMark;
  state->reserved[1] = Host::current().log().quietDepth;
  return A_Err_NONE;
}

A_Err AEGP_EndQuietErrors(A_Boolean, AEGP_ErrReportState* state) {
  TB_ENTER();
  if (!state)
    return A_Err_PARAMETER;
  if (state->reserved[0] != kQuietStateMark) {
    Host::current().ledger().violation(
        "AEGP_EndQuietErrors: the state is not one AEGP_StartQuietErrors filled");
    return A_Err_PARAMETER;
  }
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
  TB_ENTER(id);
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
// A plug-in id of 0 is taken as the host takes it: scripts may be run by no one in particular.
A_Err AEGP_ExecuteScript(AEGP_PluginID plugin_id, const A_char* script, const A_Boolean,
                         AEGP_MemHandle* resultPH0, AEGP_MemHandle* errorPH0) {
  if (plugin_id == 0)
    TB_ENTER(resultPH0, errorPH0);
  else
    TB_ENTER_AS(plugin_id, resultPH0, errorPH0);
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
