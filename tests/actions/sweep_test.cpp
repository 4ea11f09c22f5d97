// The mask effect's UI handlers under failure: every host call each makes is failed in turn, and
// every abort poll answered with a cancel. The status must be the injected one, nothing may stay
// held but a reference whose release was refused, and no call but a release (or the acquisition of
// the suite that makes it) may follow a failure.
#include <algorithm>
#include <set>

#include "tests/actions/ActionsFixture.h"

namespace {

constexpr A_Err kInjected = PF_Err_OUT_OF_MEMORY;

bool isRelease(const std::string& call) {
  static const std::set<std::string> releases = {
      "AEGP_DisposeEffect",   "AEGP_DisposeStream", "AEGP_DisposeStreamValue", "AEGP_DisposeMask",
      "AEGP_EndAddKeyframes", "checkinParam",       "AEGP_EndQuietErrors"};
  return releases.count(call) != 0;
}

class HandlerSweepTest;

struct Scenario {
  const char* name;
  void (*setUp)(HandlerSweepTest&);
  PF_Cmd cmd;
  int param;  // the changed control, for USER_CHANGED_PARAM
  bool rebuildRunsAfterFailure = false;
  void (*beforeRun)(HandlerSweepTest&) = nullptr;
  // The one script the handler runs adds an effect, whose setup the host runs inside the script.
  bool scriptAddsEffect = false;
};

// The positions in `report.allCalls` of the calls made inside the handler's one script: right
// after AEGP_ExecuteScript, as many as the nested commands made.
std::pair<size_t, size_t> callsInScript(const tb::CommandReport& report) {
  const auto& calls = report.calls;
  const size_t script = std::find(calls.begin(), calls.end(), "AEGP_ExecuteScript") - calls.begin();
  return {script + 1, script + 1 + report.allCalls.size() - calls.size()};
}

class HandlerSweepTest : public actest::ActionsTest,
                         public ::testing::WithParamInterface<Scenario> {
 public:
  using ActionsTest::applyEngine;
  using ActionsTest::applyMask;
  using ActionsTest::applySetUpMask;
  using ActionsTest::comp_;
  using ActionsTest::host_;
  using ActionsTest::useRows;
  tb::Effect* effect_ = nullptr;

 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    comp_->duration = {250, 25};
    GetParam().setUp(*this);
    effect_ = nullptr;
    for (auto& e : layer_->effects)
      if (e->module == mask_)
        effect_ = e.get();
    ASSERT_NE(effect_, nullptr);
    for (auto& e : layer_->effects)
      saved_.push_back({e.get(), e->params, e->layerIds, e->streamFlags});
    layers_ = comp_->layers.size();
  }

  // Every run starts from the same project: values and flags as set up, no light made by a run.
  void restore() {
    for (Saved& s : saved_) {
      s.effect->params = s.params;
      s.effect->layerIds = s.layerIds;
      s.effect->streamFlags = s.streamFlags;
    }
    while (comp_->layers.size() > layers_)
      host_.deleteLayer(*comp_->layers.front());
    // Effects a script added in an earlier run go again.
    for (size_t i = layer_->effects.size(); i-- > 0;) {
      tb::Effect* e = layer_->effects[i].get();
      if (std::none_of(saved_.begin(), saved_.end(), [&](const Saved& s) { return s.effect == e; }))
        host_.removeEffect(*e);
    }
  }

  tb::CommandResult run() {
    restore();
    if (GetParam().beforeRun)
      GetParam().beforeRun(*this);
    if (GetParam().cmd == PF_Cmd_UPDATE_PARAMS_UI)
      return updateUi(*effect_);
    return changed(*effect_, GetParam().param);
  }

  struct Saved {
    tb::Effect* effect;
    std::vector<PF_ParamDef> params;
    std::vector<AEGP_LayerIDVal> layerIds;
    std::vector<AEGP_DynStreamFlags> streamFlags;
  };
  void expectScriptSwallows(size_t i, const std::vector<std::string>& cleanCalls);

  std::vector<Saved> saved_;
  size_t layers_ = 0;
};

TEST_P(HandlerSweepTest, aCleanRunSucceedsAndHoldsNothing) {
  tb::CommandResult r = run();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean()) << ::testing::PrintToString(r.report.held);
  EXPECT_GT(r.report.calls.size(), 10u);
}

TEST_P(HandlerSweepTest, eachFailedCallIsTheStatusAndEverythingIsReleased) {
  const tb::CommandReport cleanReport = run().report;
  const std::vector<std::string>& clean = cleanReport.allCalls;
  const std::pair<size_t, size_t> inScript =
      GetParam().scriptAddsEffect ? callsInScript(cleanReport) : std::pair<size_t, size_t>{0, 0};
  for (size_t i = 0; i < clean.size(); ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i) + " " + clean[i]);
    if (i >= inScript.first && i < inScript.second) {
      expectScriptSwallows(i, cleanReport.calls);
      continue;
    }
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = kInjected;
    host_.ledger().arm(plan);
    tb::CommandResult r = run();
    host_.ledger().disarm();
    const std::string& failed = r.report.allCalls.at(i);
    EXPECT_EQ(failed, clean[i]);
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(r.err, failed == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : kInjected);
    // A release the host refused leaves exactly that reference (or quiet-errors mode) behind, and
    // that is the one violation; anything else must leave nothing.
    const bool endQuiet = failed == "AEGP_EndQuietErrors";
    EXPECT_EQ(r.report.held.size(), isRelease(failed) && !endQuiet ? 1u : 0u)
        << ::testing::PrintToString(r.report.held);
    EXPECT_EQ(r.report.quietLeftOn, endQuiet ? 1 : 0);
    ASSERT_EQ(host_.ledger().violations().size(), isRelease(failed) ? 1u : 0u)
        << tb::describe(host_.ledger().violations().front());
    if (isRelease(failed)) {
      const std::string& what = host_.ledger().violations().front().what;
      EXPECT_EQ(what.rfind(endQuiet ? "left quiet-errors mode on" : "left held: ", 0), 0u) << what;
    }
    host_.ledger().clearViolations();
    // The rebuild of "Update:" runs whatever failed before it, with a status of its own.
    if (GetParam().rebuildRunsAfterFailure)
      continue;
    for (size_t k = i + 1; k < r.report.allCalls.size(); ++k)
      EXPECT_TRUE(isRelease(r.report.allCalls[k]) || r.report.allCalls[k] == "AcquireSuite")
          << r.report.allCalls[k] << " after the failure";
  }
}

