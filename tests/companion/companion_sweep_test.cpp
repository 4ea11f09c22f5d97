// The general plug-in under failure: every host call of its entry point and of its idle hook is
// failed in turn and every suite it takes is withheld. The status must be the injected one,
// nothing may stay held, the chain must stop at the failure, and the request must end only once
// the script was tried.
#include "tests/companion/CompanionFixture.h"

namespace {

using comptest::CompanionTest;
using comptest::g_scriptRuns;

// Each suite is acquired just before its first use; the acquisitions are host calls too.
const std::vector<std::string> kReads = {
    "AcquireSuite",
    "AEGP_GetActiveItem",
    "AEGP_GetItemType",
    "AcquireSuite",
    "AEGP_GetCompFromItem",
    "AEGP_GetItemCurrentTime",
    "AEGP_GetCompWorkAreaStart",
    "AEGP_GetCompWorkAreaDuration",
    "AEGP_GetCompFrameDuration",
};

// A failed acquisition is a missing suite; any other failed call is its own status.
A_Err statusFor(const std::string& call, A_Err injected) {
  return call == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : injected;
}

std::vector<std::string> withReads(std::vector<std::string> tail) {
  std::vector<std::string> calls = kReads;
  calls.insert(calls.end(), tail.begin(), tail.end());
  return calls;
}

class CompanionSweep : public CompanionTest {
 protected:
  // Runs the hook once with the plan armed.
  comptest::HookRun failedRun(const tb::FaultPlan& plan) {
    host_.ledger().arm(plan);
    comptest::HookRun run = idleOnce();
    host_.ledger().disarm();
    return run;
  }
  bool stillRequested() { return !idleOnce().report.calls.empty(); }
};

TEST_F(CompanionSweep, aStepAndAFinishMakeTheseCallsInThisOrder) {
  ASSERT_EQ(request(1), A_Err_NONE);
  comptest::HookRun step = idleOnce();
  EXPECT_EQ(step.err, A_Err_NONE);
  EXPECT_TRUE(step.report.clean());
  EXPECT_EQ(step.report.allCalls,
            withReads({"AcquireSuite", "AEGP_DoCommand", "AEGP_SetItemCurrentTime"}));
  comp_->currentTime = comp_->workDuration;
  comptest::HookRun finish = idleOnce();
  EXPECT_EQ(finish.err, A_Err_NONE);
  EXPECT_TRUE(finish.report.clean());
  EXPECT_EQ(finish.report.allCalls,
            withReads({"AcquireSuite", "AEGP_ExecuteScript", "AEGP_SetItemCurrentTime"}));
}

TEST_F(CompanionSweep, eachFailedCallOfAStepIsTheStatusAndTheRequestStays) {
  const std::vector<std::string> calls =
      withReads({"AcquireSuite", "AEGP_DoCommand", "AEGP_SetItemCurrentTime"});
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE("failing " + calls[i]);
    host_.log().commands.clear();
    comp_->currentTime = {0, 2500};
    ASSERT_EQ(request(1), A_Err_NONE);
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = A_Err_ALLOC;
    comptest::HookRun run = failedRun(plan);
    EXPECT_EQ(run.err, statusFor(calls[i], A_Err_ALLOC));
    EXPECT_TRUE(run.report.clean());
    EXPECT_EQ(run.report.allCalls.size(), i + 1);  // nothing after the failure
    EXPECT_EQ(stepCommands(), calls[i] == "AEGP_SetItemCurrentTime" ? 1 : 0);
    EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
    EXPECT_TRUE(stillRequested());
  }
}

TEST_F(CompanionSweep, eachFailedCallOfAFinishIsTheStatusAndEndsTheRequestOnceTheScriptRan) {
  const std::vector<std::string> calls =
      withReads({"AcquireSuite", "AEGP_ExecuteScript", "AEGP_SetItemCurrentTime"});
  const size_t script = calls.size() - 2;
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE("failing " + calls[i]);
    g_scriptRuns.clear();
    comp_->currentTime = comp_->workDuration;
    ASSERT_EQ(request(1), A_Err_NONE);
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = A_Err_PARAMETER;
    comptest::HookRun run = failedRun(plan);
    EXPECT_EQ(run.err, statusFor(calls[i], A_Err_PARAMETER));
    EXPECT_TRUE(run.report.clean());
    EXPECT_EQ(run.report.allCalls.size(), i + 1);
    EXPECT_EQ(comp_->currentTime, comp_->workDuration);
    const bool scriptTried = i >= script;
    EXPECT_EQ(g_scriptRuns.size(), calls[i] == "AEGP_SetItemCurrentTime" ? 1u : 0u);
    EXPECT_EQ(stillRequested(), !scriptTried);
    ASSERT_EQ(request(0), A_Err_NONE);
  }
}

