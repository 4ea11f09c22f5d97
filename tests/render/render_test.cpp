// Render as the host calls it for PF_Cmd_RENDER, and as the parameter actions call it: the output
// copy, progress, quiet errors, the early end without a path light, and every failure on the way.
#include "TOLV_Mask/render/Render.h"
#include "TOLV_Mask/Skeleton.h"
#include "tests/render/RenderFixture.h"

namespace {

using rtest::rectangle;

class RenderCallTest : public rtest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    light_ = &host_.createLight(*comp_, "Path", {10, 20});
    light_->transform.positionKeys = {{10.0, {110, 20, 30}}};
    for (int i = 0; i < 3; ++i) {
      const PF_PathID id =
          host_.addMask(*layer_, "M" + std::to_string(i), rectangle(10, 10, 70 - 10 * i, 50));
      useMask(i + 1, id, 100.0 * i);
    }
    setSubdivide(2, 4);
  }
  void useLight(bool orient) {
    param(MASK_CREATE_LIGHT).u.bd.value = 1;
    param(MASK_ORIENT_ON_PATH).u.bd.value = orient ? 1 : 0;
    param(MASK_SWEEP_INDEX).u.sd.value = light_->id;
  }

  // PF_Cmd_RENDER through the module's entry point, into a blank output world.
  tb::CommandResult render() {
    std::vector<PF_ParamDef> params = effect_->params;
    params[MASK_INPUT].u.ld = layer_->pixels->def();
    std::vector<PF_ParamDef*> array;
    for (PF_ParamDef& p : params)
      array.push_back(&p);
    output_ = tb::World::blank(100, 80);
    return host_.send({module_, effect_}, PF_Cmd_RENDER, array.data(), &output_->def());
  }
  bool outputIsInput() const {
    const tb::World& in = *layer_->pixels;
    for (A_long y = 0; y < 80; ++y)
      for (A_long x = 0; x < 80; ++x) {
        const PF_Pixel a = in.at(x, y), b = output_->at(x, y);
        if (a.alpha != b.alpha || a.red != b.red || a.green != b.green || a.blue != b.blue)
          return false;
      }
    return true;
  }
  bool outputIsBlank() const {
    for (A_long y = 0; y < 80; ++y)
      for (A_long x = 0; x < 100; ++x)
        if (output_->at(x, y).alpha != 0 || output_->at(x, y).red != 0)
          return false;
    return true;
  }
  static bool isRelease(const std::string& call) {
    return call == "AEGP_DisposeMask" || call == "PF_CheckinPath" ||
           call == "PF_PathCleanupSegLength" || call == "AEGP_EndQuietErrors" ||
           call == "AEGP_DisposeEffect" || call == "AEGP_DisposeStream" ||
           call == "AEGP_DisposeStreamValue";
  }
  // The abort polls of the two walks over a layer holding only this effect (three while filling
  // the record, two while sending it), then the progress report.
  static constexpr int kPolls = 6;

  tb::Layer* light_ = nullptr;
  std::optional<tb::World> output_;
};

TEST_F(RenderCallTest, aRenderCopiesItsInputAndEndsQuietErrors) {
  useLight(true);
  const tb::CommandResult r = render();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(outputIsInput());
  EXPECT_EQ(host_.log().quietDepth, 0);
  EXPECT_EQ(r.report.polls, kPolls);
  const std::vector<std::string> lookups = {"AEGP_GetEffectLayer",       "AEGP_GetLayerParentComp",
                                            "AEGP_GetItemFromComp",      "AEGP_GetItemDuration",
                                            "AEGP_GetCompFrameDuration", "AEGP_GetLayerNumMasks",
                                            "AEGP_GetLayerFromLayerID",  "AEGP_StartQuietErrors",
                                            "AEGP_GetLayerMaskByIndex",  "PF_PathInfo",
                                            "AEGP_DisposeMask"};
  std::vector<std::string> calls;
  for (const std::string& c : r.report.calls)
    if (c != "AcquireSuite")
      calls.push_back(c);
  ASSERT_GT(calls.size(), lookups.size());
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 11), lookups);
  EXPECT_EQ(r.report.calls[r.report.calls.size() - 2], "copyWorldCallback");
  EXPECT_EQ(r.report.calls.back(), "AEGP_EndQuietErrors");
}

