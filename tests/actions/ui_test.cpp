// The controls that follow the settings (UPDATE_PARAMS_UI) and the declared use of lights
// (QUERY_DYNAMIC_FLAGS).
#include <algorithm>

#include "TOLV_Mask/ui/DynamicFlags.h"
#include "tests/actions/ActionsFixture.h"

namespace {

class MaskUiTest : public actest::ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    effect_ = &applyMask();
  }
  void setLightPath(int box, int sweep) {
    param(*effect_, MASK_CREATE_LIGHT).u.bd.value = box;
    param(*effect_, MASK_SWEEP_INDEX).u.sd.value = sweep;
  }
  bool depthDisabled(int row) {
    return (param(*effect_, MaskDepthParam(row)).ui_flags & PF_PUI_DISABLED) != 0;
  }
  // The first call the handler makes once it has its suites.
  static std::string firstCallPastSuites(const tb::CommandResult& r) {
    for (const std::string& call : r.report.calls)
      if (call != "AcquireSuite")
        return call;
    return "";
  }
  tb::Effect* effect_ = nullptr;
};

TEST_F(MaskUiTest, sweepIndexMinusOneKeepsTheLightPathOff) {
  setLightPath(1, -1);
  param(*effect_, MaskDepthParam(2)).ui_flags = PF_PUI_DISABLED;
  tb::CommandResult r = updateUi(*effect_);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  for (int row = 1; row <= kMaskRows; ++row)
    EXPECT_FALSE(depthDisabled(row)) << row;
  EXPECT_TRUE(hidden(*effect_, MASK_ORIENT_ON_PATH));
}

TEST_F(MaskUiTest, aLightPathDisablesTheDepthOfRowsInUseOnly) {
  for (int sweep : {0, -5, 17}) {
    SCOPED_TRACE(sweep);
    setLightPath(1, sweep);
    setHidden(*effect_, MaskRotationXParam(3), true);
    param(*effect_, MaskDepthParam(3)).ui_flags = PF_PUI_NONE;
    setHidden(*effect_, MASK_ORIENT_ON_PATH, true);
    ASSERT_EQ(updateUi(*effect_).err, PF_Err_NONE);
    for (int row = 1; row <= kMaskRows; ++row)
      EXPECT_EQ(depthDisabled(row), row != 3) << row;
    EXPECT_FALSE(hidden(*effect_, MASK_ORIENT_ON_PATH));
  }
  // Turned off again, visible rows are enabled; the row with a hidden rotation keeps its flags.
  setLightPath(0, 17);
  param(*effect_, MaskDepthParam(3)).ui_flags = PF_PUI_DISABLED;
  ASSERT_EQ(updateUi(*effect_).err, PF_Err_NONE);
  for (int row = 1; row <= kMaskRows; ++row)
    EXPECT_EQ(depthDisabled(row), row == 3) << row;
  EXPECT_TRUE(hidden(*effect_, MASK_ORIENT_ON_PATH));
}

TEST_F(MaskUiTest, rowsAfterAFailureKeepTheirFlags) {
  setLightPath(1, 3);
  const std::vector<std::string> calls = updateUi(*effect_).report.calls;
  for (int row = 1; row <= kMaskRows; ++row)
    param(*effect_, MaskDepthParam(row)).ui_flags = PF_PUI_NONE;
  // The third stream asked for is the X rotation of row 3.
  int streams = 0;
  size_t third = 0;
  for (size_t i = 0; i < calls.size() && !third; ++i)
    if (calls[i] == "AEGP_GetNewEffectStreamByIndex" && ++streams == 3)
      third = i;
  ASSERT_NE(third, 0u);
  tb::FaultPlan plan;
  plan.failCall = static_cast<int>(third);
  plan.failWith = PF_Err_OUT_OF_MEMORY;
  host_.ledger().arm(plan);
  tb::CommandResult r = updateUi(*effect_);
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
  EXPECT_TRUE(r.report.clean());
  for (int row = 1; row <= kMaskRows; ++row)
    EXPECT_EQ(depthDisabled(row), row < 3) << row;
}

TEST_F(MaskUiTest, internalSlidersAreHiddenAfterEveryUpdate) {
  for (int round = 0; round < 2; ++round) {
    setHidden(*effect_, MASK_SWEEP_INDEX, false);
    setHidden(*effect_, MASK_UPDATE_SLIDER, false);
    ASSERT_EQ(updateUi(*effect_).err, PF_Err_NONE);
    EXPECT_TRUE(hidden(*effect_, MASK_SWEEP_INDEX));
    EXPECT_TRUE(hidden(*effect_, MASK_UPDATE_SLIDER));
  }
}

