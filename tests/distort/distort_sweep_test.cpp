// The distort effect's three host-calling handlers under failure: every host call failed in turn
// and every abort poll answered with a cancel. Nothing may stay held, quiet-errors mode must be
// over, and the status must be the injected one or, where a later poll stands in for it, none.
#include <algorithm>
#include <set>

#include "tests/distort/DistortFixture.h"
#include "tests/support/Modules.h"

namespace {

using extest::makeRecord;

bool IsRelease(const std::string& call) {
  return call == "AEGP_DisposeEffect" || call == "AEGP_DisposeStream" ||
         call == "AEGP_DisposeStreamValue";
}

class DistortSweepTest : public dtest::DistortTest {
 protected:
  void SetUp() override {
    DistortTest::SetUp();
    tb::Module* mask = &host_.load(tbtest::modulePath("TOLV_Mask"));
    apply(mask);
    tb::Effect& from = sender();
    d_ = &distort();
    sender();
    engine();
    for (int slot : {0, 2}) {
      auto record = makeRecord({3, slot, 1, static_cast<uint32_t>(slot)}, 3, 1.0f);
      ASSERT_EQ(send(from, *record).err, PF_Err_NONE);
    }
    host_.clearEngineRecords();
  }

  struct Outcome {
    tb::CommandResult result;
    bool copied = true;
  };

  Outcome runRender() {
    dtest::RenderRun run = render(*d_);
    return {run.result, run.copied()};
  }
  // Every box starts shown, so that each run changes the same flags.
  Outcome runUi() {
    std::fill(d_->streamFlags.begin(), d_->streamFlags.end(), 0);
    return {updateUi(*d_), true};
  }
  Outcome runLaunch() { return {launch(*d_, LAUNCH_DISTORTER), true}; }

  // replaced: calls whose failure a later abort poll stands in for (the result is none);
  // reported: calls whose failure must be the result. Any other failure may be either, or an
  // error the handler meets anyway (a script that fails).
  template <class Run>
  void sweepCalls(Run run, const std::set<std::string>& replaced,
                  const std::set<std::string>& reported, PF_Err met_anyway = PF_Err_NONE) {
    // The host counts the receiver's calls with the sender's, so the sweep reaches them too.
    const std::vector<std::string> calls = run().result.report.allCalls;
    ASSERT_FALSE(calls.empty());
    for (size_t i = 0; i < calls.size(); ++i) {
      const std::string& call = calls[i];
      SCOPED_TRACE("failing call " + std::to_string(i) + " " + call);
      host_.clearEngineRecords();
      tb::FaultPlan plan;
      plan.failCall = static_cast<int>(i);
      plan.failWith = PF_Err_OUT_OF_MEMORY;
      host_.ledger().arm(plan);
      const Outcome o = run();
      host_.ledger().disarm();
      const tb::CommandReport& report = o.result.report;
      const bool refusedRelease = IsRelease(call) || call == "AEGP_EndQuietErrors";
      // A release the host refused leaves exactly that behind, and that is the one violation.
      EXPECT_LE(report.held.size(), refusedRelease ? 1u : 0u);
      EXPECT_EQ(host_.ledger().violations().size(), refusedRelease ? 1u : 0u);
      host_.ledger().clearViolations();
      host_.log().quietDepth = 0;
      if (call == "AcquireSuite") {
        // The handler's own suite is a missing suite; a receiver's is the refused hand-off.
        EXPECT_TRUE(o.result.err == PF_Err_BAD_CALLBACK_PARAM || o.result.err == PF_Err_NONE ||
                    o.result.err == met_anyway);
      } else if (replaced.count(call)) {
        EXPECT_EQ(o.result.err, PF_Err_NONE);
      } else if (reported.count(call)) {
        EXPECT_EQ(o.result.err, PF_Err_OUT_OF_MEMORY);
      } else {
        EXPECT_TRUE(o.result.err == PF_Err_OUT_OF_MEMORY || o.result.err == PF_Err_NONE ||
                    o.result.err == met_anyway);
      }
      if (o.result.err == PF_Err_NONE) {
        EXPECT_TRUE(o.copied);
      }
    }
  }