// A call inside the script is the added effect's, not the handler's: the script's own try/catch
// takes the failure, so the handler goes on as in a clean run and holds nothing.
void HandlerSweepTest::expectScriptSwallows(size_t i, const std::vector<std::string>& cleanCalls) {
  tb::FaultPlan plan;
  plan.failCall = static_cast<int>(i);
  plan.failWith = kInjected;
  host_.ledger().arm(plan);
  tb::CommandResult r = run();
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean()) << ::testing::PrintToString(r.report.held);
  EXPECT_EQ(r.report.calls, cleanCalls);
  ASSERT_FALSE(host_.log().scripts.empty());
  EXPECT_EQ(host_.log().scripts.back().err, A_Err_NONE);
  EXPECT_TRUE(host_.ledger().violations().empty()) << tb::describe(host_.ledger().violations()[0]);
}

TEST_P(HandlerSweepTest, eachCancelledPollEndsTheCommandWithItsAnswer) {
  const int polls = run().report.polls;
  for (int i = 0; i < polls; ++i) {
    SCOPED_TRACE("cancelling poll " + std::to_string(i));
    tb::FaultPlan plan;
    plan.cancelPoll = i;
    host_.ledger().arm(plan);
    tb::CommandResult r = run();
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
    EXPECT_TRUE(r.report.clean()) << ::testing::PrintToString(r.report.held);
    if (!GetParam().rebuildRunsAfterFailure) {
      EXPECT_EQ(r.report.polls, i + 1);
    }
  }
}

TEST_P(HandlerSweepTest, aWithheldSuiteIsReportedAndNothingIsHeld) {
  tb::FaultPlan plan;
  plan.withheld.insert({kAEGPStreamSuite, 9});
  host_.ledger().arm(plan);
  tb::CommandResult r = run();
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(r.report.clean()) << ::testing::PrintToString(r.report.held);
}

const Scenario kScenarios[] = {
    {"UiWithLightPath",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       e.params[MASK_CREATE_LIGHT].u.bd.value = 1;
       e.params[MASK_SWEEP_INDEX].u.sd.value = 7;
       e.params[MASK_CREATE_LIGHT].flags = 0;
     },
     PF_Cmd_UPDATE_PARAMS_UI, 0},
    {"PathLightKeyedOnThreeRows",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       t.useRows(e, {0, 100, 200});
       e.params[MASK_CREATE_LIGHT].u.bd.value = 1;
       e.params[MASK_REFERENCE_SAMPLING].u.pd.value = 3;
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_CREATE_LIGHT},
    {"PathLightDeleted", [](HandlerSweepTest& t) { t.applySetUpMask(); }, PF_Cmd_USER_CHANGED_PARAM,
     MASK_CREATE_LIGHT, false,
     [](HandlerSweepTest& t) {
       tb::Layer& light = t.host_.createLight(*t.comp_, "'Morvane' path", {0, 0});
       t.effect_->params[MASK_SWEEP_INDEX].u.sd.value = light.id;
     }},
    {"FollowerLight",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       e.params[MASK_INHERIT_GEOMETRY].u.bd.value = 1;
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_INHERIT_GEOMETRY},
    {"SourceMirroredToTheSecondSlot",
     [](HandlerSweepTest& t) {
       t.applySetUpMask();
       t.applySetUpMask();
       t.applyEngine();
       t.host_.renderComp(*t.comp_, A_Time{0, t.comp_->timeScale});
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_COLOR_SOURCE},
    {"LaunchWithARendererBelow",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       t.applySetUpMask();
       t.applyEngine();
       e.params[MASK_LAUNCH].u.pd.value = 2;
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_LAUNCH},
    {"FirstChangeAddsTheRenderer", [](HandlerSweepTest& t) { t.applyMask(); },
     PF_Cmd_USER_CHANGED_PARAM, MASK_X_SUBDIVIDE, false, nullptr, true},
    {"LaunchTheDistorter",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       t.applyEngine();
       e.params[MASK_LAUNCH].u.pd.value = 3;
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_LAUNCH, false, nullptr, true},
    {"ForcedUpdate",
     [](HandlerSweepTest& t) {
       tb::Effect& e = t.applySetUpMask();
       e.params[MASK_UPDATE].u.pd.value = 2;
     },
     PF_Cmd_USER_CHANGED_PARAM, MASK_UPDATE, true},
};

INSTANTIATE_TEST_SUITE_P(MaskHandlers, HandlerSweepTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
