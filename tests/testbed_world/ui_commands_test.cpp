// UI commands as the host sends them to "ZEK TOLV_TestUi": copies in the params array, flags
// published with PF_UpdateParamUI kept for the next command, and QUERY_DYNAMIC_FLAGS after each
// apply and update with the instance's current flags. Also deleting a mask.
#include <gtest/gtest.h>

#include "testbed/host/Host.h"
#include "testbed/host/ParamValues.h"
#include "testbed/host/StreamValues.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace {

constexpr int kAmount = 1;
constexpr int kLights = 2;
constexpr PF_OutFlags2 kSupports = PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS;

class UiCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_ = &host_.load(tbtest::modulePath("TOLV_TestUi"));
    comp_ = &host_.addComp("Main", 32, 24);
    layer_ = &host_.addLayer(*comp_, "Card", 32, 24);
    effect_ = &host_.applyEffect(*layer_, *ui_);
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
  }

  std::vector<PF_Cmd> sentSince(size_t from) {
    std::vector<PF_Cmd> cmds;
    for (size_t i = from; i < host_.log().sent.size(); ++i)
      cmds.push_back(host_.log().sent[i].cmd);
    return cmds;
  }

  void setLights(bool on) {
    AEGP_StreamVal2 v{};
    v.one_d = on ? 1 : 0;
    ASSERT_TRUE(tb::writeStreamValue(*effect_, kLights, v));
  }

  tb::Host host_;
  tb::Module* ui_ = nullptr;
  tb::Comp* comp_ = nullptr;
  tb::Layer* layer_ = nullptr;
  tb::Effect* effect_ = nullptr;
};

TEST_F(UiCommandsTest, applyingAsksForTheDynamicFlagsStartingFromTheGlobalOnes) {
  EXPECT_EQ(sentSince(0), (std::vector<PF_Cmd>{PF_Cmd_SEQUENCE_SETUP, PF_Cmd_QUERY_DYNAMIC_FLAGS}));
  EXPECT_EQ(host_.log().sent.back().outFlags, PF_OutFlag_SEND_UPDATE_PARAMS_UI);
  EXPECT_EQ(host_.log().sent.back().outFlags2, kSupports);
  ASSERT_TRUE(effect_->dynamicFlags);
  EXPECT_EQ(effect_->dynamicFlags->second, kSupports);
}

TEST_F(UiCommandsTest, whatThePlugInWritesIntoItsParamsChangesNothingInTheProject) {
  const size_t from = host_.log().sent.size();
  host_.userChangedParam(*effect_, kAmount);
  EXPECT_EQ(sentSince(from),
            (std::vector<PF_Cmd>{PF_Cmd_USER_CHANGED_PARAM, PF_Cmd_UPDATE_PARAMS_UI,
                                 PF_Cmd_QUERY_DYNAMIC_FLAGS}));
  EXPECT_EQ(effect_->params[kAmount].u.sd.value, 10);
  EXPECT_EQ(effect_->params[kLights].u.bd.value, 0);
  // Lights went on only in the update's copy: the query that followed saw it off.
  EXPECT_EQ(host_.log().sent.back().outFlags2, kSupports);
}

TEST_F(UiCommandsTest, flagsPublishedWithUpdateParamUiReachTheNextCommand) {
  host_.updateParamsUI(*effect_);
  EXPECT_EQ(effect_->params[kAmount].ui_flags, PF_PUI_DISABLED);
  EXPECT_EQ(effect_->params[kAmount].flags, PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY);
  host_.updateParamsUI(*effect_);
  EXPECT_EQ(effect_->params[kAmount].ui_flags, 0);
  const auto& logged = host_.log().paramUi;
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].layer, "Card");
  EXPECT_EQ(logged[0].effect, 0);
  EXPECT_EQ(logged[0].param, kAmount);
  EXPECT_EQ(logged[0].uiFlags, PF_PUI_DISABLED);
  EXPECT_EQ(logged[0].flags, PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY);
  EXPECT_EQ(logged[1].uiFlags, 0);
}

TEST_F(UiCommandsTest, theDynamicFlagsAnswerIsKeptAndGivenBackNextTime) {
  setLights(true);
  host_.updateParamsUI(*effect_);
  EXPECT_EQ(host_.log().sent.back().outFlags2, kSupports | PF_OutFlag2_I_USE_3D_LIGHTS);
  EXPECT_EQ(effect_->dynamicFlags->second, kSupports | PF_OutFlag2_I_USE_3D_LIGHTS);
  setLights(false);
  host_.queryDynamicFlags(*effect_);
  EXPECT_EQ(effect_->dynamicFlags->second, kSupports);
}

TEST_F(UiCommandsTest, deletingAMaskKeepsTheOthersIdsAndLeavesNoDanglingChoice) {
  const PF_PathID a = host_.addMask(*layer_, "A", {});
  const PF_PathID b = host_.addMask(*layer_, "B", {});
  EXPECT_TRUE(host_.deleteMask(*layer_, a));
  ASSERT_EQ(layer_->masks.size(), 1u);
  EXPECT_EQ(layer_->masks[0].id, b);
  EXPECT_EQ(layer_->masks[0].name, "B");
  EXPECT_FALSE(host_.deleteMask(*layer_, a));
  EXPECT_FALSE(host_.deleteMask(*layer_, 0));
  EXPECT_NE(host_.addMask(*layer_, "C", {}), a);
}

}  // namespace

