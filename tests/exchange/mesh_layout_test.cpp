// The packed layout that Windows and the testbed use, and the initial record.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/MeshSlot.h"

namespace {

TEST(PackedMeshLayout, offsetsAreTheFormatConstants) {
  EXPECT_EQ(sizeof(triangle), 136u);
  EXPECT_EQ(offsetof(triangle, uvA), 84u);
  EXPECT_EQ(offsetof(triangle, reserved), 132u);
  EXPECT_EQ(sizeof(MeshSlot), 2720048u);
  EXPECT_EQ(offsetof(MeshSlot, triangleCount), 2720000u);
  EXPECT_EQ(offsetof(MeshSlot, slotIndex), 2720004u);
  EXPECT_EQ(offsetof(MeshSlot, meshEnabled), 2720008u);
  EXPECT_EQ(offsetof(MeshSlot, colorSource), 2720012u);
  EXPECT_EQ(offsetof(MeshSlot, bumpSource), 2720016u);
  EXPECT_EQ(offsetof(MeshSlot, bumpAmount), 2720020u);
  EXPECT_EQ(offsetof(MeshSlot, uvRect), 2720024u);
  EXPECT_EQ(offsetof(MeshSlot, color), 2720040u);
  EXPECT_EQ(offsetof(MeshSlot, capFillFailed), 2720044u);
  EXPECT_EQ(offsetof(MeshSlot, reservedFlag), 2720045u);
  EXPECT_EQ(sizeof(MeshStore), 27200496u);
  EXPECT_EQ(offsetof(MeshStore, slotFlags), 4u);
  EXPECT_EQ(offsetof(MeshStore, slots), 16u);
}

TEST(InitMeshSlot, writesZerosTwoEmptyTrianglesNoSlotAndTheRectangle) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0x5A, sizeof(MeshSlot));
  InitMeshSlot(slot.get(), PF_Rect{3, 4, 640, 360});

  auto expected = std::make_unique<unsigned char[]>(sizeof(MeshSlot));
  std::memset(expected.get(), 0, sizeof(MeshSlot));
  const int32_t trailer[] = {2, -1};
  std::memcpy(expected.get() + 2720000, trailer, sizeof trailer);
  const int32_t rect[] = {3, 4, 640, 360};
  std::memcpy(expected.get() + 2720024, rect, sizeof rect);
  EXPECT_EQ(std::memcmp(slot.get(), expected.get(), sizeof(MeshSlot)), 0);
}

}  // namespace
