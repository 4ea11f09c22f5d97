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
  // The host counts the receiver's calls with the sender's, so the sweep reaches them too.
  const tb::CommandResult clean = renderEffect(effect(0));
  const std::vector<std::string>& all = clean.report.allCalls;
  const size_t calls = all.size();
  const size_t sendIndex = static_cast<size_t>(
      std::find(all.begin(), all.end(), "AEGP_EffectCallGeneric") - all.begin());
  // The host finds a parameter to check in by the caller's record, so one whose check-in it refused
  // would be mistaken for the next check-out at the same address: that failure goes last.
  std::vector<size_t> order;
  for (size_t i = 0; i < calls; ++i)
    if (all[i] != "checkinParam")
      order.push_back(i);
  for (size_t i = 0; i < calls; ++i)
    if (all[i] == "checkinParam")
      order.push_back(i);
  for (size_t i : order) {
    SCOPED_TRACE("failing call " + std::to_string(i) + " " + all[i]);
    host_.clearEngineRecords();
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    const tb::CommandResult r = renderEffect(effect(0));
    host_.ledger().disarm();
    ASSERT_GT(r.report.allCalls.size(), i);
    const std::string& failed = r.report.allCalls[i];
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(r.err, failed == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_OUT_OF_MEMORY);
    // A release the host refused leaves exactly that reference behind; anything else must not.
    if (isRelease(failed)) {
      EXPECT_LE(r.report.held.size(), 1u);
    } else {
      for (const std::string& h : r.report.held)
        ADD_FAILURE() << "held: " << h;
    }
    // After a failure only releases follow (and the suites they are made through).
    for (size_t k = i + 1; k < r.report.allCalls.size(); ++k)
      EXPECT_TRUE(isRelease(r.report.allCalls[k]) || r.report.allCalls[k] == "AcquireSuite")
          << r.report.allCalls[k] << " after the failure";
    if (i < sendIndex) {
      EXPECT_TRUE(host_.engineRecords().empty());
    }
    // What the host refused to take back is the one violation; the sweep clears it.
    EXPECT_EQ(host_.ledger().violations().size(), isRelease(failed) ? 1u : 0u);
    host_.ledger().clearViolations();
    host_.log().quietDepth = 0;
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