namespace {

A_Err LeavesMaxSleep(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long*) {
  return A_Err_NONE;
}

A_Err AsksForFive(AEGP_GlobalRefcon, AEGP_IdleRefcon, A_long* max_sleep) {
  *max_sleep = 5;
  return A_Err_NONE;
}

TEST(IdleHooks, getTheHostsDefaultMaxSleepSoThatAChangeShows) {
  tb::Host host;
  host.addIdleHook({nullptr, 1, LeavesMaxSleep, nullptr});
  host.addIdleHook({nullptr, 2, AsksForFive, nullptr});
  host.runIdle(1);
  ASSERT_EQ(host.log().sent.size(), 2u);
  EXPECT_EQ(host.log().sent[0].maxSleep, tb::SentCommand::kDefaultMaxSleep);
  EXPECT_EQ(host.log().sent[1].maxSleep, 5);
  EXPECT_NE(tb::SentCommand::kDefaultMaxSleep, 0);
}

}  // namespace

namespace {

TEST(DownsampledRender, givesReducedWorldsTheFactorsAndScaledPoints) {
  tb::Host host;
  tb::Module& ui = host.load(tbtest::modulePath("TOLV_TestUi"));
  tb::Comp& comp = host.addComp("Main", 33, 24);
  tb::Layer& layer = host.addLayer(comp, "Card", 33, 24);
  layer.pixels = tb::makeSolid(33, 24, PF_Pixel{255, 1, 2, 3});
  host.applyEffect(layer, ui);  // "Centre" defaults to the middle: (16.5, 12)
  for (const auto& [dx, dy] : {std::pair{1, 1}, std::pair{2, 3}}) {
    std::vector<tb::LayerFrame> frames = host.renderComp(comp, {0, 25}, dx, dy);
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_TRUE(frames[0].frame);
    const tb::World& frame = *frames[0].frame;
    EXPECT_EQ(frame.width(), (33 + dx - 1) / dx);
    EXPECT_EQ(frame.height(), 24 / dy);
    EXPECT_EQ(frame.at(0, 0).red, 16 / dx);
    EXPECT_EQ(frame.at(0, 0).green, 12 / dy);
    EXPECT_EQ(frame.at(1, 0).red, dx);
    EXPECT_EQ(frame.at(1, 0).green, dy);
  }
  EXPECT_TRUE(host.ledger().violations().empty());
}

}  // namespace

namespace {

TEST(DownsampledRender, givesCheckedOutLayersAndPointsReducedAndFullSizeOutsideIt) {
  tb::Host host;
  tb::Module& ui = host.load(tbtest::modulePath("TOLV_TestUi"));
  tb::Comp& comp = host.addComp("Main", 33, 24);
  tb::Layer& texture = host.addLayer(comp, "Texture", 21, 10);
  texture.pixels = tb::makeSolid(21, 10, PF_Pixel{255, 9, 9, 9});
  tb::Layer& layer = host.addLayer(comp, "Card", 33, 24);
  layer.pixels = tb::makeSolid(33, 24, PF_Pixel{255, 1, 2, 3});
  tb::Effect& effect = host.applyEffect(layer, ui);
  constexpr int kSource = 4;
  tb::setLayerIdValue(effect.params[kSource], texture.id);
  effect.layerIds[kSource] = texture.id;
  for (const auto& [dx, dy] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{4, 1}}) {
    std::vector<tb::LayerFrame> frames = host.renderComp(comp, {0, 25}, dx, dy);
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_TRUE(frames[1].frame);
    const tb::World& frame = *frames[1].frame;
    EXPECT_EQ(frame.at(2, 0).red, (21 + dx - 1) / dx) << dx << "x" << dy;
    EXPECT_EQ(frame.at(2, 0).green, (10 + dy - 1) / dy) << dx << "x" << dy;
    // A point checked out then is scaled as the render's own "Centre" is: (16.5, 12) reduced.
    EXPECT_EQ(frame.at(3, 0).red, 16 / dx) << dx << "x" << dy;
    EXPECT_EQ(frame.at(3, 0).green, 12 / dy) << dx << "x" << dy;
    EXPECT_EQ(frame.at(3, 0).red, frame.at(0, 0).red);
    EXPECT_EQ(frame.at(3, 0).green, frame.at(0, 0).green);
  }
  // Outside a render the host gives the layer as it is.
  PF_InData in_data;
  host.fillInData({&ui, &effect}, &in_data);
  PF_ParamDef param = {};
  ASSERT_EQ(in_data.inter.checkout_param(in_data.effect_ref, kSource, 0, 1, 25, &param),
            PF_Err_NONE);
  EXPECT_EQ(param.u.ld.width, 21);
  EXPECT_EQ(param.u.ld.height, 10);
  EXPECT_EQ(in_data.inter.checkin_param(in_data.effect_ref, &param), PF_Err_NONE);
  constexpr int kCentre = 3;
  ASSERT_EQ(in_data.inter.checkout_param(in_data.effect_ref, kCentre, 0, 1, 25, &param),
            PF_Err_NONE);
  EXPECT_EQ(param.u.td.x_value, 33 << 15);  // 16.5 in 16.16 fixed point
  EXPECT_EQ(param.u.td.y_value, 12 << 16);
  EXPECT_EQ(in_data.inter.checkin_param(in_data.effect_ref, &param), PF_Err_NONE);
  host.quit();
  tbtest::checkViolations(host.ledger(), {});
}

}  // namespace
