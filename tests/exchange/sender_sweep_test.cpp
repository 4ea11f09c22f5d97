// The sender under failure: every host call it makes is failed in turn, and every abort poll
// answered with a cancel. The status must be the injected one, nothing may stay held, and no call
// but a release may follow a failure.
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
      "AEGP_GetNewEffectForEffect", "AEGP_GetEffectLayer",
      "AEGP_GetLayerNumEffects",    "AEGP_GetNewEffectStreamByIndex",
      "AEGP_GetNewParentStreamRef", "AEGP_GetStreamIndexInParent",
      "AEGP_DisposeStream",         "AEGP_DisposeStream",
      "AEGP_GetLayerEffectByIndex", "AEGP_GetInstalledKeyFromLayerEffect",
      "AEGP_GetEffectMatchName",    "AEGP_DisposeEffect",
      "AEGP_GetLayerEffectByIndex", "AEGP_GetInstalledKeyFromLayerEffect",
      "AEGP_GetEffectMatchName",    "AEGP_EffectCallGeneric",
      "AEGP_DisposeEffect",         "AEGP_DisposeEffect",
  };
  EXPECT_EQ(r.report.calls, expected);
  EXPECT_EQ(r.report.polls, 4);
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
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
    const std::string& failed = r.report.calls.at(i);
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
