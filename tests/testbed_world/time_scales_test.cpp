// Times as the host keeps them, through scenes: each time at its own scale, layers that start late,
// the active item, and the time step.
#include <gtest/gtest.h>

#include "AE_GeneralPlug.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamKeys.h"
#include "testbed/host/StreamValues.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneRun.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"
#include "tests/ui_module/TimedRead.h"

namespace {

class TimeScalesTest : public ::testing::Test {
 protected:
  void SetUp() override { host_.load(tbtest::modulePath("TOLV_TestUi")); }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
  }

  tb::Comp& build(const std::string& text) {
    scene_ = tb::scene::parseScene(text, "time.json");
    return tb::scene::buildScene(host_, scene_);
  }

  template <class S>
  const S& suite(const char* name, int version) {
    return *static_cast<const S*>(host_.suites().find(name, version));
  }

  tb::Host host_;
  tb::scene::SceneSpec scene_;
};

const char* const kScaled = R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 2,
           "work_area": [0.5, 1], "scales": {"time": 1000, "work_area": 600, "duration": 30}},
  "layers": [{"name": "Late", "kind": "solid", "size": [32, 24], "start": 0.2,
              "effects": [{"match": "ZEK TOLV_TestUi"}]}],
  "steps": [{"time": 1}]
})";

TEST_F(TimeScalesTest, eachCompositionTimeKeepsTheScaleTheSceneGave) {
  tb::Comp& comp = build(kScaled);
  const auto& comps = suite<AEGP_CompSuite15>(kAEGPCompSuite, 15);
  const auto compH = reinterpret_cast<AEGP_CompH>(&comp);
  A_Time t{};
  ASSERT_EQ(comps.AEGP_GetCompFrameDuration(compH, &t), A_Err_NONE);
  EXPECT_EQ(t.value, 1);
  EXPECT_EQ(t.scale, 25u);
  ASSERT_EQ(comps.AEGP_GetCompWorkAreaStart(compH, &t), A_Err_NONE);
  EXPECT_EQ(t.value, 300);
  EXPECT_EQ(t.scale, 600u);
  ASSERT_EQ(comps.AEGP_GetCompWorkAreaDuration(compH, &t), A_Err_NONE);
  EXPECT_EQ(t.value, 600);
  EXPECT_EQ(t.scale, 600u);
  EXPECT_EQ(comp.duration.value, 60);
  EXPECT_EQ(comp.duration.scale, 30u);
  EXPECT_EQ(comp.currentTime.scale, 1000u);
}

TEST_F(TimeScalesTest, aLateLayersEffectSeesItsOwnTimeAndConvertsBack) {
  tb::Comp& comp = build(kScaled);
  tb::scene::runSteps(host_, scene_, "");
  EXPECT_EQ(comp.currentTime.value, 1000);
  EXPECT_EQ(comp.currentTime.scale, 1000u);
  tb::Effect& effect = *comp.layers[0]->effects[0];
  PF_InData in{};
  host_.fillInData({effect.module, &effect}, &in);
  EXPECT_EQ(in.time_scale, 1000u);
  EXPECT_EQ(in.current_time, 800);  // one second into the composition, 0.8 into the layer
  EXPECT_EQ(in.time_step, 40);
  EXPECT_EQ(in.total_time, 2000);
  const auto& pf = suite<AEGP_PFInterfaceSuite1>(kAEGPPFInterfaceSuite, 1);
  A_Time t{};
  ASSERT_EQ(pf.AEGP_ConvertEffectToCompTime(reinterpret_cast<PF_ProgPtr>(&effect), 800, 1000, &t),
            A_Err_NONE);
  EXPECT_EQ(t.value, 1000);
  EXPECT_EQ(t.scale, 1000u);
  ASSERT_EQ(pf.AEGP_ConvertEffectToCompTime(reinterpret_cast<PF_ProgPtr>(&effect), 0, 25, &t),
            A_Err_NONE);
  EXPECT_EQ(t.value, 5);  // 0.2 s is 5 frames
  EXPECT_EQ(t.scale, 25u);
}

TEST_F(TimeScalesTest, settingTheCurrentTimeKeepsItsScale) {
  tb::Comp& comp = build(kScaled);
  const auto& items = suite<AEGP_ItemSuite13>(kAEGPItemSuite, 13);
  const A_Time half{1, 2};
  ASSERT_EQ(items.AEGP_SetItemCurrentTime(reinterpret_cast<AEGP_ItemH>(comp.item.get()), &half),
            A_Err_NONE);
  EXPECT_EQ(comp.currentTime.value, 500);
  EXPECT_EQ(comp.currentTime.scale, 1000u);
}

const char* const kKeyed = R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 2},
  "layers": [{"name": "Card", "kind": "solid", "size": [32, 24],
              "effects": [{"match": "ZEK TOLV_TestUi",
                           "params": {"1": {"keys": [[0, 10], [1, 30]]},
                                      "2": {"keys": [[0, 0], [0.5, 1]]}}}]}]
})";

