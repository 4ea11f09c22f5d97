// The colour and bump sources of each mask effect reach the renderer's parameters of its slot.
#include "tests/actions/ActionsFixture.h"

namespace {

constexpr int kEngineColourFirst = 19;
constexpr int kEngineBumpFirst = 29;
constexpr int kEngineSourceLast = 38;

class SourceMirroringTest : public actest::ActionsTest {
 protected:
  void SetUp() override {
    ActionsTest::SetUp();
    texture_ = &host_.addLayer(*comp_, "Texture", 320, 180);
  }
  // A render since the module was loaded is what allows the copy.
  void renderOnce() { host_.renderComp(*comp_, A_Time{0, comp_->timeScale}); }
  tb::CommandResult pick(tb::Effect& e, int index, const tb::Layer* layer) {
    chooseLayer(e, index, layer);
    return changed(e, index);
  }
  // The renderer's source parameters that hold a layer, by index.
  static std::vector<int> setSources(const tb::Effect& engine) {
    std::vector<int> set;
    for (int i = kEngineColourFirst; i <= kEngineSourceLast; ++i)
      if (engine.layerIds.at(i) != 0)
        set.push_back(i);
    return set;
  }
  tb::Layer* texture_ = nullptr;
};

TEST_F(SourceMirroringTest, theSecondMaskEffectsColourReachesParameterTwenty) {
  applySetUpMask();
  tb::Effect& second = applySetUpMask();
  tb::Effect& engine = applyEngine();
  renderOnce();
  tb::CommandResult r = pick(second, MASK_COLOR_SOURCE, texture_);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(engine.layerIds.at(20), texture_->id);
  EXPECT_EQ(setSources(engine), std::vector<int>{20});
  r = pick(second, MASK_BUMP_SOURCE, texture_);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(engine.layerIds.at(kEngineBumpFirst + 1), texture_->id);
}

TEST_F(SourceMirroringTest, onlyTheFirstRendererBelowIsServed) {
  tb::Effect& mask = applySetUpMask();
  tb::Effect& first = applyEngine();
  tb::Effect& second = applyEngine();
  renderOnce();
  pick(mask, MASK_BUMP_SOURCE, texture_);
  EXPECT_EQ(setSources(first), std::vector<int>{kEngineBumpFirst});
  EXPECT_TRUE(setSources(second).empty());
}

TEST_F(SourceMirroringTest, otherLayerParametersAreNotCopied) {
  tb::Effect& mask = applySetUpMask();
  tb::Effect& engine = applyEngine();
  renderOnce();
  pick(mask, MASK_TERRAIN_SOURCE, texture_);
  EXPECT_TRUE(setSources(engine).empty());
}

TEST_F(SourceMirroringTest, aRendererAboveEveryMaskEffectGetsNothing) {
  tb::Effect& engine = applyEngine();
  tb::Effect& mask = applySetUpMask();
  renderOnce();
  tb::CommandResult r = pick(mask, MASK_COLOR_SOURCE, texture_);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(setSources(engine).empty());
  EXPECT_EQ(engine.layerIds.at(kEngineColourFirst - 1), 0);
}

TEST_F(SourceMirroringTest, anEleventhMaskEffectWritesIntoNoOtherSlot) {
  std::vector<tb::Effect*> masks;
  for (int i = 0; i < 11; ++i)
    masks.push_back(&applySetUpMask());
  tb::Effect& engine = applyEngine();
  renderOnce();
  EXPECT_EQ(pick(*masks[10], MASK_COLOR_SOURCE, texture_).err, PF_Err_NONE);
  EXPECT_TRUE(setSources(engine).empty());
  pick(*masks[9], MASK_COLOR_SOURCE, texture_);
  EXPECT_EQ(setSources(engine), std::vector<int>{kEngineColourFirst + 9});
}

// A module loaded afresh has rendered nothing yet.
class FreshModuleMirroringTest : public SourceMirroringTest {
 protected:
  FreshModuleMirroringTest() : SourceMirroringTest() { freshMaskModule_ = true; }
};

TEST_F(FreshModuleMirroringTest, nothingIsCopiedBeforeTheFirstRender) {
  tb::Effect& mask = applySetUpMask();
  tb::Effect& engine = applyEngine();
  EXPECT_EQ(pick(mask, MASK_COLOR_SOURCE, texture_).err, PF_Err_NONE);
  EXPECT_TRUE(setSources(engine).empty());
  renderOnce();
  pick(mask, MASK_COLOR_SOURCE, texture_);
  EXPECT_EQ(setSources(engine), std::vector<int>{kEngineColourFirst});
}

}  // namespace
