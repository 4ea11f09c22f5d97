// What a change of the mask effect's controls does to the project: the first-change setup,
// "Launch:", "Update:", and the mask rows and reference masks shown.
#include <algorithm>

#include "TOLV_Mask/actions/Scripts.h"
#include "tests/actions/ActionsFixture.h"

namespace {

using actest::ActionsTest;

constexpr const char* kLaunchPrefix =
    "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
    "myLayer.Effects.addProperty('";

class FirstChangeTest : public ActionsTest {};

TEST_F(FirstChangeTest, theFirstChangeMarksTheInstanceAndRunsTheEngineCheckOnce) {
  tb::Effect& e = applyMask();
  ASSERT_EQ(param(e, MASK_RENDERER).u.bd.value, 0);
  changed(e, MASK_X_SUBDIVIDE);
  EXPECT_EQ(param(e, MASK_RENDERER).u.bd.value, 1);
  EXPECT_TRUE(hidden(e, MASK_RENDERER));
  ASSERT_EQ(scripts().size(), 1u);
  EXPECT_EQ(scripts()[0], EngineCheckScript());
  // Later changes, of any control, run no script.
  tb::CommandResult r = changed(e, MASK_Y_SUBDIVIDE);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  changed(e, MASK_ALPHA);
  EXPECT_EQ(scripts().size(), 1u);
}

TEST_F(FirstChangeTest, eachNewInstanceRunsItsOwnSetup) {
  tb::Effect& first = applyMask();
  tb::Effect& second = applyMask();
  changed(first, MASK_X_SUBDIVIDE);
  changed(second, MASK_X_SUBDIVIDE);
  changed(first, MASK_X_SUBDIVIDE);
  EXPECT_EQ(scripts().size(), 2u);
}

class LaunchTest : public ActionsTest {
 protected:
  tb::CommandResult launch(tb::Effect& e, int item) {
    param(e, MASK_LAUNCH).u.pd.value = item;
    return changed(e, MASK_LAUNCH);
  }
};

TEST_F(LaunchTest, aRendererBelowMeansNoSecondOne) {
  tb::Effect& e = applySetUpMask();
  applyDistort();
  applyEngine();
  tb::CommandResult r = launch(e, 2);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(scripts().empty());
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
  EXPECT_EQ(layer_->effects.size(), 3u);
}

TEST_F(LaunchTest, aRendererOnlyAboveAddsOneBelow) {
  applyEngine();
  tb::Effect& e = applySetUpMask();
  launch(e, 2);
  ASSERT_EQ(scripts().size(), 1u);
  EXPECT_EQ(scripts()[0],
            std::string(kLaunchPrefix) + "ZEK TOLV_Engine');myFX.moveTo(3);}catch(e){}");
}

TEST_F(LaunchTest, theDistorterAndTheMaskEffectAreAlwaysAddedJustBelow) {
  tb::Effect& e = applySetUpMask();
  applyEngine();
  launch(e, 3);
  launch(e, 4);
  ASSERT_EQ(scripts().size(), 2u);
  // Own index 0: the new effect goes to position 2.
  EXPECT_EQ(scripts()[0],
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
            "myLayer.Effects.addProperty('ZEK TOLV_Distort');myFX.moveTo(2);}catch(e){}");
  EXPECT_EQ(scripts()[1],
            std::string(kLaunchPrefix) + "ZEK TOLV_Mask');myFX.moveTo(2);}catch(e){}");
}

TEST_F(LaunchTest, anOwnIndexTheHostDidNotGiveLaunchesNothing) {
  tb::Effect& e = applySetUpMask();
  const std::vector<std::string> calls = launch(e, 1).report.calls;
  const auto at = std::find(calls.begin(), calls.end(), "AEGP_GetStreamIndexInParent");
  ASSERT_NE(at, calls.end());
  tb::FaultPlan plan;
  plan.failCall = static_cast<int>(at - calls.begin());
  plan.failWith = PF_Err_OUT_OF_MEMORY;
  host_.ledger().arm(plan);
  tb::CommandResult r = launch(e, 3);
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
  EXPECT_TRUE(scripts().empty());
  EXPECT_TRUE(r.report.clean());
}

TEST_F(LaunchTest, noneRunsNothingAndThePopupStaysOnNone) {
  tb::Effect& e = applySetUpMask();
  tb::CommandResult r = launch(e, 1);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(scripts().empty());
  EXPECT_EQ(param(e, MASK_LAUNCH).u.pd.value, 1);
}

class UpdateTest : public ActionsTest {};

TEST_F(UpdateTest, forceUpdateRebuildsStepsTheSliderAndResetsThePopup) {
  tb::Effect& e = applySetUpMask();
  applyEngine();
  param(e, MASK_UPDATE_SLIDER).u.sd.value = 99999;
  param(e, MASK_UPDATE).u.pd.value = 2;
  tb::CommandResult r = changed(e, MASK_UPDATE);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(host_.log().commands, std::vector<AEGP_Command>{2372});
  EXPECT_EQ(param(e, MASK_UPDATE).u.pd.value, 1);
  EXPECT_EQ(param(e, MASK_UPDATE_SLIDER).u.sd.value, 0);
  EXPECT_TRUE(hidden(e, MASK_UPDATE_SLIDER));
  // The item chosen does not matter; the slider counts on.
  changed(e, MASK_UPDATE);
  EXPECT_EQ(param(e, MASK_UPDATE_SLIDER).u.sd.value, 1);
  EXPECT_EQ(host_.log().commands.size(), 2u);
}

TEST_F(UpdateTest, theRebuildRunsRenderWithoutTouchingTheOutput) {
  tb::Effect& e = applySetUpMask();
  tb::CommandResult r = changed(e, MASK_UPDATE);
  ASSERT_EQ(r.err, PF_Err_NONE);
  const auto& calls = r.report.calls;
  auto command = std::find(calls.begin(), calls.end(), "AEGP_DoCommand");
  ASSERT_NE(command, calls.end());
  // Render works inside the host's quiet-errors mode, after the command and before the popup is
  // set back; the input is never copied to an output.
  auto quiet = std::find(command, calls.end(), "AEGP_StartQuietErrors");
  EXPECT_NE(quiet, calls.end());
  EXPECT_NE(std::find(quiet, calls.end(), "AEGP_EndQuietErrors"), calls.end());
  EXPECT_EQ(std::find(calls.begin(), calls.end(), "copyWorldCallback"), calls.end());
  EXPECT_EQ(host_.log().quietDepth, 0);
}

class RowsTest : public ActionsTest {
 protected:
  void expectRowsShown(tb::Effect& e, int shown) {
    for (int row = 1; row <= kMaskRows; ++row) {
      for (int index = MaskPathParam(row); index <= MaskRotationZParam(row); ++index)
        EXPECT_EQ(hidden(e, index), row > shown) << "row " << row << " index " << index;
    }
  }
};

TEST_F(RowsTest, theRowsInUseAndOneFreeRowAreShown) {
  tb::Effect& e = applySetUpMask();
  useRows(e, {0, 100});
  EXPECT_EQ(changed(e, MaskPathParam(2)).err, PF_Err_NONE);
  expectRowsShown(e, 3);
  // Choosing the third mask shows the fourth row.
  useRows(e, {0, 100, 200});
  changed(e, MaskPathParam(3));
  expectRowsShown(e, 4);
  // Emptying the second row ends the count there: rows after an empty one are hidden.
  param(e, MaskPathParam(2)).u.path_d.path_id = 0;
  changed(e, MaskPathParam(2));
  expectRowsShown(e, 2);
}

TEST_F(RowsTest, aRowWhoseMaskIsGoneCountsNothing) {
  tb::Effect& e = applySetUpMask();
  useRows(e, {0});
  param(e, MaskPathParam(2)).u.path_d.path_id = 999;
  changed(e, MASK_X_SUBDIVIDE);
  expectRowsShown(e, 2);
  // The scan goes on past the missing mask.
  param(e, MaskPathParam(3)).u.path_d.path_id = maskIds_[2];
  changed(e, MASK_X_SUBDIVIDE);
  expectRowsShown(e, 3);
}

TEST_F(RowsTest, tenRowsInUseShowAllTen) {
  for (int m = 3; m < 10; ++m)
    maskIds_.push_back(host_.addMask(*layer_, "More", actest::square(10 * m, 10, 5)));
  tb::Effect& e = applySetUpMask();
  useRows(e, std::vector<double>(10, 0));
  EXPECT_EQ(changed(e, MASK_X_SUBDIVIDE).err, PF_Err_NONE);
  expectRowsShown(e, 10);
}

TEST_F(RowsTest, referenceMasksAreHiddenUnlessTheyAreSampled) {
  tb::Effect& e = applySetUpMask();
  useRows(e, {0, 100});
  for (int i = 1; i <= kMaskRows; ++i)
    setHidden(e, ReferenceMaskParam(i), false);
  for (int item : {1, 2}) {
    param(e, MASK_REFERENCE_SAMPLING).u.pd.value = item;
    changed(e, MASK_REFERENCE_SAMPLING);
    for (int i = 1; i <= kMaskRows; ++i)
      EXPECT_TRUE(hidden(e, ReferenceMaskParam(i))) << i;
  }
  // On its third item they follow the rows: rows in use plus one.
  param(e, MASK_REFERENCE_SAMPLING).u.pd.value = 3;
  changed(e, MASK_REFERENCE_SAMPLING);
  for (int i = 1; i <= kMaskRows; ++i)
    EXPECT_EQ(hidden(e, ReferenceMaskParam(i)), i > 3) << i;
}

}  // namespace