TEST_F(RenderCallTest, aPathLightThatIsGoneEndsTheRenderWithoutCopyingTheInput) {
  useLight(false);
  host_.deleteLayer(*light_);
  const tb::CommandResult r = render();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(outputIsBlank());
  EXPECT_EQ(r.report.calls.back(), "AEGP_GetLayerFromLayerID");
  EXPECT_EQ(r.report.polls, 0);
}

TEST_F(RenderCallTest, aRebuildWithFlagZeroLeavesTheOutputAlone) {
  std::vector<PF_ParamDef*> params = tb::paramArray(*effect_);
  params[MASK_INPUT]->u.ld = layer_->pixels->def();
  output_ = tb::World::blank(100, 80);
  PF_InData in_data;
  PF_OutData out_data = {};
  host_.fillInData({module_, effect_}, &in_data);
  alreadyRendered = 0;
  host_.ledger().beginCommand("rebuild");
  const PF_Err err = Render(&in_data, &out_data, params.data(), &output_->def(), 0);
  const tb::CommandReport report = host_.ledger().endCommand();
  EXPECT_EQ(err, PF_Err_NONE);
  EXPECT_TRUE(report.clean());
  EXPECT_TRUE(outputIsBlank());
  EXPECT_EQ(report.polls, kPolls);
  EXPECT_EQ(alreadyRendered, 1);
}

TEST_F(RenderCallTest, aCancelAtTheProgressReportIsTheResult) {
  tb::FaultPlan plan;
  plan.cancelPoll = kPolls - 1;
  host_.ledger().arm(plan);
  const tb::CommandResult r = render();
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(host_.log().quietDepth, 0);
}

TEST_F(RenderCallTest, eachFailedCallIsTheStatusAndEverythingIsReleased) {
  useLight(true);
  param(MASK_REFERENCE_SAMPLING).u.pd.value = 1;
  const size_t calls = render().report.calls.size();
  for (size_t i = 0; i < calls; ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i));
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    const tb::CommandResult r = render();
    host_.ledger().disarm();
    const std::string& failed = r.report.calls.at(i);
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(r.err, failed == "AcquireSuite" ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_OUT_OF_MEMORY);
    // A release the host refused leaves exactly that reference behind (or the quiet mode on).
    const bool refusedRelease = isRelease(failed);
    if (failed != "AEGP_EndQuietErrors") {
      EXPECT_EQ(r.report.held.size(), refusedRelease ? 1u : 0u);
      EXPECT_EQ(host_.log().quietDepth, 0);
    }
    host_.log().quietDepth = 0;
    // After a failure only releases follow (and the suites they are made through).
    for (size_t k = i + 1; k < r.report.calls.size(); ++k)
      EXPECT_TRUE(isRelease(r.report.calls[k]) || r.report.calls[k] == "AcquireSuite")
          << r.report.calls[k] << " after the failure";
    const bool copied = failed == "AEGP_EndQuietErrors";
    EXPECT_EQ(outputIsInput(), copied);
    // What the host refused to take back is the one violation; the sweep clears it.
    EXPECT_EQ(host_.ledger().violations().size(), refusedRelease ? 1u : 0u);
    host_.ledger().clearViolations();
  }
}

TEST_F(RenderCallTest, aWithheldSuiteIsReportedAndNothingIsHeld) {
  for (const auto& suite : std::vector<std::pair<std::string, int>>{
           {kPFPathDataSuite, 1}, {kAEGPUtilitySuite, 11}, {kAEGPMaskSuite, 6}}) {
    SCOPED_TRACE(suite.first);
    tb::FaultPlan plan;
    plan.withheld.insert(suite);
    host_.ledger().arm(plan);
    const tb::CommandResult r = render();
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_TRUE(r.report.clean());
    EXPECT_EQ(host_.log().quietDepth, 0);
  }
}

}  // namespace
