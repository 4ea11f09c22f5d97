#include "testbed/world/World.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

namespace tb {
namespace {

bool samePixel(PF_Pixel a, PF_Pixel b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

#define EXPECT_PIXEL(p, a, r, g, b) EXPECT_TRUE(samePixel(p, PF_Pixel{a, r, g, b}))

constexpr PF_Fixed fixed(double v) {
  return static_cast<PF_Fixed>(v * 65536);
}

World twoByTwo() {
  World w = *World::blank(2, 2);
  w.at(0, 0) = {255, 0, 0, 0};
  w.at(1, 0) = {255, 100, 0, 0};
  w.at(0, 1) = {255, 0, 200, 0};
  w.at(1, 1) = {255, 100, 200, 40};
  return w;
}

TEST(World, layerDefDescribesItsPixels) {
  World w = *World::blank(3, 2);
  EXPECT_EQ(w.def().width, 3);
  EXPECT_EQ(w.def().height, 2);
  EXPECT_EQ(w.def().rowbytes, 12);
  EXPECT_EQ(w.def().extent_hint.right, 3);
  EXPECT_EQ(w.def().extent_hint.bottom, 2);
  EXPECT_EQ(w.def().data, &w.at(0, 0));
}

TEST(World, copiesOwnTheirPixels) {
  World a = *makeSolid(2, 2, {255, 1, 2, 3});
  World b = a;
  b.at(0, 0).red = 9;
  EXPECT_NE(b.def().data, a.def().data);
  EXPECT_EQ(a.at(0, 0).red, 1);
  World c = std::move(b);
  EXPECT_EQ(c.def().data, &c.at(0, 0));
  EXPECT_EQ(c.at(0, 0).red, 9);
}

TEST(World, refusesEmptyAndHugeSizes) {
  EXPECT_FALSE(World::blank(0, 5));
  EXPECT_FALSE(World::blank(5, -1));
  EXPECT_FALSE(World::blank(kMaxWorldSide + 1, 1));
}

TEST(World, solidFillsEveryPixel) {
  World w = *makeSolid(4, 3, {200, 10, 20, 30});
  EXPECT_PIXEL(w.at(0, 0), 200, 10, 20, 30);
  EXPECT_PIXEL(w.at(3, 2), 200, 10, 20, 30);
}

TEST(World, gradientRunsLeftToRightByDefault) {
  World w = *makeGradient(5, 2, {255, 0, 0, 0}, {255, 200, 100, 40}, {0, 0});
  EXPECT_PIXEL(w.at(0, 1), 255, 0, 0, 0);
  EXPECT_PIXEL(w.at(2, 0), 255, 100, 50, 20);
  EXPECT_PIXEL(w.at(4, 1), 255, 200, 100, 40);
}

TEST(World, gradientFollowsItsDirection) {
  World w = *makeGradient(2, 3, {255, 0, 0, 0}, {255, 100, 0, 0}, {0, -1});
  EXPECT_EQ(w.at(0, 2).red, 0);
  EXPECT_EQ(w.at(1, 1).red, 50);
  EXPECT_EQ(w.at(0, 0).red, 100);
}

TEST(World, sampleAtPixelCentreIsThatPixel) {
  const World w = twoByTwo();
  PF_Pixel p{};
  ASSERT_TRUE(subpixelSample(w.def(), fixed(1), fixed(1), p));
  EXPECT_PIXEL(p, 255, 100, 200, 40);
}

TEST(World, sampleBetweenFourPixelsIsBilinear) {
  const World w = twoByTwo();
  PF_Pixel p{};
  ASSERT_TRUE(subpixelSample(w.def(), fixed(0.5), fixed(0.5), p));
  EXPECT_PIXEL(p, 255, 50, 100, 10);
  ASSERT_TRUE(subpixelSample(w.def(), fixed(0.25), fixed(0.75), p));
  // red 100 × 0.25, green 200 × 0.75, blue 40 × 0.25 × 0.75 = 7.5 rounds up.
  EXPECT_PIXEL(p, 255, 25, 150, 8);
}

TEST(World, sampleBeyondTheEdgeIsClamped) {
  const World w = twoByTwo();
  PF_Pixel p{};
  ASSERT_TRUE(subpixelSample(w.def(), fixed(-3.5), fixed(7.25), p));
  EXPECT_PIXEL(p, 255, 0, 200, 0);
  ASSERT_TRUE(subpixelSample(w.def(), fixed(1.5), fixed(0), p));
  EXPECT_PIXEL(p, 255, 100, 0, 0);
}

TEST(World, sampleOfAWorldWithoutPixelsFails) {
  PF_LayerDef empty{};
  PF_Pixel p{1, 2, 3, 4};
  EXPECT_FALSE(subpixelSample(empty, 0, 0, p));
  EXPECT_PIXEL(p, 1, 2, 3, 4);
}

TEST(World, copyTakesTheOverlap) {
  const World src = twoByTwo();
  World dst = *makeSolid(3, 1, {9, 9, 9, 9});
  ASSERT_TRUE(copyWorld(src.def(), dst.def()));
  EXPECT_PIXEL(dst.at(0, 0), 255, 0, 0, 0);
  EXPECT_PIXEL(dst.at(1, 0), 255, 100, 0, 0);
  EXPECT_PIXEL(dst.at(2, 0), 9, 9, 9, 9);
  PF_LayerDef empty{};
  EXPECT_FALSE(copyWorld(src.def(), empty));
}

TEST(World, pngRoundTripKeepsEveryChannel) {
  World w = twoByTwo();
  w.at(0, 0) = {128, 10, 20, 30};
  const std::string path = testing::TempDir() + "world_png_" + std::to_string(getpid()) + ".png";
  std::string error;
  ASSERT_TRUE(writePng(w.def(), path, error)) << error;
  const auto back = readPng(path, error);
  std::remove(path.c_str());
  ASSERT_TRUE(back) << error;
  ASSERT_EQ(back->width(), 2);
  ASSERT_EQ(back->height(), 2);
  for (A_long y = 0; y < 2; ++y) {
    for (A_long x = 0; x < 2; ++x) {
      EXPECT_TRUE(samePixel(back->at(x, y), w.at(x, y))) << x << "," << y;
    }
  }
}

TEST(World, missingPngIsReportedWithItsPath) {
  std::string error;
  EXPECT_FALSE(readPng("/nonexistent/none.png", error));
  EXPECT_EQ(error.rfind("/nonexistent/none.png: ", 0), 0u) << error;
}

}  // namespace
}  // namespace tb
