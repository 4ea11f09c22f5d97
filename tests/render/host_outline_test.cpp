// The path suites behind the sampler's outline interface: what is checked out is checked in, every
// prepared segment is released, and a failed call leaves the row short and nothing held.
#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/render/HostOutline.h"
#include "TOLV_Mask/render/MaskSampling.h"
#include "tests/render/RenderFixture.h"

namespace {

struct Sampled {
  mask::MaskRow row;
  A_long segments = -1;
  PF_Err err = PF_Err_NONE;
  tb::CommandReport report;
};

class HostOutlineTest : public rtest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    current_ = host_.addMask(*layer_, "Current", rtest::rectangle(10, 10, 70, 50));
    reference_ = host_.addMask(*layer_, "Reference", rtest::rectangle(0, 0, 20, 20));
  }

  // Samples the current mask at C = 8 with the reference mask's texture, in a command of its own.
  Sampled sample() {
    Sampled out;
    PF_InData in_data;
    host_.fillInData({module_, effect_}, &in_data);
    host_.ledger().beginCommand("sample");
    // A missing suite throws its status, as it does to the entry point that catches it.
    try {
      AEGP_SuiteHandler suites(in_data.pica_basicP);
      HostStatus status(&in_data);
      {
        mask::HostOutline current(status, suites);
        current.checkout(current_, in_data.current_time);
        mask::HostOutline reference(status, suites);
        reference.checkout(reference_, 0);
        mask::SamplingSettings settings;
        settings.columns = 8;
        settings.width = 100;
        settings.height = 80;
        mask::UvRect rect{0, 0, 100, 80};
        out.segments = current.segmentCount();
        out.row = mask::SampleMaskRow(current, &reference, settings, IdentityMatrix4(), 0.0f, rect);
      }
      // Read once both outlines are checked back in.
      out.err = status.err();
    } catch (PF_Err err) {
      out.err = err;
    }
    out.report = host_.ledger().endCommand();
    return out;
  }

  static bool isRelease(const std::string& call) {
    return call == "PF_CheckinPath" || call == "PF_PathCleanupSegLength";
  }

  PF_PathID current_ = 0, reference_ = 0;
};

TEST_F(HostOutlineTest, aCleanRunPreparesEachSegmentOnceAndReleasesItAtOnce) {
  const Sampled s = sample();
  EXPECT_EQ(s.err, PF_Err_NONE);
  EXPECT_TRUE(s.report.clean());
  EXPECT_EQ(s.segments, 4);
  ASSERT_EQ(s.row.points.size(), 9u);
  EXPECT_EQ(s.row.points[1].x, 40.0f);
  EXPECT_EQ(s.row.uvs[1].x, 10.0 / 100.0);
  const std::vector<std::string> head = {
      "PF_CheckoutPath",         "PF_PathNumSegments",      "PF_CheckoutPath",
      "PF_PathNumSegments",      "PF_PathPrepareSegLength", "PF_PathGetSegLength",
      "PF_PathPrepareSegLength", "PF_PathGetSegLength",     "PF_PathEvalSegLength",
      "PF_PathEvalSegLength",    "PF_PathEvalSegLength",    "PF_PathEvalSegLength",
      "PF_PathCleanupSegLength", "PF_PathCleanupSegLength"};
  // The suites come first: the path suites, acquired as the outlines are first asked for.
  std::vector<std::string> calls = s.report.calls;
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0], "AcquireSuite");
  EXPECT_EQ(calls[1], "AcquireSuite");
  calls.erase(calls.begin(), calls.begin() + 2);
  ASSERT_GT(calls.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 14), head);
  // 4 × (2 prepares, 2 lengths, 2 cleanups) + 9 × 2 points, around 2 check-outs, counts, check-ins.
  EXPECT_EQ(calls.size(), 6u + 24u + 18u);
}

TEST_F(HostOutlineTest, eachFailedCallStopsThePointsAndReleasesEverything) {
  const size_t calls = sample().report.calls.size();
  for (size_t i = 0; i < calls; ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i));
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    const Sampled s = sample();
    host_.ledger().disarm();
    const std::string& failed = s.report.calls.at(i);
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(s.err, failed == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(s.report.held.size(), isRelease(failed) ? 1u : 0u);
    for (size_t k = i + 1; k < s.report.calls.size(); ++k)
      EXPECT_TRUE(isRelease(s.report.calls[k])) << s.report.calls[k] << " after the failure";
    // The row holds only the points served before the failure: never all nine unless the
    // failure came after the last of them.
    size_t served = 0;
    for (size_t k = 0; k < i; ++k)
      served += s.report.calls[k] == "PF_PathEvalSegLength";
    EXPECT_EQ(s.row.points.size(), served / 2);
    EXPECT_EQ(s.row.uvs.size(), s.row.points.size());
    EXPECT_EQ(host_.ledger().violations().size(), isRelease(failed) ? 1u : 0u);
    host_.ledger().clearViolations();
    if (i < 4 && failed != "AcquireSuite") {  // the current outline was never counted
      EXPECT_EQ(s.segments, 0);
    }
  }
}

}  // namespace
