// Layers, parents, keyframed positions, lights and compositions through the AEGP suites.
#include <cstring>

#include "tests/testbed_world/WorldFixture.h"

namespace {

class LayerSuitesTest : public twtest::WorldTest {
 protected:
  A_Matrix4 world(tb::Layer* l, double seconds) {
    A_Time t{static_cast<A_long>(std::lround(seconds * 1000)), 1000};
    A_Matrix4 m{};
    EXPECT_EQ(layers().AEGP_GetLayerToWorldXform(layerH(l), &t, &m), A_Err_NONE);
    return m;
  }
};

TEST_F(LayerSuitesTest, childMatrixCarriesItsParentsTransform) {
  tb::Layer& parent = host_.addLayer(*comp_, "Parent", 10, 10);
  parent.transform.position = {100, 50, 0};
  parent.transform.scale = {200, 200, 100};
  layer_->transform.anchor = {5, 5, 0};
  layer_->transform.position = {10, 20, 30};
  ASSERT_EQ(layers().AEGP_SetLayerParent(layerH(layer_), layerH(&parent)), A_Err_NONE);
  const A_Matrix4 m = world(layer_, 0);
  // (x, y, z) -> ((x - 5 + 10) * 2 + 100, (y - 5 + 20) * 2 + 50, z + 30)
  EXPECT_EQ(m.mat[0][0], 2.0);
  EXPECT_EQ(m.mat[1][1], 2.0);
  EXPECT_EQ(m.mat[2][2], 1.0);
  EXPECT_EQ(m.mat[3][0], 110.0);
  EXPECT_EQ(m.mat[3][1], 80.0);
  EXPECT_EQ(m.mat[3][2], 30.0);
  EXPECT_EQ(m.mat[3][3], 1.0);
  A_Matrix4 view{};
  A_Time t{0, comp_->timeScale};
  ASSERT_EQ(layers().AEGP_GetLayerToWorldXformFromView(layerH(layer_), &t, &t, &view), A_Err_NONE);
  EXPECT_EQ(std::memcmp(&view, &m, sizeof m), 0);
}

TEST_F(LayerSuitesTest, parentingThatWouldMakeACycleIsRefused) {
  tb::Layer& other = host_.addLayer(*comp_, "Other", 10, 10);
  ASSERT_EQ(layers().AEGP_SetLayerParent(layerH(&other), layerH(layer_)), A_Err_NONE);
  EXPECT_EQ(layers().AEGP_SetLayerParent(layerH(layer_), layerH(&other)), A_Err_PARAMETER);
  EXPECT_EQ(layers().AEGP_SetLayerParent(layerH(layer_), layerH(layer_)), A_Err_PARAMETER);
}

TEST_F(LayerSuitesTest, keyedPositionMovesLinearlyBetweenKeysAddedThroughTheKeyframeSuite) {
  const auto& streams = suite<AEGP_StreamSuite9>(kAEGPStreamSuite, 9);
  const auto& keys = suite<AEGP_KeyframeSuite4>(kAEGPKeyframeSuite, 4);
  AEGP_StreamRefH position = nullptr;
  ASSERT_EQ(streams.AEGP_GetNewLayerStream(1, layerH(layer_), AEGP_LayerStream_POSITION, &position),
            A_Err_NONE);
  const double seconds[2] = {0, 2};
  const AEGP_ThreeDVal values[2] = {{0, 0, 0}, {40, 20, -8}};
  for (int k = 0; k < 2; ++k) {
    AEGP_AddKeyframesInfoH adding = nullptr;
    ASSERT_EQ(keys.AEGP_StartAddKeyframes(position, &adding), A_Err_NONE);
    A_Time t{static_cast<A_long>(seconds[k] * comp_->timeScale), comp_->timeScale};
    A_long index = -1;
    ASSERT_EQ(keys.AEGP_AddKeyframes(adding, AEGP_LTimeMode_LayerTime, &t, &index), A_Err_NONE);
    EXPECT_EQ(index, k);
    ASSERT_EQ(keys.AEGP_EndAddKeyframes(true, adding), A_Err_NONE);
    AEGP_StreamValue2 v{};
    v.val.three_d = values[k];
    ASSERT_EQ(keys.AEGP_SetKeyframeValue(position, index, &v), A_Err_NONE);
  }
  A_Time half{1, 2};  // 0.5 s: a quarter of the way
  AEGP_StreamValue2 at{};
  ASSERT_EQ(streams.AEGP_GetNewStreamValue(1, position, AEGP_LTimeMode_CompTime, &half, false, &at),
            A_Err_NONE);
  EXPECT_EQ(at.val.three_d.x, 10.0);
  EXPECT_EQ(at.val.three_d.y, 5.0);
  EXPECT_EQ(at.val.three_d.z, -2.0);
  EXPECT_EQ(streams.AEGP_DisposeStreamValue(&at), A_Err_NONE);
  // A keyed stream takes values through its keys only.
  AEGP_StreamValue2 plain{};
  EXPECT_EQ(streams.AEGP_SetStreamValue(1, position, &plain), A_Err_PARAMETER);
  EXPECT_EQ(streams.AEGP_DisposeStream(position), A_Err_NONE);
  EXPECT_EQ(world(layer_, 0.5).mat[3][0], 10.0);
}

TEST_F(LayerSuitesTest, aCreatedLightIsAPointLightFoundByItsId) {
  expectViolation("AEGP_GetLayerID: not a live layer");
  const auto& comps = suite<AEGP_CompSuite15>(kAEGPCompSuite, 15);
  const A_UTF16Char name[] = {'\'', 'M', '\'', ' ', 'p', 'a', 't', 'h', 0};
  const A_FloatPoint centre{0, 0};
  AEGP_LayerH light = nullptr;
  ASSERT_EQ(
      comps.AEGP_CreateLightInComp(reinterpret_cast<AEGP_CompH>(comp_), name, &centre, &light),
      A_Err_NONE);
  AEGP_LightType type = AEGP_LightType_NONE;
  ASSERT_EQ(suite<AEGP_LightSuite2>(kAEGPLightSuite, 2).AEGP_GetLightType(light, &type),
            A_Err_NONE);
  EXPECT_EQ(type, AEGP_LightType_POINT);
  AEGP_LayerIDVal id = 0;
  ASSERT_EQ(layers().AEGP_GetLayerID(light, &id), A_Err_NONE);
  EXPECT_NE(id, layer_->id);
  AEGP_LayerH found = nullptr;
  ASSERT_EQ(layers().AEGP_GetLayerFromLayerID(reinterpret_cast<AEGP_CompH>(comp_), id, &found),
            A_Err_NONE);
  EXPECT_EQ(found, light);
  ASSERT_EQ(layers().AEGP_DeleteLayer(light), A_Err_NONE);
  ASSERT_EQ(layers().AEGP_GetLayerFromLayerID(reinterpret_cast<AEGP_CompH>(comp_), id, &found),
            A_Err_NONE);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(layers().AEGP_GetLayerID(light, &id), A_Err_PARAMETER);  // stale handle
  EXPECT_EQ(host_.log().lightsCreated, std::vector<std::string>{"'M' path"});
  EXPECT_EQ(host_.log().lightsDeleted, std::vector<std::string>{"'M' path"});
}

TEST_F(LayerSuitesTest, compositionTimesAreAtItsOwnScale) {
  host_.setCompTiming(*comp_, 25, 4, 1, 2);
  const auto& comps = suite<AEGP_CompSuite15>(kAEGPCompSuite, 15);
  const auto& items = suite<AEGP_ItemSuite13>(kAEGPItemSuite, 13);
  AEGP_ItemH item = nullptr;
  ASSERT_EQ(items.AEGP_GetActiveItem(&item), A_Err_NONE);
  AEGP_CompH comp = nullptr;
  ASSERT_EQ(comps.AEGP_GetCompFromItem(item, &comp), A_Err_NONE);
  EXPECT_EQ(comp, reinterpret_cast<AEGP_CompH>(comp_));
  A_Time frame{}, start{}, span{}, duration{};
  EXPECT_EQ(comps.AEGP_GetCompFrameDuration(comp, &frame), A_Err_NONE);
  EXPECT_EQ(comps.AEGP_GetCompWorkAreaStart(comp, &start), A_Err_NONE);
  EXPECT_EQ(comps.AEGP_GetCompWorkAreaDuration(comp, &span), A_Err_NONE);
  EXPECT_EQ(items.AEGP_GetItemDuration(item, &duration), A_Err_NONE);
  EXPECT_EQ(frame.value, 1);
  EXPECT_EQ(frame.scale, 25u);
  EXPECT_EQ(start.value, 25);
  EXPECT_EQ(span.value, 50);
  EXPECT_EQ(duration.value, 100);
  const A_Time later{300, 2500};  // 0.12 s, at another scale
  ASSERT_EQ(items.AEGP_SetItemCurrentTime(item, &later), A_Err_NONE);
  A_Time now{};
  ASSERT_EQ(items.AEGP_GetItemCurrentTime(item, &now), A_Err_NONE);
  EXPECT_EQ(now.value, 3);
  EXPECT_EQ(now.scale, 25u);
  AEGP_ItemType type = AEGP_ItemType_NONE;
  A_long w = 0, h = 0;
  EXPECT_EQ(items.AEGP_GetItemType(item, &type), A_Err_NONE);
  EXPECT_EQ(items.AEGP_GetItemDimensions(item, &w, &h), A_Err_NONE);
  EXPECT_EQ(type, AEGP_ItemType_COMP);
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 80);
}

}  // namespace

