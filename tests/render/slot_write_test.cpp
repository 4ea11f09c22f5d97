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
  const std::vector<vecNor> noVertices;
  const std::vector<A_FloatPoint> noTexture;
  const std::vector<point3> noFaces;
  const std::vector<triangle> none;
  void SetUp() override { std::memset(slot.get(), 0xAB, sizeof(MeshSlot)); }

  // A mesh of only the given triangles, in the first cap's place.
  mask::MeshTriangles alone(const std::vector<triangle>& triangles) const {
    return {triangles, {0, 0, noVertices, noTexture, noFaces}, none};
  }
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
  mask::WriteMeshSlot(*slot, alone(triangles), {1, {-20, -5, 700, 400}, 1}, settings, 640, 360);
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

TEST_F(SlotFixture, theFirstCapTheGridAndTheLastCapFollowEachOther) {
  std::vector<vecNor> vertices;
  std::vector<A_FloatPoint> texture;
  for (int i = 0; i < 4; ++i) {
    vertices.push_back({{static_cast<float>(100 + i), 0, 0}, {0, 0, 1}});
    texture.push_back({0.25 * i, 0.5});
  }
  std::vector<triangle> front = numbered(1), back = numbered(2);
  front[0].vertexA.x = -1;
  back[1].vertexA.x = -2;
  const mask::MeshTriangles mesh{front, {1, 1, vertices, texture, noFaces}, back};
  EXPECT_EQ(mesh.size(), 5u);
  mask::WriteMeshSlot(*slot, mesh, {0, {0, 0, 640, 360}, 0}, settings, 640, 360);
  EXPECT_EQ(slot->triangleCount, 5);
  EXPECT_EQ(slot->triangles[0].vertexA.x, -1.0f);
  EXPECT_EQ(slot->triangles[1].vertexB.x, 101.0f);  // (0, 1, 3)
  EXPECT_EQ(slot->triangles[2].vertexC.x, 102.0f);  // (0, 3, 2)
  EXPECT_EQ(byValue(slot->triangles[2].uvC.x), 0.5);
  EXPECT_EQ(slot->triangles[4].vertexA.x, -2.0f);
  EXPECT_EQ(slot->triangles[0].reserved, 0.0f);
  EXPECT_EQ(slot->triangles[4].reserved, 0.0f);
}

TEST_F(SlotFixture, moreThanTwentyThousandTrianglesAreCut) {
  const std::vector<triangle> triangles = numbered(kMaxTriangles + 5);
  mask::WriteMeshSlot(*slot, alone(triangles), {0, {0, 0, 640, 360}, 0}, settings, 640, 360);
  EXPECT_EQ(slot->triangleCount, kMaxTriangles);
  EXPECT_EQ(slot->triangles[kMaxTriangles - 1].vertexA.x, static_cast<float>(kMaxTriangles - 1));
  EXPECT_EQ(slot->meshEnabled, 1);
  EXPECT_EQ(slot->slotIndex, 0);
}

}  // namespace
