// What the mask effect's scripts do once the host runs them: the effects they add to the layer and
// where in its stack they land.
#include <string>
#include <vector>

#include "tests/actions/ActionsFixture.h"

namespace {

using actest::ActionsTest;

class ScriptActionsTest : public ActionsTest {
 protected:
  // The layer's effect stack by match name, top first.
  std::vector<std::string> stack() const {
    std::vector<std::string> names;
    for (const auto& e : layer_->effects)
      names.push_back(e->module->matchName());
    return names;
  }
  tb::CommandResult launch(tb::Effect& e, int item) {
    param(e, MASK_LAUNCH).u.pd.value = item;
    return changed(e, MASK_LAUNCH);
  }
};

using Stack = std::vector<std::string>;

TEST_F(ScriptActionsTest, theFirstChangeAddsOneRendererAndLaterChangesNoSecond) {
  tb::Effect& e = applyMask();
  tb::CommandResult r = changed(e, MASK_X_SUBDIVIDE);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Engine"}));
  // The renderer the script added was set up inside the change.
  EXPECT_NE(layer_->effects[1]->sequenceData, nullptr);
  changed(e, MASK_Y_SUBDIVIDE);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Engine"}));
  // A second mask effect runs its own setup, which finds the renderer there.
  tb::Effect& second = applyMask();
  changed(second, MASK_X_SUBDIVIDE);
  EXPECT_EQ(scripts().size(), 2u);
  EXPECT_EQ(param(second, MASK_RENDERER).u.bd.value, 1);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Engine", "ZEK TOLV_Mask"}));
  for (const auto& run : host_.log().scripts)
    EXPECT_EQ(run.err, A_Err_NONE) << run.error;
}

TEST_F(ScriptActionsTest, aLayerWithARendererAnywhereGetsNoSecondOne) {
  applyEngine();
  tb::Effect& e = applyMask();
  changed(e, MASK_X_SUBDIVIDE);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Engine", "ZEK TOLV_Mask"}));
  EXPECT_EQ(scripts().size(), 1u);
}

// The scripts act on the selected layer, which need not be the one holding the effect.
TEST_F(ScriptActionsTest, theScriptsAddToTheSelectedLayer) {
  tb::Layer& other = host_.addLayer(*comp_, "Other", 64, 64);
  comp_->selected = {other.id};
  tb::Effect& e = applyMask();
  changed(e, MASK_X_SUBDIVIDE);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask"}));
  ASSERT_EQ(other.effects.size(), 1u);
  EXPECT_EQ(other.effects[0]->module->matchName(), "ZEK TOLV_Engine");
}

TEST_F(ScriptActionsTest, launchedEffectsLandJustBelowAndThePopupReturnsToNone) {
  tb::Effect& above = applySetUpMask();
  tb::Effect& e = applySetUpMask();
  applyEngine();
  EXPECT_EQ(launch(e, 3).err, PF_Err_NONE);
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
  EXPECT_EQ(stack(),
            (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Mask", "ZEK TOLV_Distort", "ZEK TOLV_Engine"}));
  EXPECT_EQ(layer_->effects[1].get(), &e);
  EXPECT_EQ(launch(e, 4).err, PF_Err_NONE);
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Mask", "ZEK TOLV_Mask", "ZEK TOLV_Distort",
                            "ZEK TOLV_Engine"}));
  // The topmost effect launches to position 2.
  EXPECT_EQ(launch(above, 3).err, PF_Err_NONE);
  EXPECT_EQ(stack()[1], "ZEK TOLV_Distort");
  EXPECT_EQ(layer_->effects.size(), 6u);
  for (const auto& run : host_.log().scripts)
    EXPECT_EQ(run.err, A_Err_NONE) << run.error;
}

TEST_F(ScriptActionsTest, aRendererAboveOnlyGetsANewOneBelowAndOneBelowGetsNone) {
  applyEngine();
  tb::Effect& e = applySetUpMask();
  applyDistort();
  launch(e, 2);
  EXPECT_EQ(stack(),
            (Stack{"ZEK TOLV_Engine", "ZEK TOLV_Mask", "ZEK TOLV_Engine", "ZEK TOLV_Distort"}));
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
  launch(e, 2);
  EXPECT_EQ(layer_->effects.size(), 4u);
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
  EXPECT_EQ(scripts().size(), 1u);
}

TEST_F(ScriptActionsTest, aLaunchedMaskEffectIsANewInstanceWithItsOwnSetupToCome) {
  tb::Effect& e = applySetUpMask();
  launch(e, 4);
  ASSERT_EQ(layer_->effects.size(), 2u);
  tb::Effect& launched = *layer_->effects[1];
  EXPECT_EQ(launched.params[MASK_RENDERER].u.bd.value, 0);
  EXPECT_EQ(launched.params[MASK_LAUNCH].u.pd.value, 1);
  // Its own first change adds the renderer the layer still lacks, below everything.
  changed(launched, MASK_X_SUBDIVIDE);
  EXPECT_EQ(stack(), (Stack{"ZEK TOLV_Mask", "ZEK TOLV_Mask", "ZEK TOLV_Engine"}));
}

}  // namespace
