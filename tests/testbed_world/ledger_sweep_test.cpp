// Accounting and fault injection of the new suite functions: what a command leaves held is
// reported by kind, and a scripted caller that uses every function, chaining its calls the way
// the plug-ins do, sees each call fail in turn with nothing left held.
#include <algorithm>
#include <set>

#include "AE_EffectCB.h"
#include "testbed/host/Callbacks.h"
#include "tests/testbed_world/WorldFixture.h"

namespace {

constexpr A_Err kInjected = 0x7171;

// One status; a call runs only while it is 0 and its result becomes the status; releases always
// run when something was taken. What a failed call left in its out-parameters is never released:
// the host fills them with poison.
class Chain {
 public:
  template <class Call>
  void call(Call&& c) {
    if (err_ == 0)
      err_ = c();
  }
  // A call whose out-parameter must be released: true when it ran and succeeded.
  template <class Call>
  bool take(Call&& c) {
    if (err_ != 0)
      return false;
    err_ = c();
    return err_ == 0;
  }
  template <class Call>
  void release(bool held, Call&& c) {
    if (held) {
      A_Err e = c();
      if (err_ == 0)
        err_ = e;
    }
  }
  A_Err err() const { return err_; }

 private:
  A_Err err_ = 0;
};

class LedgerSweepTest : public twtest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    light_ = &host_.createLight(*comp_, "Lamp", {1, 2});
    mask_ = host_.addMask(*layer_, "Round", twtest::circle(50, 40, 20));
  }

  // Every new suite function once, the references released on every path.
  A_Err script() {
    Chain s;
    const auto& comps = suite<AEGP_CompSuite15>(kAEGPCompSuite, 15);
    const auto& items = suite<AEGP_ItemSuite13>(kAEGPItemSuite, 13);
    const auto& lay = suite<AEGP_LayerSuite12>(kAEGPLayerSuite, 12);
    const auto& masks = suite<AEGP_MaskSuite6>(kAEGPMaskSuite, 6);
    const auto& lights = suite<AEGP_LightSuite2>(kAEGPLightSuite, 2);
    const auto& keys = suite<AEGP_KeyframeSuite4>(kAEGPKeyframeSuite, 4);
    const auto& streams = suite<AEGP_StreamSuite9>(kAEGPStreamSuite, 9);
    const auto& command = suite<AEGP_CommandSuite1>(kAEGPCommandSuite, 1);
    const auto& utils = suite<PF_ParamUtilsSuite3>(kPFParamUtilsSuite, 3);
    const auto& sampling = suite<PF_Sampling8Suite1>(kPFSampling8Suite, 1);
    const AEGP_LayerH layer = layerH(layer_);
    AEGP_ItemH item = nullptr;
    AEGP_CompH comp = nullptr;
    A_Time t{0, 2500};
    A_long n = 0, w = 0, h = 0;
    AEGP_ItemType type = 0;
    AEGP_LayerFlags flags = 0;
    AEGP_LayerIDVal id = 0;
    AEGP_LayerH found = nullptr;
    AEGP_LightType light_type = 0;
    A_Matrix4 m{};
    s.call([&] { return items.AEGP_GetActiveItem(&item); });
    s.call([&] { return items.AEGP_GetItemType(item, &type); });
    s.call([&] { return items.AEGP_GetItemCurrentTime(item, &t); });
    s.call([&] { return items.AEGP_SetItemCurrentTime(item, &t); });
    s.call([&] { return items.AEGP_GetItemDuration(item, &t); });
    s.call([&] { return items.AEGP_GetItemDimensions(item, &w, &h); });
    s.call([&] { return comps.AEGP_GetCompFromItem(item, &comp); });
    s.call([&] { return comps.AEGP_GetItemFromComp(comp, &item); });
    s.call([&] { return comps.AEGP_GetCompFrameDuration(comp, &t); });
    s.call([&] { return comps.AEGP_GetCompWorkAreaStart(comp, &t); });
    s.call([&] { return comps.AEGP_GetCompWorkAreaDuration(comp, &t); });
    s.call([&] { return lay.AEGP_GetCompNumLayers(comp, &n); });
    s.call([&] { return lay.AEGP_GetCompLayerByIndex(comp, 0, &found); });
    s.call([&] { return lay.AEGP_GetLayerSourceItem(layer, &item); });
    s.call([&] { return lay.AEGP_GetLayerParentComp(layer, &comp); });
    s.call([&] { return lay.AEGP_GetLayerFlags(layer, &flags); });
    s.call([&] { return lay.AEGP_SetLayerFlag(layer, AEGP_LayerFlag_SHY, 1); });
    s.call([&] { return lay.AEGP_GetLayerToWorldXform(layer, &t, &m); });
    s.call([&] { return lay.AEGP_GetLayerToWorldXformFromView(layer, &t, &t, &m); });
    s.call([&] { return lay.AEGP_GetLayerID(layer, &id); });
    s.call([&] { return lay.AEGP_GetLayerFromLayerID(comp, id, &found); });
    s.call([&] { return lay.AEGP_SetLayerParent(layerH(light_), layer); });
    s.call([&] { return lights.AEGP_SetLightType(layerH(light_), AEGP_LightType_SPOT); });
    s.call([&] { return lights.AEGP_GetLightType(layerH(light_), &light_type); });
    s.call([&] { return command.AEGP_DoCommand(2372); });
    AEGP_StreamRefH position = nullptr;
    const bool have_position = s.take([&] {
      return streams.AEGP_GetNewLayerStream(1, layerH(light_), AEGP_LayerStream_POSITION,
                                            &position);
    });
    AEGP_AddKeyframesInfoH adding = nullptr;
    A_long key = -1;
    const bool have_adding = s.take([&] { return keys.AEGP_StartAddKeyframes(position, &adding); });
    s.call([&] { return keys.AEGP_AddKeyframes(adding, AEGP_LTimeMode_LayerTime, &t, &key); });
    s.release(have_adding, [&] { return keys.AEGP_EndAddKeyframes(1, adding); });
    AEGP_StreamValue2 v{};
    s.call([&] { return keys.AEGP_SetKeyframeValue(position, key, &v); });
    s.release(have_position, [&] { return streams.AEGP_DisposeStream(position); });
    AEGP_MaskRefH mask = nullptr;
    s.call([&] { return masks.AEGP_GetLayerNumMasks(layer, &n); });
    const bool have_mask = s.take([&] { return masks.AEGP_GetLayerMaskByIndex(layer, 0, &mask); });
    s.release(have_mask, [&] { return masks.AEGP_DisposeMask(mask); });
    pathCalls(s);
    PF_ParamDef def = effect_->params[1];
    s.call([&] { return utils.PF_UpdateParamUI(ref(), 1, &def); });
    PF_ParamDef layer_param{};
    bool checked_out = false;
    s.call([&] {
      A_Err e = tb::interactCallbacks().checkout_param(ref(), 0, 0, 100, 2500, &layer_param);
      checked_out = e == 0;
      return e;
    });
    PF_SampPB pb{};
    pb.src = &layer_param.u.ld;
    PF_Pixel px{};
    s.call([&] { return sampling.subpixel_sample(ref(), 0, 0, &pb, &px); });
    std::optional<tb::World> out = tb::World::blank(100, 80);
    s.call([&] {
      return tb::utilCallbacks()->copy(ref(), &layer_param.u.ld, &out->def(), nullptr, nullptr);
    });
    s.release(checked_out,
              [&] { return tb::interactCallbacks().checkin_param(ref(), &layer_param); });
    return s.err();
  }

  void pathCalls(Chain& s) {
    const auto& query = this->query();
    const auto& data = this->data();
    PF_PathID id = 0;
    A_long n = 0;
    s.call([&] { return query.PF_NumPaths(ref(), &n); });
    s.call([&] { return query.PF_PathInfo(ref(), 0, &id); });
    PF_PathOutlinePtr path = nullptr;
    const bool have_path =
        s.take([&] { return query.PF_CheckoutPath(ref(), id, 0, 100, 2500, &path); });
    PF_Boolean open = 0;
    s.call([&] { return data.PF_PathIsOpen(ref(), path, &open); });
    s.call([&] { return data.PF_PathNumSegments(ref(), path, &n); });
    PF_PathSegPrepPtr prep = nullptr;
    double len = 0, x = 0, y = 0;
    const bool have_prep =
        s.take([&] { return data.PF_PathPrepareSegLength(ref(), path, 0, 100, &prep); });
    s.call([&] { return data.PF_PathGetSegLength(ref(), path, 0, &prep, &len); });
    s.call([&] { return data.PF_PathEvalSegLength(ref(), path, &prep, 0, len / 2, &x, &y); });
    s.release(have_prep, [&] { return data.PF_PathCleanupSegLength(ref(), path, 0, &prep); });
    s.release(have_path, [&] { return query.PF_CheckinPath(ref(), id, false, path); });
  }

  tb::CommandReport run(int fail) {
    tb::FaultPlan plan;
    plan.failCall = fail;
    plan.failWith = kInjected;
    host_.ledger().arm(plan);
    host_.ledger().beginCommand("script");
    result_ = script();
    tb::CommandReport report = host_.ledger().endCommand();
    host_.ledger().disarm();
    return report;
  }

  static bool isRelease(const std::string& call) {
    static const std::set<std::string> releases = {
        "AEGP_EndAddKeyframes",    "AEGP_DisposeStream", "AEGP_DisposeMask",
        "PF_PathCleanupSegLength", "PF_CheckinPath",     "checkinParam"};
    return releases.count(call) != 0;
  }

  tb::Layer* light_ = nullptr;
  PF_PathID mask_ = 0;
  A_Err result_ = 0;
};