TEST_F(CompanionSweep, aWithheldSuiteIsAnsweredWithBadCallbackParamAndNothingHeld) {
  const std::pair<const char*, int> suites[] = {
      {kAEGPItemSuite, 13}, {kAEGPCompSuite, 15}, {kAEGPCommandSuite, 1}};
  for (const auto& suite : suites) {
    SCOPED_TRACE(suite.first);
    comp_->currentTime = {0, 2500};
    ASSERT_EQ(request(1), A_Err_NONE);
    tb::FaultPlan plan;
    plan.withheld.insert(suite);
    comptest::HookRun run = failedRun(plan);
    EXPECT_EQ(run.err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(run.report.clean());
    EXPECT_TRUE(stillRequested());
  }
  // Without the script runner the request waits for it instead of being dropped.
  comp_->currentTime = comp_->workDuration;
  tb::FaultPlan plan;
  plan.withheld.insert({kAEGPUtilitySuite, 11});
  comptest::HookRun run = failedRun(plan);
  EXPECT_EQ(run.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(run.report.clean());
  EXPECT_TRUE(g_scriptRuns.empty());
  EXPECT_TRUE(stillRequested());
}

// The entry point runs once per module load; each case loads a fresh copy into a fresh host.
struct EntryRun {
  A_Err err;
  std::vector<std::string> problems;
  size_t hooks;
  size_t published;
};

EntryRun loadWith(const tb::FaultPlan& plan) {
  tb::Host host;
  host.ledger().arm(plan);
  tb::Module& m = host.load(tbtest::modulePath("TOLV_AEGP"), true);
  host.ledger().disarm();
  EntryRun run{m.globalSetupErr, m.globalSetupProblems, host.idleHooks().size(),
               host.suites().published().size()};
  host.quit();
  tbtest::checkViolations(host.ledger(), {});
  return run;
}

TEST(CompanionEntrySweep, eachFailedCallIsTheEntrysResultAndNothingIsHeld) {
  // The register suite comes through the suite handler, so its failed acquisition is the missing
  // suite; the suite list is taken from the broker directly, so its failure is passed on as is.
  struct Case {
    const char* failing;
    A_Err err;
    size_t hooks;
  } cases[] = {{"AcquireSuite (register)", PF_Err_BAD_CALLBACK_PARAM, 0},
               {"AEGP_RegisterIdleHook", A_Err_ALLOC, 0},
               {"AcquireSuite (suite list)", A_Err_ALLOC, 1},
               {"AddSuite", A_Err_ALLOC, 1}};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(cases[i].failing);
    tb::FaultPlan plan;
    plan.failCall = i;
    plan.failWith = A_Err_ALLOC;
    EntryRun run = loadWith(plan);
    EXPECT_EQ(run.err, cases[i].err);
    EXPECT_TRUE(run.problems.empty());
    EXPECT_EQ(run.hooks, cases[i].hooks);
    EXPECT_EQ(run.published, 0u);
  }
  tb::FaultPlan past;
  past.failCall = 4;  // there is no fifth call: start-up succeeds
  EntryRun run = loadWith(past);
  EXPECT_EQ(run.err, A_Err_NONE);
  EXPECT_EQ(run.hooks, 1u);
  EXPECT_EQ(run.published, 1u);
}

TEST(CompanionEntrySweep, withheldSuitesEndStartUpWhereTheyAreNeeded) {
  tb::FaultPlan noRegister;
  noRegister.withheld.insert({kAEGPRegisterSuite, 6});
  EntryRun run = loadWith(noRegister);
  EXPECT_EQ(run.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(run.problems.empty());
  EXPECT_EQ(run.hooks, 0u);
  EXPECT_EQ(run.published, 0u);

  tb::FaultPlan noBroker;
  noBroker.withheld.insert({"SP Suites Suite", 2});
  run = loadWith(noBroker);
  EXPECT_EQ(run.err, tb::kSPSuiteNotFoundError);
  EXPECT_TRUE(run.problems.empty());
  EXPECT_EQ(run.hooks, 1u);  // registered before publishing failed, and kept
  EXPECT_EQ(run.published, 0u);
}

}  // namespace
