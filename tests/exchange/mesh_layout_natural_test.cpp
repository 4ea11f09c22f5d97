// The macOS layout of the records, checked here on its own: natural alignment moves the texture
// coordinates to 88 and grows the triangle to 144 bytes; the trailer keeps its order and its
// distances from the end of the triangle array. The header's static_asserts run on inclusion.
#define TOLV_NATURAL_MESH_LAYOUT 1
#include <gtest/gtest.h>

#include "common/MeshSlot.h"

namespace {

TEST(NaturalMeshLayout, triangleHasTextureCoordinatesAligned) {
  EXPECT_EQ(sizeof(triangle), 144u);
  EXPECT_EQ(offsetof(triangle, uvA), 88u);
  EXPECT_EQ(offsetof(triangle, uvB), 104u);
  EXPECT_EQ(offsetof(triangle, uvC), 120u);
  EXPECT_EQ(offsetof(triangle, reserved), 136u);
}

TEST(NaturalMeshLayout, trailerFollowsTheLargerTriangleArray) {
  EXPECT_EQ(sizeof(MeshSlot), 2880048u);
  EXPECT_EQ(offsetof(MeshSlot, triangleCount), 2880000u);
  EXPECT_EQ(offsetof(MeshSlot, slotIndex), 2880004u);
  EXPECT_EQ(offsetof(MeshSlot, meshEnabled), 2880008u);
  EXPECT_EQ(offsetof(MeshSlot, colorSource), 2880012u);
  EXPECT_EQ(offsetof(MeshSlot, uvRect), 2880024u);
  EXPECT_EQ(offsetof(MeshSlot, color), 2880040u);
  EXPECT_EQ(offsetof(MeshSlot, capFillFailed), 2880044u);
  EXPECT_EQ(offsetof(MeshSlot, reservedFlag), 2880045u);
  EXPECT_EQ(offsetof(MeshStore, slots), 16u);
  EXPECT_EQ(sizeof(MeshStore), 28800496u);
}

}  // namespace