TEST_F(LedgerSweepTest, aCleanRunUsesEveryFunctionAndHoldsNothing) {
  tb::CommandReport report = run(-1);
  EXPECT_EQ(result_, A_Err_NONE);
  EXPECT_TRUE(report.clean()) << ::testing::PrintToString(report.held);
  // Each of the 49 functions exactly once.
  EXPECT_EQ(report.calls.size(), 49u);
  EXPECT_EQ(std::set<std::string>(report.calls.begin(), report.calls.end()).size(), 49u);
  EXPECT_EQ(host_.log().commands, std::vector<AEGP_Command>{2372});
}

TEST_F(LedgerSweepTest, eachFailedCallIsTheResultAndNothingStaysHeld) {
  const size_t calls = run(-1).calls.size();
  for (size_t i = 0; i < calls; ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i));
    tb::CommandReport report = run(static_cast<int>(i));
    EXPECT_EQ(result_, kInjected);
    // A release the host refused leaves exactly that reference behind; anything else must not.
    const std::string& failed = report.calls.at(i);
    EXPECT_EQ(report.held.size(), isRelease(failed) ? 1u : 0u)
        << failed << ": " << ::testing::PrintToString(report.held);
    for (size_t k = i + 1; k < report.calls.size(); ++k)
      EXPECT_TRUE(isRelease(report.calls[k])) << report.calls[k] << " after the failure";
    // That one leftover is the command's violation, and the only one.
    ASSERT_EQ(host_.ledger().violations().size(), isRelease(failed) ? 1u : 0u);
    if (isRelease(failed)) {
      EXPECT_NE(host_.ledger().violations()[0].what.find("left held"), std::string::npos);
    }
    host_.ledger().clearViolations();
  }
}