  template <class Run>
  void sweepPolls(Run run, int unused_polls) {
    const int polls = run().result.report.polls;
    ASSERT_GT(polls, 0);
    for (int i = 0; i < polls; ++i) {
      SCOPED_TRACE("cancelling poll " + std::to_string(i));
      host_.clearEngineRecords();
      tb::FaultPlan plan;
      plan.cancelPoll = i;
      host_.ledger().arm(plan);
      const Outcome o = run();
      host_.ledger().disarm();
      EXPECT_TRUE(o.result.report.clean());
      EXPECT_EQ(host_.log().quietDepth, 0);
      if (i >= polls - unused_polls) {  // a poll whose answer is not used
        EXPECT_EQ(o.result.err, PF_Err_NONE);
        EXPECT_TRUE(o.copied);
      } else {
        EXPECT_EQ(o.result.err, PF_Interrupt_CANCEL);
        EXPECT_EQ(o.result.report.polls, i + 1);
        EXPECT_TRUE(host_.engineRecords().size() <= 2u);
      }
    }
  }

  tb::Effect* d_ = nullptr;
};

TEST_F(DistortSweepTest, aCleanRenderServesTheRendererWithBothSlots) {
  const Outcome o = runRender();
  EXPECT_EQ(o.result.err, PF_Err_NONE);
  EXPECT_TRUE(o.copied);
  EXPECT_EQ(host_.engineRecords().size(), 2u);
  EXPECT_EQ(o.result.report.polls, 6);
  const std::vector<std::string>& calls = o.result.report.calls;
  EXPECT_EQ(*std::find_if(calls.begin(), calls.end(),
                          [](const std::string& c) { return c != "AcquireSuite"; }),
            "AEGP_StartQuietErrors");
  EXPECT_EQ(o.result.report.calls.back(), "AEGP_EndQuietErrors");
}

TEST_F(DistortSweepTest, renderUnderEveryFailedCall) {
  sweepCalls([&] { return runRender(); },
             {"AEGP_StartQuietErrors", "host_get_handle_size", "AEGP_GetNewEffectForEffect",
              "AEGP_GetEffectLayer", "AEGP_GetLayerNumEffects", "AEGP_GetNewEffectStreamByIndex",
              "AEGP_GetNewParentStreamRef", "AEGP_GetStreamIndexInParent", "AEGP_DisposeStream",
              "AEGP_GetLayerEffectByIndex", "AEGP_EffectCallGeneric"},
             {"copyWorldCallback", "AEGP_EndQuietErrors"});
}

TEST_F(DistortSweepTest, aRefusedRecordStopsTheSendingButNotTheFrame) {
  const std::vector<std::string> calls = runRender().result.report.calls;
  const auto first = std::find(calls.begin(), calls.end(), "AEGP_EffectCallGeneric");
  ASSERT_NE(first, calls.end());
  host_.clearEngineRecords();
  tb::FaultPlan plan;
  plan.failCall = static_cast<int>(first - calls.begin());
  host_.ledger().arm(plan);
  const Outcome o = runRender();
  host_.ledger().disarm();
  EXPECT_EQ(o.result.err, PF_Err_NONE);
  EXPECT_TRUE(o.copied);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_EQ(std::count(o.result.report.calls.begin(), o.result.report.calls.end(),
                       "AEGP_EffectCallGeneric"),
            1);
}

TEST_F(DistortSweepTest, renderUnderEveryCancel) {
  sweepPolls([&] { return runRender(); }, 1);
}

TEST_F(DistortSweepTest, exclusionBoxesUnderEveryFailedCall) {
  sweepCalls([&] { return runUi(); }, {"AEGP_GetNewEffectForEffect", "AEGP_GetLayerEffectByIndex"},
             {});
}

TEST_F(DistortSweepTest, exclusionBoxesUnderEveryCancel) {
  sweepPolls([&] { return runUi(); }, 0);
}

TEST_F(DistortSweepTest, launchUnderEveryFailedCall) {
  // No layer is selected, so the launch script fails; that failure comes first when it is met.
  sweepCalls([&] { return runLaunch(); }, {}, {"AEGP_ExecuteScript"}, A_Err_GENERIC);
}

// A missing suite unwinds through the scope guards: everything is released and quiet mode ends.
TEST_F(DistortSweepTest, aWithheldSuiteEndsEachHandlerCleanly) {
  tb::FaultPlan plan;
  plan.withheld.insert({kAEGPDynamicStreamSuite, 5});
  for (int handler = 0; handler < 3; ++handler) {
    SCOPED_TRACE("handler " + std::to_string(handler));
    host_.ledger().arm(plan);
    const Outcome o = handler == 0 ? runRender() : handler == 1 ? runUi() : runLaunch();
    host_.ledger().disarm();
    EXPECT_EQ(o.result.err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(o.result.report.clean());
    EXPECT_EQ(host_.log().quietDepth, 0);
  }
  EXPECT_TRUE(host_.engineRecords().empty());
}

TEST_F(DistortSweepTest, launchUnderEveryCancel) {
  sweepPolls([&] { return runLaunch(); }, 0);
}

}  // namespace
