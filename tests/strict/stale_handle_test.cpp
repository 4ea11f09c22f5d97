// Effects, layers, compositions and items are never found again at a freed address: the handle of
// a removed effect or a deleted layer, a handle of the wrong kind or a foreign address is refused
// with an error and a violation naming the call and what it expected, and a newer object of the
// same kind is untouched.
#include "testbed/host/Callbacks.h"
#include "tests/testbed_world/WorldFixture.h"

namespace {

class StaleHandleTest : public twtest::WorldTest {
 protected:
  const AEGP_PFInterfaceSuite1& pf() {
    return suite<AEGP_PFInterfaceSuite1>(kAEGPPFInterfaceSuite, 1);
  }
  size_t violations() { return host_.ledger().violations().size(); }
};

TEST_F(StaleHandleTest, aRemovedEffectIsRefusedAndSparesTheNewerOne) {
  expectViolation("stale: AEGP_GetEffectLayer: not a live effect");
  host_.ledger().beginCommand("stale");
  for (int round = 0; round < 20; ++round) {
    tb::Effect& old = host_.applyEffect(*layer_, *sender_);
    const PF_ProgPtr stale = reinterpret_cast<PF_ProgPtr>(&old);
    host_.removeEffect(old);
    tb::Effect& newer = host_.applyEffect(*layer_, *sender_);
    EXPECT_NE(reinterpret_cast<PF_ProgPtr>(&newer), stale);
    AEGP_LayerH found = nullptr;
    const size_t before = violations();
    EXPECT_EQ(pf().AEGP_GetEffectLayer(stale, &found), A_Err_PARAMETER);
    EXPECT_EQ(violations(), before + 1);
    EXPECT_EQ(pf().AEGP_GetEffectLayer(reinterpret_cast<PF_ProgPtr>(&newer), &found), A_Err_NONE);
    EXPECT_EQ(found, layerH(layer_));
    host_.removeEffect(newer);
  }
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

TEST_F(StaleHandleTest, aDeletedLayerIsRefusedAndSparesTheNewerOne) {
  expectViolation("stale: AEGP_GetLayerID: not a live layer");
  host_.ledger().beginCommand("stale");
  for (int round = 0; round < 20; ++round) {
    tb::Layer& old = host_.addLayer(*comp_, "Old", 4, 4);
    const AEGP_LayerH stale = layerH(&old);
    host_.deleteLayer(old);
    tb::Layer& newer = host_.addLayer(*comp_, "Newer", 4, 4);
    EXPECT_NE(layerH(&newer), stale);
    AEGP_LayerIDVal id = 0;
    const size_t before = violations();
    EXPECT_EQ(layers().AEGP_GetLayerID(stale, &id), A_Err_PARAMETER);
    EXPECT_EQ(violations(), before + 1);
    EXPECT_EQ(layers().AEGP_GetLayerID(layerH(&newer), &id), A_Err_NONE);
    EXPECT_EQ(id, newer.id);
    host_.deleteLayer(newer);
  }
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

TEST_F(StaleHandleTest, aHandleOfAnotherKindOrAForeignAddressIsRefused) {
  expectViolation("kinds: AEGP_GetLayerFlags: layer given is a composition");
  expectViolation("kinds: AEGP_GetLayerFlags: not a live layer");
  expectViolation("kinds: AEGP_GetEffectLayer: effect given is a layer");
  host_.ledger().beginCommand("kinds");
  AEGP_LayerFlags flags = 0;
  EXPECT_EQ(layers().AEGP_GetLayerFlags(reinterpret_cast<AEGP_LayerH>(comp_), &flags),
            A_Err_PARAMETER);
  long foreign = 0;
  EXPECT_EQ(layers().AEGP_GetLayerFlags(reinterpret_cast<AEGP_LayerH>(&foreign), &flags),
            A_Err_PARAMETER);
  AEGP_LayerH found = nullptr;
  EXPECT_EQ(pf().AEGP_GetEffectLayer(reinterpret_cast<PF_ProgPtr>(layer_), &found),
            A_Err_PARAMETER);
  EXPECT_EQ(violations(), 3u);
  // No handle at all is an argument the call refuses, not a broken rule.
  EXPECT_EQ(layers().AEGP_GetLayerFlags(nullptr, &flags), A_Err_PARAMETER);
  EXPECT_EQ(violations(), 3u);
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

TEST_F(StaleHandleTest, aReferenceACommandLeftHeldEndsWithIt) {
  expectViolation("ZEK TOLV_TestSender: keeps: left held: effect ref x1");
  expectViolation("AEGP_GetInstalledKeyFromLayerEffect: not a live effect reference");
  const auto& effects = suite<AEGP_EffectSuite3>(kAEGPEffectSuite, 3);
  AEGP_EffectRefH kept = nullptr;
  tb::CommandReport report = host_.runCommand({sender_, effect_}, "keeps", [&] {
    EXPECT_EQ(pf().AEGP_GetNewEffectForEffect(sender_->pluginId, ref(), &kept), A_Err_NONE);
  });
  EXPECT_EQ(report.held, std::vector<std::string>{"effect ref"});
  AEGP_InstalledEffectKey key = 0;
  host_.runCommand({sender_, effect_}, "uses", [&] {
    EXPECT_EQ(effects.AEGP_GetInstalledKeyFromLayerEffect(kept, &key), A_Err_PARAMETER);
  });
  EXPECT_EQ(violations(), 2u);
}

TEST_F(StaleHandleTest, aDisposedMemoryHandleIsRefusedByEveryCallThatTakesIt) {
  expectViolation("handles: host_lock_handle: not a live handle");
  expectViolation("handles: host_get_handle_size: not a live handle");
  expectViolation("handles: host_resize_handle: not a live handle");
  PF_UtilCallbacks* utils = tb::utilCallbacks();
  host_.ledger().beginCommand("handles");
  PF_Handle stale = utils->host_new_handle(8);
  ASSERT_NE(stale, nullptr);
  utils->host_dispose_handle(stale);
  PF_Handle newer = utils->host_new_handle(8);
  ASSERT_NE(newer, nullptr);
  EXPECT_EQ(utils->host_lock_handle(stale), nullptr);
  EXPECT_EQ(utils->host_get_handle_size(stale), 0u);
  EXPECT_EQ(utils->host_resize_handle(64, &stale), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(violations(), 3u);
  // No handle is not a broken rule, and the newer handle is untouched.
  EXPECT_EQ(utils->host_get_handle_size(nullptr), 0u);
  EXPECT_EQ(utils->host_get_handle_size(newer), 8u);
  EXPECT_EQ(violations(), 3u);
  utils->host_dispose_handle(newer);
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

}  // namespace