TEST_F(LedgerSweepTest, whatACommandKeepsIsReportedByKind) {
  for (const char* kind : {"checked-out param", "checked-out path", "mask ref", "prepared segment"})
    expectViolation(std::string("leaky: left held: ") + kind + " x1");
  host_.ledger().beginCommand("leaky");
  AEGP_MaskRefH mask = nullptr;
  PF_PathOutlinePtr path = nullptr;
  PF_PathSegPrepPtr prep = nullptr;
  PF_ParamDef param{};
  ASSERT_EQ(
      suite<AEGP_MaskSuite6>(kAEGPMaskSuite, 6).AEGP_GetLayerMaskByIndex(layerH(layer_), 0, &mask),
      A_Err_NONE);
  ASSERT_EQ(query().PF_CheckoutPath(ref(), mask_, 0, 100, 2500, &path), PF_Err_NONE);
  ASSERT_EQ(data().PF_PathPrepareSegLength(ref(), path, 0, 10, &prep), PF_Err_NONE);
  ASSERT_EQ(tb::interactCallbacks().checkout_param(ref(), 0, 0, 100, 2500, &param), PF_Err_NONE);
  tb::CommandReport report = host_.ledger().endCommand();
  std::vector<std::string> held = report.held;
  std::sort(held.begin(), held.end());
  EXPECT_EQ(held, (std::vector<std::string>{"checked-out param", "checked-out path", "mask ref",
                                            "prepared segment"}));
}

}  // namespace
