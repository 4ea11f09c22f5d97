// The controls as the pipeline reads them: registered ranges enforced on whatever the host hands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/render/RenderParams.h"

namespace {

class RenderParamsTest : public ::testing::Test {
 protected:
  RenderParamsTest() : defs_(MASK_NUM_PARAMS) {
    for (PF_ParamDef& d : defs_)
      pointers_.push_back(&d);
    defs_[MASK_X_SUBDIVIDE].u.sd.value = 10;
    defs_[MASK_Y_SUBDIVIDE].u.sd.value = 10;
    defs_[MASK_SWEEP_INDEX].u.sd.value = -1;
    defs_[MASK_REFERENCE_SAMPLING].u.pd.value = 1;
  }
  mask::RenderParams read() { return mask::ReadRenderParams(pointers_.data()); }

  std::vector<PF_ParamDef> defs_;
  std::vector<PF_ParamDef*> pointers_;
};

TEST_F(RenderParamsTest, subdivisionsOutsideTheirRangesAreClamped) {
  defs_[MASK_X_SUBDIVIDE].u.sd.value = 0;
  defs_[MASK_Y_SUBDIVIDE].u.sd.value = 1000000;
  EXPECT_EQ(read().xSubdivide, 1);
  EXPECT_EQ(read().ySubdivide, 99);
  defs_[MASK_X_SUBDIVIDE].u.sd.value = std::numeric_limits<A_long>::max();
  defs_[MASK_Y_SUBDIVIDE].u.sd.value = -5;
  EXPECT_EQ(read().xSubdivide, 50);
  EXPECT_EQ(read().ySubdivide, 1);
}

TEST_F(RenderParamsTest, groupsAreReadByMaskRow) {
  defs_[MaskPathParam(3)].u.path_d.path_id = 17;
  defs_[ReferenceMaskParam(3)].u.path_d.path_id = 18;
  defs_[MaskDepthParam(3)].u.fs_d.value = -120.5;
  defs_[MaskRotationXParam(3)].u.ad.value = 30 << 16;
  defs_[MaskRotationYParam(3)].u.ad.value = -(45 << 16);
  defs_[MaskRotationZParam(3)].u.ad.value = 1;
  const mask::RenderParams p = read();
  EXPECT_EQ(p.maskPath[2], 17);
  EXPECT_EQ(p.referencePath[2], 18);
  EXPECT_EQ(p.groups[2].z, -120.5);
  EXPECT_EQ(p.groups[2].rotationX, 30 * 65536.0f);
  EXPECT_EQ(p.groups[2].rotationY, -45 * 65536.0f);
  EXPECT_EQ(p.groups[2].rotationZ, 1.0f);
  EXPECT_EQ(p.maskPath[1], 0);
}

TEST_F(RenderParamsTest, depthAndTensionKeepToTheirRangesAndNotANumberReadsAsZero) {
  defs_[MaskDepthParam(1)].u.fs_d.value = 1e300;
  defs_[MaskDepthParam(2)].u.fs_d.value = std::nan("");
  defs_[MASK_TENSION].u.fs_d.value = -1e9;
  const mask::RenderParams p = read();
  EXPECT_EQ(p.groups[0].z, 30000.0);
  EXPECT_EQ(p.groups[1].z, 0.0);
  EXPECT_EQ(p.tension, static_cast<float>(-1000.0 * 0.01f));
}

TEST_F(RenderParamsTest, tensionIsThePercentTimesTheSinglePrecisionHundredth) {
  defs_[MASK_TENSION].u.fs_d.value = 37.0;
  // 0.01f is 0.0099999998; in double the product is 0.36999999..., not 0.37.
  EXPECT_EQ(read().tension, static_cast<float>(37.0 * static_cast<double>(0.01f)));
  defs_[MASK_CUBIC].u.bd.value = 1;
  defs_[MASK_CREATE_LIGHT].u.bd.value = 1;
  defs_[MASK_ORIENT_ON_PATH].u.bd.value = 1;
  defs_[MASK_SWEEP_INDEX].u.sd.value = 12;
  const mask::RenderParams p = read();
  EXPECT_TRUE(p.cubic);
  EXPECT_TRUE(p.createLight);
  EXPECT_TRUE(p.orientOnPath);
  EXPECT_EQ(p.sweepIndex, 12);
}

}  // namespace
