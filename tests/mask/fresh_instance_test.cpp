// A freshly applied mask effect holds every control at its default, as the host gives them.
#include <gtest/gtest.h>

#include <cstdint>

#include "TOLV_Mask/Params.h"
#include "testbed/host/Host.h"
#include "tests/mask/MaskModule.h"
#include "tests/support/Violations.h"

namespace {

class MaskFreshInstance : public ::testing::Test {
 protected:
  void TearDown() override { tbtest::checkViolations(host_.ledger(), {}); }
  MaskFreshInstance()
      : module_(host_.load(maskModulePath())),
        layer_(host_.addLayer(host_.addComp("Main", 640, 360), "Card", 640, 360)),
        effect_(host_.applyEffect(layer_, module_, &setup_)) {}

  const PF_ParamDef& param(int index) const { return effect_.params.at(index); }
  uint32_t layerWord(int index) const {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(param(index).u.ld.reserved0));
  }

  tb::Host host_;
  tb::Module& module_;
  tb::Layer& layer_;
  tb::CommandResult setup_;
  tb::Effect& effect_;
};

TEST_F(MaskFreshInstance, ControlsStartAtTheirDefaults) {
  ASSERT_EQ(setup_.err, PF_Err_NONE);
  ASSERT_EQ(effect_.params.size(), 97u);
  EXPECT_EQ(param(MASK_CLOSED_SHAPE).u.bd.value, 1);
  EXPECT_EQ(param(MASK_MESH).u.pd.value, 1);
  EXPECT_EQ(param(MASK_LAUNCH).u.pd.value, 1);
  EXPECT_EQ(param(MASK_UPDATE).u.pd.value, 1);
  EXPECT_EQ(param(MASK_FILL_ALGORITHM).u.pd.value, 3);
  EXPECT_EQ(param(MASK_SWEEP_INDEX).u.sd.value, -1);
  EXPECT_EQ(param(MASK_X_SUBDIVIDE).u.sd.value, 10);
  EXPECT_EQ(param(MASK_ALPHA).u.fs_d.value, 100.0);
  const PF_Pixel& color = param(MASK_COLOR).u.cd.value;
  EXPECT_EQ(color.alpha, 255);
  EXPECT_EQ(color.red, 255);
  EXPECT_EQ(color.green, 255);
  EXPECT_EQ(color.blue, 255);
  EXPECT_EQ(param(MaskPathParam(1)).u.path_d.path_id, 0);
}

TEST_F(MaskFreshInstance, ColourSourceIsItsOwnLayerAndTheOtherSourcesAreEmpty) {
  EXPECT_EQ(layerWord(MASK_COLOR_SOURCE), static_cast<uint32_t>(layer_.id));
  EXPECT_NE(layerWord(MASK_COLOR_SOURCE), 0u);
  EXPECT_EQ(layerWord(MASK_TERRAIN_SOURCE), 0u);
  EXPECT_EQ(layerWord(MASK_BUMP_SOURCE), 0u);
  EXPECT_EQ(layerWord(MASK_INPUT), static_cast<uint32_t>(layer_.id));
}

TEST_F(MaskFreshInstance, PointsStartAtTheLayerCentreInPixels) {
  EXPECT_EQ(param(MASK_ANCHOR).u.td.x_value, 320 << 16);
  EXPECT_EQ(param(MASK_ANCHOR).u.td.y_value, 180 << 16);
  EXPECT_EQ(param(MASK_DISPLACE).u.td.x_value, 320 << 16);
  EXPECT_EQ(param(MASK_DISPLACE).u.td.y_value, 180 << 16);
}

}  // namespace