namespace {

int g_idleRuns = 0;

A_Err IdleHook(AEGP_GlobalRefcon, AEGP_IdleRefcon refcon, A_long*) {
  ++g_idleRuns;
  const auto* command = static_cast<const AEGP_CommandSuite1*>(
      tb::Host::current().suites().find(kAEGPCommandSuite, 1));
  command->AEGP_DoCommand(2372);
  return *static_cast<A_Err*>(refcon);
}

TEST_F(LayerSuitesTest, idleRoundsRunEveryHookAndLogTheirStatus) {
  const auto& reg = suite<AEGP_RegisterSuite6>(kAEGPRegisterSuite, 6);
  A_Err answer = 7;
  // Outside a plug-in's own call there is no plug-in to register for.
  EXPECT_EQ(reg.AEGP_RegisterIdleHook(1, IdleHook, &answer), A_Err_PARAMETER);
  host_.addIdleHook({sender_, 1, IdleHook, &answer});
  g_idleRuns = 0;
  host_.runIdle(3);
  EXPECT_EQ(g_idleRuns, 3);
  EXPECT_EQ(host_.log().commands, (std::vector<AEGP_Command>{2372, 2372, 2372}));
  ASSERT_GE(host_.log().sent.size(), 3u);
  const tb::SentCommand& last = host_.log().sent.back();
  EXPECT_EQ(last.cmd, tb::SentCommand::kIdleHook);
  EXPECT_EQ(last.err, 7);
  EXPECT_TRUE(last.held.empty());
}

}  // namespace
