// The sender under failure: every host call it makes is failed in turn, and every abort poll
// answered with a cancel. The status must be the injected one, nothing may stay held, and no call
// but a release may follow a failure.
#include <algorithm>
#include <set>

#include "tests/exchange/ExchangeFixture.h"

namespace {

using extest::makeRecord;

class SenderSweepTest : public extest::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    above_ = &engine();
    sender_effect_ = &sender();
    sender();  // a non-receiver in the walk
    receiver_ = &engine();
    record_ = makeRecord({3, 0, 1, 1}, 3, 1.0f);
  }

  tb::CommandResult run() { return send(*sender_effect_, *record_); }

  static bool isRelease(const std::string& call) {
    return call == "AEGP_DisposeEffect" || call == "AEGP_DisposeStream";
  }

  tb::Effect* above_ = nullptr;
  tb::Effect* sender_effect_ = nullptr;
  tb::Effect* receiver_ = nullptr;
  std::unique_ptr<MeshSlot> record_;
};

TEST_F(SenderSweepTest, aCleanRunServesTheReceiverOnce) {
  tb::CommandResult r = run();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(host_.engineRecords()[0].effect, receiver_);
  const std::vector<std::string> expected = {
      "AcquireSuite",
      "AcquireSuite",
      "AEGP_GetNewEffectForEffect",
      "AEGP_GetEffectLayer",
      "AEGP_GetLayerNumEffects",
      "AcquireSuite",
      "AEGP_GetNewEffectStreamByIndex",
      "AcquireSuite",
      "AEGP_GetNewParentStreamRef",
      "AEGP_GetStreamIndexInParent",
      "AEGP_DisposeStream",
      "AEGP_DisposeStream",
      "AEGP_GetLayerEffectByIndex",
      "AEGP_GetInstalledKeyFromLayerEffect",
      "AEGP_GetEffectMatchName",
      "AEGP_DisposeEffect",
      "AEGP_GetLayerEffectByIndex",
      "AEGP_GetInstalledKeyFromLayerEffect",
      "AEGP_GetEffectMatchName",
      "AEGP_EffectCallGeneric",
      "AEGP_DisposeEffect",
      "AEGP_DisposeEffect",
  };
  EXPECT_EQ(r.report.calls, expected);
  EXPECT_EQ(r.report.allCalls, expected);  // the receiver's general command makes no host call
  EXPECT_EQ(r.report.polls, 4);
  const std::vector<std::pair<std::string, int>> suites = {{kAEGPEffectSuite, 2},
                                                           {kAEGPPFInterfaceSuite, 1},
                                                           {kAEGPStreamSuite, 9},
                                                           {kAEGPDynamicStreamSuite, 5}};
  EXPECT_EQ(r.report.suites, suites);
}

TEST_F(SenderSweepTest, eachFailedCallIsTheStatusAndEverythingIsReleased) {
  const size_t calls = run().report.calls.size();
  host_.clearEngineRecords();
  for (size_t i = 0; i < calls; ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i));
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    tb::CommandResult r = run();
    host_.ledger().disarm();
    const std::string& failed = r.report.calls.at(i);
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(r.err, failed == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_OUT_OF_MEMORY);
    // A release the host refused leaves exactly that reference behind; anything else must not.
    EXPECT_EQ(r.report.held.size(), isRelease(failed) ? 1u : 0u);
    for (size_t k = i + 1; k < r.report.calls.size(); ++k)
      EXPECT_TRUE(isRelease(r.report.calls[k])) << r.report.calls[k] << " after the failure";
    const bool served_before = failed == "AEGP_DisposeEffect" && i + 2 >= calls;
    EXPECT_EQ(host_.engineRecords().size(), served_before ? 1u : 0u);
    host_.clearEngineRecords();
    // The reference the host refused to take back is the sender's one violation.
    ASSERT_EQ(host_.ledger().violations().size(), isRelease(failed) ? 1u : 0u);
    if (isRelease(failed)) {
      const tb::Violation& v = host_.ledger().violations()[0];
      EXPECT_EQ(v.module, "ZEK TOLV_TestSender");
      EXPECT_EQ(v.command, "RENDER");
      EXPECT_EQ(v.what.rfind("left held: ", 0), 0u) << v.what;
    }
    host_.ledger().clearViolations();
  }
}

// The count of host calls runs on into the receiver's general command, so that a sweep through the
// sender reaches the receiver's own calls: here its resize of a store of the wrong size.
TEST_F(SenderSweepTest, aSweepThroughTheSenderReachesTheReceiversCalls) {
  ASSERT_EQ(host_.resizeHandle(1000, &receiver_->sequenceData), PF_Err_NONE);
  tb::CommandResult clean = run();
  ASSERT_EQ(clean.err, PF_Err_NONE);
  const std::vector<std::string>& all = clean.report.allCalls;
  const auto resize = std::find(all.begin(), all.end(), "host_resize_handle");
  ASSERT_NE(resize, all.end());
  EXPECT_EQ(std::count(clean.report.calls.begin(), clean.report.calls.end(), "host_resize_handle"),
            0);
  ASSERT_EQ(host_.resizeHandle(1000, &receiver_->sequenceData), PF_Err_NONE);
  host_.clearEngineRecords();
  tb::FaultPlan plan;
  plan.failCall = static_cast<int>(resize - all.begin());
  plan.failWith = PF_Err_OUT_OF_MEMORY;
  host_.ledger().arm(plan);
  tb::CommandResult r = run();
  host_.ledger().disarm();
  // The receiver's status for a store it cannot resize comes back through the sender.
  EXPECT_EQ(r.err, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(host_.handleSize(receiver_->sequenceData), 1000u);
  for (size_t k = static_cast<size_t>(plan.failCall) + 1; k < r.report.allCalls.size(); ++k)
    EXPECT_TRUE(isRelease(r.report.allCalls[k])) << r.report.allCalls[k] << " after the failure";
}

TEST_F(SenderSweepTest, eachCancelledPollEndsTheSendWithItsAnswer) {
  const int polls = run().report.polls;
  host_.clearEngineRecords();
  for (int i = 0; i < polls; ++i) {
    SCOPED_TRACE("cancelling poll " + std::to_string(i));
    tb::FaultPlan plan;
    plan.cancelPoll = i;
    host_.ledger().arm(plan);
    tb::CommandResult r = run();
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
    EXPECT_TRUE(r.report.clean());
    EXPECT_TRUE(host_.engineRecords().empty());
    EXPECT_EQ(r.report.polls, i + 1);
  }
}

TEST_F(SenderSweepTest, aWithheldSuiteIsReportedAndNothingIsHeld) {
  tb::FaultPlan plan;
  plan.withheld.insert({kAEGPDynamicStreamSuite, 5});
  host_.ledger().arm(plan);
  tb::CommandResult r = run();
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(host_.engineRecords().empty());
}

}  // namespace
