// Pixels through the PF_InData callbacks and the Sampling8 suite: layer check-out, bilinear
// sampling, world copy.
#include <cstring>

#include "AE_EffectCB.h"
#include "testbed/host/Callbacks.h"
#include "testbed/host/ParamValues.h"
#include "testbed/host/Sanitizer.h"
#include "tests/testbed_world/WorldFixture.h"

namespace {

class PixelsTest : public twtest::WorldTest {};

TEST_F(PixelsTest, subpixelSampleBlendsTheFourNeighbours) {
  std::optional<tb::World> w = tb::World::blank(2, 2);
  w->at(0, 0) = PF_Pixel{255, 0, 0, 0};
  w->at(1, 0) = PF_Pixel{255, 100, 0, 0};
  w->at(0, 1) = PF_Pixel{255, 200, 0, 0};
  w->at(1, 1) = PF_Pixel{255, 40, 0, 0};
  PF_SampPB pb{};
  pb.src = &w->def();
  PF_Pixel out{};
  const auto& sampling = suite<PF_Sampling8Suite1>(kPFSampling8Suite, 1);
  // x = 0.25, y = 0.75: 0 × .1875 + 100 × .0625 + 200 × .5625 + 40 × .1875 = 126.25
  ASSERT_EQ(sampling.subpixel_sample(ref(), 0x4000, 0xC000, &pb, &out), PF_Err_NONE);
  EXPECT_EQ(out.red, 126);
  EXPECT_EQ(out.alpha, 255);
  pb.src = nullptr;
  EXPECT_EQ(sampling.subpixel_sample(ref(), 0, 0, &pb, &out), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(PixelsTest, aLayerParameterChecksOutTheChosenLayersPixels) {
  tb::Layer& source = host_.addLayer(*comp_, "Source", 3, 2);
  source.pixels = tb::makeSolid(3, 2, PF_Pixel{255, 1, 2, 3});
  // The sender's parameter 0 is its input layer, its own.
  PF_InteractCallbacks inter = tb::interactCallbacks();
  PF_ParamDef def{};
  ASSERT_EQ(inter.checkout_param(ref(), 0, 0, 100, 2500, &def), PF_Err_NONE);
  EXPECT_EQ(def.u.ld.width, 100);
  EXPECT_EQ(def.u.ld.height, 80);
  ASSERT_NE(def.u.ld.data, nullptr);
  EXPECT_EQ(def.u.ld.data[0].red, 10);
  ASSERT_EQ(inter.checkin_param(ref(), &def), PF_Err_NONE);
  // A layer parameter's value carries a non-zero first word when a layer is chosen.
  tb::setLayerValue(effect_->params[0], &source);
  uint32_t first = 0;
  std::memcpy(&first, &effect_->params[0].u.ld, sizeof first);
  EXPECT_EQ(first, static_cast<uint32_t>(source.id));
  tb::setLayerValue(effect_->params[0], nullptr);
  std::memcpy(&first, &effect_->params[0].u.ld, sizeof first);
  EXPECT_EQ(first, 0u);
}

TEST_F(PixelsTest, eachCheckOutIsAFreshCopyOfItsLayerWhateverWasWrittenBefore) {
  // The sender's parameter 0 is its own layer, 100 × 80 of red 10; it changes size between
  // rounds, so that a check-out also follows a layer that no longer fits an earlier copy.
  tb::Layer& layer = *effect_->layer;
  PF_InteractCallbacks inter = tb::interactCallbacks();
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    const A_long width = round % 2 ? 3 : 100;
    const A_long height = round % 2 ? 2 : 80;
    const A_u_char red = static_cast<A_u_char>(10 + round);
    layer.pixels = tb::makeSolid(width, height, PF_Pixel{255, red, 2, 3});
    PF_ParamDef def{};
    ASSERT_EQ(inter.checkout_param(ref(), 0, 0, 100, 2500, &def), PF_Err_NONE);
    ASSERT_EQ(def.u.ld.width, width);
    ASSERT_EQ(def.u.ld.height, height);
    ASSERT_NE(def.u.ld.data, layer.pixels->def().data);
    for (A_long i = 0; i < width * height; ++i)
      ASSERT_EQ(def.u.ld.data[i].red, red) << i;
    // A module that writes into what it checked out changes its copy, never the layer.
    def.u.ld.data[0].red = 99;
    def.u.ld.data[width * height - 1].red = 98;
    ASSERT_EQ(inter.checkin_param(ref(), &def), PF_Err_NONE);
    EXPECT_EQ(layer.pixels->at(0, 0).red, red);
    EXPECT_EQ(layer.pixels->at(width - 1, height - 1).red, red);
#if defined(TB_ADDRESS_SANITIZED)
    // The host keeps the checked-in pixels for the next check-out; until then a module reading
    // them is caught as if they had been freed.
    EXPECT_TRUE(__asan_address_is_poisoned(def.u.ld.data));
    EXPECT_TRUE(__asan_address_is_poisoned(def.u.ld.data + width * height - 1));
#endif
  }
}

TEST_F(PixelsTest, checkInWithoutCheckOutIsRefusedAndReported) {
  PF_ParamDef def{};
  EXPECT_EQ(tb::interactCallbacks().checkin_param(ref(), &def), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host_.ledger().violations().size(), 1u);
  host_.ledger().clearViolations();
}

TEST_F(PixelsTest, copyCopiesAWorldAndARectangle) {
  std::optional<tb::World> src =
      tb::makeGradient(4, 4, PF_Pixel{255, 0, 0, 0}, PF_Pixel{255, 255, 255, 255}, {1, 0});
  std::optional<tb::World> dst = tb::World::blank(4, 4);
  PF_UtilCallbacks* utils = tb::utilCallbacks();
  ASSERT_EQ(utils->copy(ref(), &src->def(), &dst->def(), nullptr, nullptr), PF_Err_NONE);
  EXPECT_EQ(std::memcmp(src->def().data, dst->def().data, 16 * sizeof(PF_Pixel)), 0);
  std::optional<tb::World> small = tb::World::blank(4, 4);
  PF_Rect from{3, 0, 4, 1}, to{0, 2, 1, 3};
  ASSERT_EQ(utils->copy(ref(), &src->def(), &small->def(), &from, &to), PF_Err_NONE);
  EXPECT_EQ(small->at(0, 2).red, src->at(3, 0).red);
  EXPECT_EQ(small->at(0, 0).alpha, 0);
  EXPECT_EQ(utils->copy(ref(), nullptr, &small->def(), nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
}

}  // namespace
