// The path light and the follower light that the mask effect's checkboxes create, key and delete.
#include <algorithm>

#include "TOLV_Mask/lights/PathLight.h"
#include "tests/actions/ActionsFixture.h"

namespace {

class PathLightTest : public actest::ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    // 10 s at 25 fps counted at the frame rate's own scale: the light's span is 249/25.
    comp_->duration = {250, 25};
    effect_ = &applySetUpMask();
  }
  tb::CommandResult check(int on) {
    param(*effect_, MASK_CREATE_LIGHT).u.bd.value = on;
    return changed(*effect_, MASK_CREATE_LIGHT);
  }
  tb::Layer* pathLight() { return layerNamed("'Morvane' path"); }
  // Keys as (seconds, z); the time-0 key holds the layer's own position.
  std::vector<std::pair<double, double>> keys(const tb::Layer& light) {
    std::vector<std::pair<double, double>> out;
    if (light.positionKeyAtZero)
      out.emplace_back(0.0, light.transform.position.z);
    for (const tb::PositionKey& k : light.transform.positionKeys)
      out.emplace_back(k.time, k.value.z);
    return out;
  }
  tb::Effect* effect_ = nullptr;
};

TEST_F(PathLightTest, risingDepthsAreKeyedAcrossTheComposition) {
  useRows(*effect_, {0, 100, 200});
  tb::CommandResult r = check(1);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  tb::Layer* light = pathLight();
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->kind, tb::LayerKind::Light);
  EXPECT_EQ(light->lightType, AEGP_LightType_POINT);
  EXPECT_EQ(light->intensity, 0.0);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, light->id);
  const std::vector<std::pair<double, double>> expected = {
      {0.0, 0.0}, {124.0 / 25, 100.0}, {249.0 / 25, 200.0}};
  EXPECT_EQ(keys(*light), expected);
  EXPECT_EQ(light->transform.position.x, 320.0);
  EXPECT_EQ(light->transform.position.y, 180.0);
  for (const tb::PositionKey& k : light->transform.positionKeys) {
    EXPECT_EQ(k.value.x, 320.0);
    EXPECT_EQ(k.value.y, 180.0);
  }
  EXPECT_TRUE(host_.log().alerts.empty());
  EXPECT_TRUE(scripts().empty());
}

TEST_F(PathLightTest, fallingDepthsAreKeyedInReverse) {
  useRows(*effect_, {200, 100, 0});
  ASSERT_EQ(check(1).err, PF_Err_NONE);
  ASSERT_NE(pathLight(), nullptr);
  const std::vector<std::pair<double, double>> expected = {
      {0.0, 0.0}, {124.0 / 25, 100.0}, {249.0 / 25, 200.0}};
  EXPECT_EQ(keys(*pathLight()), expected);
}

TEST_F(PathLightTest, equalDepthsRaiseTheAlert) {
  useRows(*effect_, {50, 50});
  check(1);
  ASSERT_EQ(scripts().size(), 1u);
  EXPECT_EQ(scripts()[0], kNoDepthAlert);
  ASSERT_EQ(host_.log().lightsCreated.size(), 1u);
  EXPECT_EQ(host_.log().lightsCreated[0], "'Morvane' path");
  // The host shows the alert with its line break, and the light made in the same change is gone.
  EXPECT_EQ(host_.log().alerts,
            std::vector<std::string>{"The shape you created has no Z depth\n"
                                     "Please set Z parameters before creating a light path"});
  EXPECT_EQ(host_.log().lightsDeleted, std::vector<std::string>{"'Morvane' path"});
  EXPECT_EQ(pathLight(), nullptr);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
  EXPECT_EQ(param(*effect_, MASK_CREATE_LIGHT).u.bd.value, 0);
}

TEST_F(PathLightTest, oneRowOrNoneLosesTheLightAfterTheAlert) {
  for (const std::vector<double>& depths : {std::vector<double>{75}, std::vector<double>{}}) {
    SCOPED_TRACE(depths.size());
    for (int i = 1; i <= kMaskRows; ++i)
      param(*effect_, MaskPathParam(i)).u.path_d.path_id = 0;
    useRows(*effect_, depths);
    const size_t before = scripts().size();
    check(1);
    ASSERT_EQ(scripts().size(), before + 1);
    EXPECT_EQ(scripts().back(), kNoDepthAlert);
    EXPECT_EQ(pathLight(), nullptr);
    EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
    EXPECT_EQ(param(*effect_, MASK_CREATE_LIGHT).u.bd.value, 0);
  }
  EXPECT_EQ(host_.log().lightsDeleted.size(), 2u);
}

