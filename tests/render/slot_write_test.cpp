// The record as the mask effect fills it: the triangles with their texture coordinates, the count
// and its cap, and every trailer field.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

#include "TOLV_Mask/render/SlotWrite.h"

namespace {

// The records are packed, so their doubles may sit at 4-byte offsets: they are read by value.
double byValue(double v) {
  return v;
}

using mask::SlotUv;
using mask::UvRect;

TEST(SlotUv, insideTheLayerTheCoordinateIsKept) {
  const A_FloatPoint uv = {0.25, 1.5};
  const A_FloatPoint got = SlotUv(uv, {0, 0, 640, 360}, 640, 360);
  EXPECT_EQ(got.x, 0.25);
  EXPECT_EQ(got.y, 1.5);
}

TEST(SlotUv, aRectangleReachingLeftOfTheLayerReExpressesBothAxes) {
  const UvRect rect = {-20, 0, 640, 360};
  const A_FloatPoint got = SlotUv({0.5, 0.25}, rect, 640, 360);
  EXPECT_EQ(got.x, static_cast<double>(340.0f / 660.0f));
  EXPECT_EQ(got.y, static_cast<double>(90.0f / 360.0f));
  const A_FloatPoint left = SlotUv({-20.0 / 640, 0}, rect, 640, 360);
  EXPECT_EQ(left.x, 0.0);
}

TEST(SlotUv, aRectangleWithoutWidthOrHeightPutsTheCoordinateAtZero) {
  const A_FloatPoint got = SlotUv({0.5, 0.5}, {-5, 10, -5, 10}, 640, 360);
  EXPECT_EQ(got.x, 0.0);
  EXPECT_EQ(got.y, 0.0);
}

TEST(SlotUv, theWidestRectangleDoesNotOverflow) {
  const UvRect rect = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  const A_FloatPoint got = SlotUv({0.0, 0.0}, rect, 100, 100);
  EXPECT_EQ(got.x, static_cast<double>(static_cast<float>(-static_cast<double>(INT_MIN)) /
                                       static_cast<float>(4294967295.0)));
  EXPECT_GT(got.x, 0.0);
}

struct SlotFixture : testing::Test {
  std::unique_ptr<MeshSlot> slot = std::make_unique<MeshSlot>();
  mask::MeshSettings settings;
  void SetUp() override { std::memset(slot.get(), 0xAB, sizeof(MeshSlot)); }
};

std::vector<triangle> numbered(size_t n) {
  std::vector<triangle> triangles(n);
  for (size_t i = 0; i < n; ++i) {
    std::memset(&triangles[i], 0, sizeof(triangle));
    triangles[i].vertexA.x = static_cast<float>(i);
    triangles[i].uvA = {0.5, 0.5};
    triangles[i].reserved = 7;
  }
  return triangles;
}

TEST_F(SlotFixture, everyFieldIsWritten) {
  settings.meshOn = false;
  settings.colorSource = 0x11223344;
  settings.bumpSource = 0x55667788;
  settings.bumpAmount = 50;
  settings.color = {255, 10, 20, 30};
  settings.alpha = 50;
  const std::vector<triangle> triangles = numbered(3);
  mask::WriteMeshSlot(*slot, triangles, {1, {-20, -5, 700, 400}, 1}, settings, 640, 360);
  EXPECT_EQ(slot->triangleCount, 3);
  EXPECT_EQ(slot->slotIndex, 1);
  EXPECT_EQ(slot->meshEnabled, 0);
  EXPECT_EQ(slot->colorSource, 0x11223344u);
  EXPECT_EQ(slot->bumpSource, 0x55667788u);
  EXPECT_EQ(slot->bumpAmount, static_cast<float>(50 * 0.01f));
  const int32_t rect[4] = {-20, -5, 700, 400};
  EXPECT_EQ(std::memcmp(slot->uvRect, rect, sizeof rect), 0);
  const uint8_t color[4] = {127, 10, 20, 30};
  EXPECT_EQ(std::memcmp(slot->color, color, sizeof color), 0);
  EXPECT_EQ(slot->capFillFailed, 1);
  EXPECT_EQ(slot->reservedFlag, 0);
  EXPECT_EQ(slot->triangles[2].vertexA.x, 2.0f);
  EXPECT_EQ(slot->triangles[2].reserved, 0.0f);
  EXPECT_EQ(byValue(slot->triangles[2].uvA.x), static_cast<double>(340.0f / 720.0f));
  // Past the count the record keeps what it held.
  EXPECT_EQ(reinterpret_cast<const uint8_t*>(&slot->triangles[3])[0], 0xAB);
}

TEST_F(SlotFixture, moreThanTwentyThousandTrianglesAreCut) {
  const std::vector<triangle> triangles = numbered(kMaxTriangles + 5);
  mask::WriteMeshSlot(*slot, triangles, {0, {0, 0, 640, 360}, 0}, settings, 640, 360);
  EXPECT_EQ(slot->triangleCount, kMaxTriangles);
  EXPECT_EQ(slot->triangles[kMaxTriangles - 1].vertexA.x, static_cast<float>(kMaxTriangles - 1));
  EXPECT_EQ(slot->meshEnabled, 1);
  EXPECT_EQ(slot->slotIndex, 0);
}

}  // namespace