TEST_F(TimeScalesTest, aKeyedParameterIsLinearForNumbersAndHeldForCheckboxes) {
  tb::Comp& comp = build(kKeyed);
  const tb::Effect& effect = *comp.layers[0]->effects[0];
  const double times[] = {0, 0.25, 1.5};
  const double amounts[] = {10, 15, 30};
  const double lights[] = {0, 0, 1};
  for (int k = 0; k < 3; ++k) {
    AEGP_StreamVal2 v;
    ASSERT_TRUE(tb::readStreamValue(effect, 1, times[k], &v));
    EXPECT_EQ(v.one_d, amounts[k]) << times[k];
    ASSERT_TRUE(tb::readStreamValue(effect, 2, times[k], &v));
    EXPECT_EQ(v.one_d, lights[k]) << times[k];
  }
  EXPECT_EQ(tb::paramAt(effect, 2, 0.4999).u.bd.value, 0);
  EXPECT_EQ(tb::paramAt(effect, 2, 0.5).u.bd.value, 1);
}

TEST_F(TimeScalesTest, effectCallGenericPassesItsTimeToTheCommandAndItsReads) {
  tb::Comp& comp = build(kKeyed);
  const auto& effects = suite<AEGP_EffectSuite3>(kAEGPEffectSuite, 3);
  AEGP_EffectRefH ref = nullptr;
  ASSERT_EQ(effects.AEGP_GetLayerEffectByIndex(
                1, reinterpret_cast<AEGP_LayerH>(comp.layers[0].get()), 0, &ref),
            A_Err_NONE);
  const A_Time times[] = {{0, 25}, {1, 2}, {3, 2}};
  const A_long amounts[] = {10, 20, 30};
  for (int k = 0; k < 3; ++k) {
    TimedRead read;
    EXPECT_EQ(effects.AEGP_EffectCallGeneric(1, ref, &times[k], PF_Cmd_COMPLETELY_GENERAL, &read),
              A_Err_NONE);
    EXPECT_EQ(read.seen.value, times[k].value);
    EXPECT_EQ(read.seen.scale, times[k].scale);
    EXPECT_EQ(read.amount, amounts[k]) << k;
  }
  EXPECT_EQ(effects.AEGP_DisposeEffect(ref), A_Err_NONE);
  // Outside the call the effect is back at the composition's current time.
  PF_InData in{};
  host_.fillInData({comp.layers[0]->effects[0]->module, comp.layers[0]->effects[0].get()}, &in);
  EXPECT_EQ(in.current_time, 0);
  EXPECT_EQ(in.time_scale, 25u);
}

TEST_F(TimeScalesTest, aStreamWriteReplacesTheKeys) {
  tb::Comp& comp = build(kKeyed);
  tb::Effect& effect = *comp.layers[0]->effects[0];
  AEGP_StreamVal2 v{};
  v.one_d = 7;
  ASSERT_TRUE(tb::writeStreamValue(effect, 1, v));
  ASSERT_TRUE(tb::readStreamValue(effect, 1, 1.5, &v));
  EXPECT_EQ(v.one_d, 7);
  EXPECT_EQ(tb::paramAt(effect, 1, 1.5).u.sd.value, 7);
}

TEST(ActiveItem, mayBeFootageAFolderTheCompositionOrNone) {
  const std::string head = R"({"comp": {"name": "Main", "width": 8, "height": 8, "fps": 24,
      "duration": 1}, "items": [{"name": "Clip", "kind": "footage"},
      {"name": "Bin", "kind": "folder"}], "active": )";
  const std::pair<const char*, AEGP_ItemType> cases[] = {{"\"Clip\"", AEGP_ItemType_FOOTAGE},
                                                         {"\"Bin\"", AEGP_ItemType_FOLDER},
                                                         {"\"Main\"", AEGP_ItemType_COMP},
                                                         {"null", AEGP_ItemType_NONE}};
  for (const auto& [active, type] : cases) {
    tb::Host host;
    tb::scene::buildScene(host, tb::scene::parseScene(head + active + "}", "items.json"));
    const auto& items =
        *static_cast<const AEGP_ItemSuite13*>(host.suites().find(kAEGPItemSuite, 13));
    AEGP_ItemH item = nullptr;
    ASSERT_EQ(items.AEGP_GetActiveItem(&item), A_Err_NONE);
    AEGP_ItemType got = AEGP_ItemType_NONE;
    if (item) {
      ASSERT_EQ(items.AEGP_GetItemType(item, &got), A_Err_NONE);
    }
    EXPECT_EQ(got, type) << active;
    EXPECT_EQ(host.project().items.size(), 2u);
  }
}

}  // namespace