TEST_F(PathLightTest, uncheckingDeletesTheLightAndForgetsItsId) {
  useRows(*effect_, {0, 100});
  ASSERT_EQ(check(1).err, PF_Err_NONE);
  ASSERT_NE(pathLight(), nullptr);
  tb::CommandResult r = check(0);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(pathLight(), nullptr);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
  EXPECT_EQ(host_.log().lightsDeleted, std::vector<std::string>{"'Morvane' path"});
}

TEST_F(PathLightTest, uncheckingWithoutALightChangesNothingInTheComposition) {
  const size_t layers = comp_->layers.size();
  tb::CommandResult r = check(0);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(comp_->layers.size(), layers);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
  EXPECT_TRUE(std::none_of(r.report.calls.begin(), r.report.calls.end(),
                           [](const std::string& c) { return c == "AEGP_DeleteLayer"; }));
}

TEST_F(PathLightTest, aStaleIdOnlyResetsTheSlider) {
  param(*effect_, MASK_SWEEP_INDEX).u.sd.value = 4242;
  const size_t layers = comp_->layers.size();
  EXPECT_EQ(check(0).err, PF_Err_NONE);
  EXPECT_EQ(comp_->layers.size(), layers);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
}

TEST_F(PathLightTest, anIdNamingAUsersLayerDeletesNothing) {
  // After a copy to another composition "Sweep index" may name any layer there.
  tb::Layer& other = host_.addLayer(*comp_, "Background", 640, 360);
  param(*effect_, MASK_SWEEP_INDEX).u.sd.value = other.id;
  EXPECT_EQ(check(0).err, PF_Err_NONE);
  EXPECT_EQ(layerNamed("Background"), &other);
  EXPECT_EQ(layerNamed("Card"), layer_);
  EXPECT_EQ(param(*effect_, MASK_SWEEP_INDEX).u.sd.value, -1);
  // Nor the effect's own layer.
  param(*effect_, MASK_SWEEP_INDEX).u.sd.value = layer_->id;
  EXPECT_EQ(check(0).err, PF_Err_NONE);
  EXPECT_EQ(layerNamed("Card"), layer_);
}

class FollowerLightTest : public actest::ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    source_ = &host_.addLayer(*comp_, "Texture", 320, 180);
    effect_ = &applySetUpMask();
  }
  tb::CommandResult inherit(int on) {
    param(*effect_, MASK_INHERIT_GEOMETRY).u.bd.value = on;
    return changed(*effect_, MASK_INHERIT_GEOMETRY);
  }
  tb::Layer* source_ = nullptr;
  tb::Effect* effect_ = nullptr;
};

TEST_F(FollowerLightTest, followsTheColourSourceHiddenLockedAndShy) {
  chooseLayer(*effect_, MASK_COLOR_SOURCE, source_);
  tb::CommandResult r = inherit(1);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  tb::Layer* light = layerNamed("'Morvane' follower");
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->kind, tb::LayerKind::Light);
  EXPECT_EQ(light->lightType, AEGP_LightType_POINT);
  EXPECT_EQ(light->intensity, 0.0);
  EXPECT_EQ(light->parentId, source_->id);
  EXPECT_EQ(light->flags & AEGP_LayerFlag_VIDEO_ACTIVE, 0);
  EXPECT_NE(light->flags & AEGP_LayerFlag_LOCKED, 0);
  EXPECT_NE(light->flags & AEGP_LayerFlag_SHY, 0);
  // The flags are set in this order, after the parent.
  const auto& calls = r.report.calls;
  auto parent = std::find(calls.begin(), calls.end(), "AEGP_SetLayerParent");
  ASSERT_NE(parent, calls.end());
  EXPECT_EQ(std::count(parent, calls.end(), "AEGP_SetLayerFlag"), 3);
}

TEST_F(FollowerLightTest, everyCheckAddsOneAndUncheckingRemovesNone) {
  chooseLayer(*effect_, MASK_COLOR_SOURCE, layer_);
  inherit(1);
  inherit(0);
  inherit(1);
  EXPECT_EQ(host_.log().lightsCreated.size(), 2u);
  EXPECT_TRUE(host_.log().lightsDeleted.empty());
  EXPECT_EQ(comp_->layers.front()->parentId, layer_->id);
}

TEST_F(FollowerLightTest, noColourSourceCreatesNothing) {
  chooseLayer(*effect_, MASK_COLOR_SOURCE, nullptr);
  const size_t layers = comp_->layers.size();
  EXPECT_EQ(inherit(1).err, PF_Err_NONE);
  EXPECT_EQ(comp_->layers.size(), layers);
  EXPECT_TRUE(host_.log().lightsCreated.empty());
}

}  // namespace
