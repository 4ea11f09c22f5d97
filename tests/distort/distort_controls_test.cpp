// The distort effect's parameter commands: the exclusion boxes that follow the mask effects above
// it, and the "Launch:" popup's script.
#include <algorithm>

#include "TOLV_Distort/Launch.h"
#include "tests/distort/DistortFixture.h"
#include "tests/support/Modules.h"

namespace {

constexpr PF_ParamIndex kMaskMesh = 89;

class DistortControlsTest : public dtest::DistortTest {
 protected:
  void SetUp() override {
    DistortTest::SetUp();
    mask_ = &host_.load(tbtest::modulePath("TOLV_Mask"));
  }

  tb::Effect& mask(A_long mesh) {
    tb::Effect& m = apply(mask_);
    m.params[kMaskMesh].u.pd.value = mesh;
    return m;
  }

  static bool hidden(const tb::Effect& e, int param) {
    return (e.streamFlags[param] & AEGP_DynStreamFlag_HIDDEN) != 0;
  }

  // The boxes shown, as a string of ten '1' (shown) and '0' (hidden).
  static std::string shown(const tb::Effect& e) {
    std::string s;
    for (int k = 0; k < 10; ++k)
      s += hidden(e, DistortExcludeParam(k)) ? '0' : '1';
    return s;
  }

  static int count(const std::vector<std::string>& calls, const std::string& name) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
  }

  tb::Module* mask_ = nullptr;
};

TEST_F(DistortControlsTest, theBoxesFollowTheMeshPopupsOfTheMaskEffectsAbove) {
  mask(MESH_ON);
  tb::Effect& second = mask(MESH_OFF);
  tb::Effect& d = distort();
  ASSERT_EQ(updateUi(d).err, PF_Err_NONE);
  EXPECT_EQ(shown(d), "1000000000");
  second.params[kMaskMesh].u.pd.value = MESH_ON;
  ASSERT_EQ(updateUi(d).err, PF_Err_NONE);
  EXPECT_EQ(shown(d), "1100000000");
}

TEST_F(DistortControlsTest, withoutMaskEffectsAboveEveryBoxIsHidden) {
  tb::Effect& d = distort();
  mask(MESH_ON);  // below the distort effect: not counted
  sender();
  ASSERT_EQ(updateUi(d).err, PF_Err_NONE);
  EXPECT_EQ(shown(d), "0000000000");
}

TEST_F(DistortControlsTest, flagsAreWrittenOnlyWhenTheyChange) {
  mask(MESH_ON);
  tb::Effect& d = distort();
  const tb::CommandResult first = updateUi(d);
  EXPECT_EQ(count(first.report.calls, "AEGP_SetDynamicStreamFlag"), 9);
  const tb::CommandResult second = updateUi(d);
  EXPECT_EQ(count(second.report.calls, "AEGP_SetDynamicStreamFlag"), 0);
  EXPECT_TRUE(second.report.clean());
}

TEST_F(DistortControlsTest, anEleventhMaskEffectNeverReachesTheLaunchPopup) {
  for (int i = 0; i < 11; ++i)
    mask(MESH_OFF);
  tb::Effect& d = distort();
  ASSERT_EQ(updateUi(d).err, PF_Err_NONE);
  EXPECT_EQ(shown(d), "0000000000");
  EXPECT_FALSE(hidden(d, DISTORT_LAUNCH));
}

TEST_F(DistortControlsTest, aMeshValueOutsideTheItemsTakesNoBox) {
  mask(7);
  mask(MESH_ON);
  tb::Effect& d = distort();
  ASSERT_EQ(updateUi(d).err, PF_Err_NONE);
  EXPECT_EQ(shown(d), "1000000000");
}

const char* const kDistorterScript =
    "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];"
    "myFX = myLayer.Effects.addProperty('ZEK TOLV_Distort');myFX.moveTo(4);";

TEST(LaunchScript, isTheExactTextWithTheNewEffectsNumber) {
  EXPECT_EQ(LaunchScript("ZEK TOLV_Distort", 2), kDistorterScript);
  EXPECT_EQ(LaunchScript("ZEK TOLV_Engine", 0),
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];"
            "myFX = myLayer.Effects.addProperty('ZEK TOLV_Engine');myFX.moveTo(2);");
}

TEST_F(DistortControlsTest, theDistorterIsAddedBelowTheThirdEffectAndThePopupGoesBackToNone) {
  sender();
  sender();
  tb::Effect& d = distort();
  const tb::CommandResult r = launch(d, LAUNCH_DISTORTER);
  ASSERT_EQ(host_.log().scripts.size(), 1u);
  EXPECT_EQ(host_.log().scripts[0].text, kDistorterScript);
  // No layer is selected, so the script stops at its first use of one and the host reports it
  // failed: that is the result.
  EXPECT_EQ(r.err, A_Err_GENERIC);
  EXPECT_EQ(host_.log().scripts[0].err, A_Err_GENERIC);
  EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_NONE);
  EXPECT_TRUE(r.report.clean());
}

TEST_F(DistortControlsTest, eachItemAddsItsOwnEffect) {
  tb::Effect& d = distort();
  launch(d, LAUNCH_RENDERER);
  launch(d, LAUNCH_MORVANE);
  ASSERT_EQ(host_.log().scripts.size(), 2u);
  EXPECT_EQ(host_.log().scripts[0].text, LaunchScript("ZEK TOLV_Engine", 0));
  EXPECT_EQ(host_.log().scripts[1].text, LaunchScript("ZEK TOLV_Mask", 0));
}

