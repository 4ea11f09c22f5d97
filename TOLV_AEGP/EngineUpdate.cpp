#include "TOLV_AEGP/EngineUpdate.h"

#include "TOLV_AEGP/EngineStep.h"
#include "TOLV_AEGP/EngineUpdateScript.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EntryGuard.h"
#include "common/HostStatus.h"

AEGP_PluginID g_pluginID = 0;
SPBasicSuite* g_basicSuite = nullptr;
A_Boolean engineUpdatePending = 0;

namespace {

// The host command issued at every frame of the cycle.
constexpr AEGP_Command kEngineStepCommand = 2372;

// The times of the active composition that decide the step.
struct CompTimes {
  AEGP_CompH comp = nullptr;
  A_Time now{0, 0};
  A_Time start{0, 0};
  A_Time span{0, 0};
  A_Time frame{0, 0};
};

void ReadCompTimes(const AEGP_SuiteHandler& suites, HostStatus& status, AEGP_ItemH item,
                   CompTimes& t) {
  status.call([&] { return suites.CompSuite15()->AEGP_GetCompFromItem(item, &t.comp); });
  status.call([&] { return suites.ItemSuite13()->AEGP_GetItemCurrentTime(item, &t.now); });
  status.call([&] { return suites.CompSuite15()->AEGP_GetCompWorkAreaStart(t.comp, &t.start); });
  status.call([&] { return suites.CompSuite15()->AEGP_GetCompWorkAreaDuration(t.comp, &t.span); });
  status.call([&] { return suites.CompSuite15()->AEGP_GetCompFrameDuration(t.comp, &t.frame); });
}

// The request flag is cleared whatever the script answered, so that a failing script does not run
// again on every idle call.
void FinishCycle(const AEGP_SuiteHandler& suites, HostStatus& status, AEGP_ItemH item,
                 A_Time zero) {
  status.call([&] {
    return suites.UtilitySuite11()->AEGP_ExecuteScript(0, kEngineUpdateScript, true, nullptr,
                                                       nullptr);
  });
  engineUpdatePending = 0;
  status.call([&] { return suites.ItemSuite13()->AEGP_SetItemCurrentTime(item, &zero); });
}

A_Err StepEngineUpdate() {
  AEGP_SuiteHandler suites(g_basicSuite);
  HostStatus status(nullptr);  // a general plug-in has no abort poll to ask
  AEGP_ItemH item = nullptr;
  status.call([&] { return suites.ItemSuite13()->AEGP_GetActiveItem(&item); });
  if (!status.ok() || !item)
    return status.err();
  AEGP_ItemType type = AEGP_ItemType_NONE;
  status.call([&] { return suites.ItemSuite13()->AEGP_GetItemType(item, &type); });
  if (!status.ok() || type != AEGP_ItemType_COMP)
    return status.err();

  CompTimes t;
  ReadCompTimes(suites, status, item, t);
  if (!status.ok())
    return status.err();
  const EngineStep step = PlanEngineStep(t.now, t.start, t.span, t.frame);
  if (step.kind == EngineStepKind::kAdvance) {
    status.call([&] { return suites.CommandSuite1()->AEGP_DoCommand(kEngineStepCommand); });
    status.call([&] { return suites.ItemSuite13()->AEGP_SetItemCurrentTime(item, &step.time); });
  } else if (step.kind == EngineStepKind::kFinish) {
    FinishCycle(suites, status, item, step.time);
  }
  return status.err();
}

}  // namespace

A_Err SetEngineUpdatePending(A_Boolean pending) {
  engineUpdatePending = pending;
  return A_Err_NONE;
}

// The host's idle loop is C: a missing suite must come back as an error, never unwind into it.
A_Err EngineUpdateIdleHook(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*) {
  if (!engineUpdatePending)
    return A_Err_NONE;
  return GuardedCommand([] { return StepEngineUpdate(); });
}
