// The distort effect's render in the testbed: what reaches the renderer below, what stays in the
// store, the image, and the host's quiet-errors mode.
#include <cstring>

#include "TOLV_Distort/ReadDeformInputs.h"
#include "TOLV_Distort/deform/MeshDeformer.h"
#include "tests/distort/DistortFixture.h"

namespace {

using extest::makeRecord;

class DistortRenderTest : public dtest::DistortTest {
 protected:
  void SetUp() override {
    DistortTest::SetUp();
    sender_effect_ = &sender();
    d_ = &distort();
    receiver_ = &engine();
  }

  // A record from the sender above lands in the distort effect's store.
  void fill(int slot, uint8_t enabled, int count, uint32_t seed) {
    auto record = makeRecord({count, slot, enabled, seed}, count, static_cast<float>(seed));
    ASSERT_EQ(send(*sender_effect_, *record).err, PF_Err_NONE);
  }

  void shiftPosition(tb::Effect& e, int pixels) {
    e.params[DISTORT_POSITION_XY].u.td.x_value += pixels * 65536;
  }

  // The triangles and trailer a record carries, as far as they mean anything.
  static bool sameMesh(const MeshSlot& a, const MeshSlot& b) {
    return a.triangleCount == b.triangleCount &&
           std::memcmp(a.triangles, b.triangles, a.triangleCount * sizeof(triangle)) == 0 &&
           std::memcmp(&a.triangleCount, &b.triangleCount,
                       sizeof(MeshSlot) - offsetof(MeshSlot, triangleCount)) == 0;
  }