TEST_F(MaskUiTest, theLightPathBoxIsHeldAtSuperviseAndCannotTimeVary) {
  param(*effect_, MASK_CREATE_LIGHT).flags = PF_ParamFlag_SUPERVISE;
  tb::CommandResult r = updateUi(*effect_);
  ASSERT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(param(*effect_, MASK_CREATE_LIGHT).flags, 0x42);
  EXPECT_EQ(firstCallPastSuites(r), "PF_UpdateParamUI");
  // Held already: not published again.
  r = updateUi(*effect_);
  EXPECT_EQ(firstCallPastSuites(r), "AEGP_GetNewEffectForEffect");
}

// The query is answered from parameters checked out at the current time.
class MaskDynamicFlagsTest : public MaskUiTest {
 protected:
  tb::CommandResult query(PF_OutFlags2 before) {
    std::vector<PF_ParamDef*> params = tb::paramArray(*effect_);
    tb::CommandResult r;
    PF_InData in_data;
    host_.fillInData({mask_, effect_}, &in_data);
    r.out.out_flags2 = before;
    host_.ledger().beginCommand("query dynamic flags");
    r.err = QueryDynamicFlags(&in_data, &r.out, params.data(), nullptr);
    r.report = host_.ledger().endCommand();
    return r;
  }
  void setBoxes(int inherit, int lightPath) {
    param(*effect_, MASK_INHERIT_GEOMETRY).u.bd.value = inherit;
    param(*effect_, MASK_CREATE_LIGHT).u.bd.value = lightPath;
  }
  static constexpr PF_OutFlags2 kGlobal = PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS |
                                          PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_I_USE_3D_LIGHTS;
};

TEST_F(MaskDynamicFlagsTest, eitherBoxDeclaresLightsAndBothOffWithdrawOnlyThat) {
  setBoxes(1, 0);
  tb::CommandResult r = query(kGlobal & ~PF_OutFlag2_I_USE_3D_LIGHTS);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(r.out.out_flags2, kGlobal);
  setBoxes(0, 1);
  EXPECT_EQ(query(PF_OutFlag2_I_USE_3D_CAMERA).out.out_flags2,
            PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_I_USE_3D_LIGHTS);
  setBoxes(0, 0);
  r = query(kGlobal);
  EXPECT_EQ(r.out.out_flags2,
            PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS | PF_OutFlag2_I_USE_3D_CAMERA);
  const std::vector<std::string> calls = {"checkoutParam", "checkoutParam", "checkinParam",
                                          "checkinParam"};
  EXPECT_EQ(r.report.calls, calls);
  EXPECT_TRUE(r.report.clean());
}

TEST_F(MaskDynamicFlagsTest, theModuleAnswersTheQueryThroughItsEntryPoint) {
  setBoxes(1, 0);
  std::vector<PF_ParamDef*> params = tb::paramArray(*effect_);
  tb::CommandResult r =
      host_.send({mask_, effect_}, PF_Cmd_QUERY_DYNAMIC_FLAGS, params.data(), nullptr, nullptr);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(r.out.out_flags2 & PF_OutFlag2_I_USE_3D_LIGHTS, PF_OutFlag2_I_USE_3D_LIGHTS);
  EXPECT_TRUE(r.report.clean());
}

TEST_F(MaskDynamicFlagsTest, aFailedCheckOutLeavesTheFlagAndChecksInOnlyWhatWasOut) {
  setBoxes(1, 0);
  for (int fail = 0; fail < 4; ++fail) {
    SCOPED_TRACE(fail);
    tb::FaultPlan plan;
    plan.failCall = fail;
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    tb::CommandResult r = query(PF_OutFlag2_I_USE_3D_CAMERA);
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
    // Only a failed check-in may leave its parameter out.
    EXPECT_EQ(r.report.held.size(), fail >= 2 ? 1u : 0u);
    EXPECT_EQ(r.out.out_flags2, fail >= 2
                                    ? PF_OutFlag2_I_USE_3D_CAMERA | PF_OutFlag2_I_USE_3D_LIGHTS
                                    : PF_OutFlag2_I_USE_3D_CAMERA);
    const size_t checkouts =
        std::count(r.report.calls.begin(), r.report.calls.end(), std::string("checkoutParam"));
    EXPECT_EQ(checkouts, fail == 0 ? 1u : 2u);
    // The parameter the host refused to take back is the one violation of the query.
    ASSERT_EQ(host_.ledger().violations().size(), fail >= 2 ? 1u : 0u);
    if (fail >= 2) {
      EXPECT_EQ(host_.ledger().violations()[0].what.rfind("left held: ", 0), 0u)
          << tb::describe(host_.ledger().violations()[0]);
    }
    host_.ledger().clearViolations();
    // It would be found again by the next check-in.
    while (auto* left = host_.findRef<tb::CheckedOutParamObject>([](const auto&) { return true; }))
      host_.disposeRef(left);
  }
}

}  // namespace
