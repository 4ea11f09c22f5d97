// The mask effect's render under failure: every host call it makes is failed in turn and every
// abort or progress poll answered with a cancel. The status must be the injected one, nothing may
// stay held, no call but a release may follow the failure, and no record may reach the engine
// once something failed before the send.
#include <algorithm>
#include <set>

#include "AE_EffectSuites.h"

#include "tests/mask/MaskRenderFixture.h"

namespace masktest {
namespace {

class RenderSweep : public MaskRenderTest {
 protected:
  void SetUp() override {
    MaskRenderTest::SetUp();
    // Two masks with caps, the source geometry inherited and a terrain: every phase calls the host.
    build(R"([{"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 255, 255, 255],
               "masks": [{"name": "A", "points": [[10, 10], [10, 26], [30, 26], [30, 10]]},
                         {"name": "B", "points": [[12, 12], [12, 24], [28, 24], [28, 12]]}],
               "effects": [{"match": "ZEK TOLV_Mask",
                            "params": {"1": 1, "2": 1, "4": "A", "9": "B", "83": 4, "85": "Card",
                                       "88": 1, "71": "Ground", "72": 10}},
                           {"match": "ZEK TOLV_Engine"}]},
              {"name": "Ground", "kind": "solid", "size": [8, 8], "color": [90, 90, 90, 255]}])");
  }

  static bool isRelease(const std::string& call) {
    static const std::set<std::string> releases = {
        "AEGP_DisposeEffect", "AEGP_DisposeStream", "AEGP_DisposeStreamValue",
        "AEGP_DisposeMask",   "PF_CheckinPath",     "PF_PathCleanupSegLength",
        "checkinParam",       "AEGP_EndQuietErrors"};
    return releases.count(call) != 0;
  }
};

TEST_F(RenderSweep, aCleanRunCallsEveryPhaseAndSendsOnce) {
  const tb::CommandResult r = renderEffect(effect(0));
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const std::vector<std::string>& calls = r.report.calls;
  for (const char* call :
       {"AEGP_GetLayerToWorldXformFromView", "subpixel_sample", "AEGP_GetNewStreamValue",
        "checkoutParam", "AEGP_EffectCallGeneric", "AEGP_StartQuietErrors", "AEGP_EndQuietErrors"})
    EXPECT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << call;
}

TEST_F(RenderSweep, eachFailedCallIsTheStatusAndEverythingIsReleased) {
  const tb::CommandResult clean = renderEffect(effect(0));
  const size_t calls = clean.report.calls.size();
  const auto send = std::find(clean.report.calls.begin(), clean.report.calls.end(),
                              std::string("AEGP_EffectCallGeneric"));
  const size_t sendIndex = static_cast<size_t>(send - clean.report.calls.begin());
  // The host finds a parameter to check in by the caller's record, so one whose check-in it refused
  // would be mistaken for the next check-out at the same address: that failure goes last.
  std::vector<size_t> order;
  for (size_t i = 0; i < calls; ++i)
    if (clean.report.calls[i] != "checkinParam")
      order.push_back(i);
  for (size_t i = 0; i < calls; ++i)
    if (clean.report.calls[i] == "checkinParam")
      order.push_back(i);
  for (size_t i : order) {
    SCOPED_TRACE("failing call " + std::to_string(i) + " " + clean.report.calls[i]);
    host_.clearEngineRecords();
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    const tb::CommandResult r = renderEffect(effect(0));
    host_.ledger().disarm();
    ASSERT_GT(r.report.calls.size(), i);
    const std::string& failed = r.report.calls[i];
    if (failed == "host_get_handle_size") {
      // The size query has no way to fail; the render runs as usual.
      EXPECT_EQ(r.err, PF_Err_NONE);
      continue;
    }
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
    // A release the host refused leaves exactly that reference behind; anything else must not.
    if (isRelease(failed)) {
      EXPECT_LE(r.report.held.size(), 1u);
    } else {
      for (const std::string& h : r.report.held)
        ADD_FAILURE() << "held: " << h;
    }
    for (size_t k = i + 1; k < r.report.calls.size(); ++k)
      EXPECT_TRUE(isRelease(r.report.calls[k])) << r.report.calls[k] << " after the failure";
    if (i < sendIndex) {
      EXPECT_TRUE(host_.engineRecords().empty());
    }
    // A quiet-errors mode whose end the host refused is the host's to clear, not a leak here.
    if (failed == "AEGP_EndQuietErrors") {
      host_.ledger().clearViolations();
      host_.log().quietDepth = 0;
    }
  }
}

TEST_F(RenderSweep, eachCancelledPollEndsTheRenderWithItsAnswer) {
  const int polls = renderEffect(effect(0)).report.polls;
  ASSERT_GE(polls, 5);
  for (int i = 0; i < polls; ++i) {
    SCOPED_TRACE("cancelling poll " + std::to_string(i));
    host_.clearEngineRecords();
    tb::FaultPlan plan;
    plan.cancelPoll = i;
    host_.ledger().arm(plan);
    const tb::CommandResult r = renderEffect(effect(0));
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
    EXPECT_TRUE(r.report.clean());
    EXPECT_EQ(r.report.polls, i + 1 < polls ? i + 1 : polls);
    EXPECT_EQ(host_.engineRecords().size(), i + 1 == polls ? 1u : 0u);
  }
}

TEST_F(RenderSweep, aWithheldSamplingSuiteIsReportedAndNothingIsHeld) {
  tb::FaultPlan plan;
  plan.withheld.insert({kPFSampling8Suite, kPFSampling8SuiteVersion1});
  host_.ledger().arm(plan);
  const tb::CommandResult r = renderEffect(effect(0));
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(host_.engineRecords().empty());
}

}  // namespace
}  // namespace masktest