  tb::Effect* sender_effect_ = nullptr;
  tb::Effect* d_ = nullptr;
  tb::Effect* receiver_ = nullptr;
};

TEST_F(DistortRenderTest, anEmptyStoreSendsNothingAndCopiesTheInput) {
  dtest::RenderRun run = render(*d_);
  EXPECT_EQ(run.result.err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(run.copied());
  EXPECT_EQ(host_.log().quietDepth, 0);
  EXPECT_TRUE(run.result.report.clean());
}

TEST_F(DistortRenderTest, enabledSlotsGoOutInOrderAndMeshOffLeavesThemAsStored) {
  fill(2, 1, 5, 2);
  fill(1, 0, 4, 1);
  fill(0, 1, 3, 0);
  d_->params[DISTORT_MESH].u.pd.value = MESH_OFF;
  shiftPosition(*d_, 10);
  const std::vector<unsigned char> before = storeBytes(*d_);
  dtest::RenderRun run = render(*d_);
  EXPECT_EQ(run.result.err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 2u);
  EXPECT_TRUE(sameMesh(delivered(host_.engineRecords()[0]), store(*d_).slots[0]));
  EXPECT_TRUE(sameMesh(delivered(host_.engineRecords()[1]), store(*d_).slots[2]));
  EXPECT_EQ(storeBytes(*d_), before);
  EXPECT_TRUE(run.copied());
}

TEST_F(DistortRenderTest, anExcludedSlotIsForwardedUnchangedAndTheOthersDeformed) {
  fill(0, 1, 3, 0);
  fill(1, 1, 3, 1);
  d_->params[DistortExcludeParam(1)].u.bd.value = 1;
  shiftPosition(*d_, 10);
  render(*d_);
  ASSERT_EQ(host_.engineRecords().size(), 2u);
  const MeshSlot& moved = delivered(host_.engineRecords()[0]);
  const MeshSlot& stored = store(*d_).slots[0];
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(moved.triangles[i].vertexA.x, stored.triangles[i].vertexA.x + 10.0f);
    EXPECT_EQ(moved.triangles[i].vertexC.y, stored.triangles[i].vertexC.y);
    EXPECT_EQ(std::memcmp(&moved.triangles[i].uvA, &stored.triangles[i].uvA, 52), 0);
  }
  EXPECT_TRUE(sameMesh(delivered(host_.engineRecords()[1]), store(*d_).slots[1]));
}

TEST_F(DistortRenderTest, twistAndBendReachTheRendererAsTheDeformerComputesThem) {
  fill(0, 1, 40, 3);
  d_->params[DISTORT_TWIST_LEFT_X].u.ad.value = 30 << 16;
  d_->params[DISTORT_BEND_HORIZONTAL].u.ad.value = 45 << 16;
  d_->params[DISTORT_EXPLODE].u.fs_d.value = 4;
  d_->params[DISTORT_EXPLODE_MODE].u.pd.value = EXPLODE_FROM_CENTER;
  render(*d_);
  ASSERT_EQ(host_.engineRecords().size(), 1u);

  PF_InData in_data = {};
  in_data.width = 640;
  in_data.height = 360;
  in_data.downsample_x = in_data.downsample_y = {1, 1};
  std::vector<PF_ParamDef*> params = tb::paramArray(*d_);
  const MeshDeformer deformer(MakeDeformValues(ReadDeformInputs(&in_data, params.data())));
  const MeshSlot& stored = store(*d_).slots[0];
  const point3 centre = MeshCentre(stored);
  const MeshSlot& got = delivered(host_.engineRecords()[0]);
  for (int i = 0; i < 40; ++i) {
    triangle want = stored.triangles[i];
    deformer.deformTriangle(&want, centre);
    EXPECT_EQ(std::memcmp(&got.triangles[i], &want, sizeof want), 0) << "triangle " << i;
  }
}

TEST_F(DistortRenderTest, renderingTwiceSendsIdenticalRecordsAndNeverWritesTheStore) {
  fill(0, 1, 20, 4);
  fill(3, 1, 7, 5);
  d_->params[DISTORT_TWIST_UP_Y].u.ad.value = 20 << 16;
  d_->params[DISTORT_BEND_VERTICAL].u.ad.value = -(60 << 16);
  d_->params[DISTORT_ROTATION_Z].u.ad.value = 15 << 16;
  const std::vector<unsigned char> before = storeBytes(*d_);
  render(*d_);
  render(*d_);
  ASSERT_EQ(host_.engineRecords().size(), 4u);
  EXPECT_TRUE(sameMesh(delivered(host_.engineRecords()[0]), delivered(host_.engineRecords()[2])));
  EXPECT_TRUE(sameMesh(delivered(host_.engineRecords()[1]), delivered(host_.engineRecords()[3])));
  EXPECT_FALSE(sameMesh(delivered(host_.engineRecords()[0]), store(*d_).slots[0]));
  EXPECT_EQ(storeBytes(*d_), before);
}

TEST_F(DistortRenderTest, aStoreShorterThanTenSlotsCountsAsNone) {
  fill(0, 1, 3, 0);
  ASSERT_EQ(host_.resizeHandle(1000, &d_->sequenceData), PF_Err_NONE);
  dtest::RenderRun run = render(*d_);
  EXPECT_EQ(run.result.err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(run.copied());
}

TEST_F(DistortRenderTest, aDamagedCountIsBoundedToTheArray) {
  fill(0, 1, 3, 0);
  static_cast<MeshStore*>(*d_->sequenceData)->slots[0].triangleCount = 1 << 30;
  render(*d_);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(delivered(host_.engineRecords()[0]).triangleCount, kMaxTriangles);
}

class DistortChainTest : public dtest::DistortTest {};

TEST_F(DistortChainTest, twoDistortEffectsInARowDeformTwice) {
  tb::Effect& from = sender();
  tb::Effect& upper = distort();
  tb::Effect& lower = distort();
  engine();
  auto record = makeRecord({2, 0, 1, 0}, 2, 1.0f);
  ASSERT_EQ(send(from, *record).err, PF_Err_NONE);
  upper.params[DISTORT_POSITION_XY].u.td.x_value += 10 * 65536;
  lower.params[DISTORT_POSITION_XY].u.td.x_value += 10 * 65536;
  render(upper);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_EQ(store(lower).slots[0].triangles[1].vertexB.x, record->triangles[1].vertexB.x + 10);
  render(lower);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(delivered(host_.engineRecords()[0]).triangles[1].vertexB.x,
            record->triangles[1].vertexB.x + 20);
}

TEST_F(DistortRenderTest, withoutAReceiverBelowNothingIsSent) {
  host_.removeEffect(*receiver_);
  fill(0, 1, 3, 0);
  dtest::RenderRun run = render(*d_);
  EXPECT_EQ(run.result.err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(run.copied());
}

}  // namespace