TEST_F(DistortControlsTest, aRendererAlreadyBelowIsNotAddedAgain) {
  tb::Effect& d = distort();
  sender();
  engine();
  const tb::CommandResult r = launch(d, LAUNCH_RENDERER);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(host_.log().scripts.empty());
  EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_NONE);
}

// With the layer selected the launch script runs in the project: "TOLV Renderer" chosen twice adds
// one renderer, directly below the distort effect, and the second choice runs no script.
TEST_F(DistortControlsTest, theRendererChosenTwiceIsAddedOnceJustBelow) {
  layer_->comp->selected = {layer_->id};
  sender();
  tb::Effect& d = distort();
  sender();
  for (int time = 0; time < 2; ++time) {
    const tb::CommandResult r = launch(d, LAUNCH_RENDERER);
    EXPECT_EQ(r.err, PF_Err_NONE) << time;
    EXPECT_TRUE(r.report.clean()) << time;
    EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_NONE) << time;
  }
  ASSERT_EQ(host_.log().scripts.size(), 1u);
  EXPECT_EQ(host_.log().scripts[0].err, A_Err_NONE);
  std::vector<std::string> stack;
  for (const auto& effect : layer_->effects)
    stack.push_back(effect->module->matchName());
  EXPECT_EQ(stack, (std::vector<std::string>{"ZEK TOLV_TestSender", "ZEK TOLV_Distort",
                                             "ZEK TOLV_Engine", "ZEK TOLV_TestSender"}));
}

TEST_F(DistortControlsTest, aRendererAboveDoesNotCount) {
  engine();
  tb::Effect& d = distort();
  launch(d, LAUNCH_RENDERER);
  ASSERT_EQ(host_.log().scripts.size(), 1u);
  EXPECT_EQ(host_.log().scripts[0].text, LaunchScript("ZEK TOLV_Engine", 1));
}

// Choosing "None" (or a value outside the list) adds nothing and runs no script.
TEST_F(DistortControlsTest, noneAndUnknownItemsRunNoScript) {
  tb::Effect& d = distort();
  for (A_long item : {A_long{LAUNCH_NONE}, A_long{5}, A_long{0}, A_long{-3}}) {
    const tb::CommandResult r = launch(d, item);
    EXPECT_EQ(r.err, PF_Err_NONE) << item;
    EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_NONE);
  }
  EXPECT_TRUE(host_.log().scripts.empty());
}

TEST_F(DistortControlsTest, anotherChangedControlIsLeftAlone) {
  tb::Effect& d = distort();
  const tb::CommandResult r = launch(d, LAUNCH_DISTORTER, DISTORT_MESH);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.calls.empty());
  EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_DISTORTER);
}

// A lookup that failed leaves no place to act from, even after an abort poll has cleared the
// status: nothing is launched and no box is touched on values the host never gave.
TEST_F(DistortControlsTest, aFailedLookupNeitherLaunchesNorWalks) {
  mask(MESH_ON);
  tb::Effect& d = distort();
  for (const char* failing : {"AEGP_GetEffectLayer", "AEGP_GetStreamIndexInParent"}) {
    SCOPED_TRACE(failing);
    const std::vector<std::string> calls = launch(d, LAUNCH_DISTORTER).report.calls;
    host_.log().scripts.clear();
    tb::FaultPlan plan;
    plan.failCall =
        static_cast<int>(std::find(calls.begin(), calls.end(), failing) - calls.begin());
    host_.ledger().arm(plan);
    const tb::CommandResult launched = launch(d, LAUNCH_DISTORTER);
    host_.ledger().disarm();
    EXPECT_EQ(launched.err, PF_Err_NONE);
    EXPECT_TRUE(host_.log().scripts.empty());
    EXPECT_EQ(d.params[DISTORT_LAUNCH].u.pd.value, LAUNCH_NONE);

    std::fill(d.streamFlags.begin(), d.streamFlags.end(), 0);
    const std::vector<std::string> ui_calls = updateUi(d).report.calls;
    std::fill(d.streamFlags.begin(), d.streamFlags.end(), 0);
    plan.failCall =
        static_cast<int>(std::find(ui_calls.begin(), ui_calls.end(), failing) - ui_calls.begin());
    host_.ledger().arm(plan);
    const tb::CommandResult ui = updateUi(d);
    host_.ledger().disarm();
    EXPECT_EQ(ui.err, PF_Err_NONE);
    EXPECT_EQ(count(ui.report.calls, "AEGP_GetLayerEffectByIndex"), 0);
    EXPECT_EQ(count(ui.report.calls, "AEGP_SetDynamicStreamFlag"), 0);
  }
}

// Commands that arrive without the parameter array are refused rather than read through null.
TEST_F(DistortControlsTest, commandsWithoutParametersAreRefused) {
  tb::Effect& d = distort();
  PF_UserChangedParamExtra extra{DISTORT_LAUNCH};
  EXPECT_EQ(host_.sendToEffect(d, PF_Cmd_USER_CHANGED_PARAM, &extra).err,
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host_.sendToEffect(d, PF_Cmd_RENDER).err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(host_.log().scripts.empty());
}

}  // namespace
