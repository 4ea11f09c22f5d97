// Terrain displacement: where a texture coordinate samples the layer, the height of a pixel, and
// how the grid moves, including a failing sample and layers of odd sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "TOLV_Mask/render/Terrain.h"

namespace {

using mask::FixedPoint;
using mask::TerrainHeight;
using mask::TerrainSamplePoint;

TEST(TerrainSamplePoint, aCoordinateOfZeroSamplesOnePixelIn) {
  const FixedPoint p = TerrainSamplePoint({0.0, 0.0}, 10, 20);
  EXPECT_EQ(p.x, 65536);
  EXPECT_EQ(p.y, 65536);
}

TEST(TerrainSamplePoint, aCoordinateOfOneSamplesOnePixelInFromTheFarEdge) {
  const FixedPoint p = TerrainSamplePoint({1.0, 7.5}, 10, 4);
  EXPECT_EQ(p.x, 9 * 65536);
  EXPECT_EQ(p.y, 3 * 65536);
}

TEST(TerrainSamplePoint, roundsHalfAwayFromZero) {
  // 0.5 / 65536 of a pixel past 2 lies exactly halfway between two fixed-point steps.
  const double half = 0.5 / 65536;
  const FixedPoint p = TerrainSamplePoint({(2 + half) / 8, (2 + 3 * half) / 8}, 8, 8);
  EXPECT_EQ(p.x, 2 * 65536 + 1);
  EXPECT_EQ(p.y, 2 * 65536 + 2);
}

TEST(TerrainSamplePoint, everyHalfStepRoundsUpAndEveryWholeStepStays) {
  // On a layer 2^17 pixels wide, u = m / 2^34 lies at m / 2 fixed-point steps, a half step for
  // every odd m, over the whole range in which single precision holds such positions exactly.
  const A_long width = 1 << 17;
  for (int64_t m : {int64_t{1} << 17, (int64_t{1} << 17) + 1, int64_t{1} << 20,
                    (int64_t{1} << 20) + 3, (int64_t{1} << 24) - 2, (int64_t{1} << 24) - 1}) {
    for (int64_t k = 0; k < 64; ++k) {
      const int64_t step = m + k < (int64_t{1} << 24) ? m + k : m;
      const FixedPoint p =
          TerrainSamplePoint({std::ldexp(static_cast<double>(step), -34), 0.5}, width, 4);
      EXPECT_EQ(p.x, (step + 1) / 2) << step;
    }
  }
}

TEST(TerrainSamplePoint, aPositionJustPastTheFixedPointRangeStopsAtItsEnd) {
  // One pixel in from the far edge of a layer 2^15 + 1 wide is 2^15 pixels: 2^31 steps.
  EXPECT_EQ(TerrainSamplePoint({1.0, 0.0}, (1 << 15) + 1, 4).x,
            std::numeric_limits<PF_Fixed>::max());
  EXPECT_EQ(TerrainSamplePoint({1.0, 0.0}, 1 << 15, 4).x, ((1 << 15) - 1) * 65536);
}

// The rule written out the long way: held one pixel in, in double; pixels in single precision;
// then std::round of the fixed-point value, saturated.
PF_Fixed fixedTheLongWay(double t, A_long size) {
  double low = 1.0f / static_cast<float>(size), high = 1.0f - 1.0f / static_cast<float>(size);
  if (low > high)
    low = high = 0.5f;
  const double held = !(t >= low) ? low : (t > high ? high : t);
  const double rounded = std::round(static_cast<float>(held * size) * 65536.0);
  return static_cast<PF_Fixed>(std::clamp<double>(rounded, std::numeric_limits<PF_Fixed>::min(),
                                                  std::numeric_limits<PF_Fixed>::max()));
}

// Small, large, odd and negative sizes on both sides of 2^15 pixels, with coordinates on and
// between half steps, inside and outside the layer.
TEST(TerrainSamplePoint, everySizeAndCoordinateFollowsTheRuleWrittenOut) {
  uint32_t state = 12345;
  auto next = [&] { return (state = state * 1664525u + 1013904223u) / 4294967296.0; };
  for (A_long size : {-7, 0, 1, 2, 3, 255, 1920, 32767, 32768, 32769, 100000, 1 << 30}) {
    std::vector<double> ts = {-0.5, 0.0, 1.0, 1.5};
    for (int i = 0; i < 2000; ++i)
      ts.push_back(next() * 1.2 - 0.1);
    for (int64_t k = 0; k < 200; ++k)  // half steps past one pixel
      ts.push_back((1 + (static_cast<double>(k) + 0.5) / 65536) / size);
    for (double t : ts) {
      const FixedPoint p = TerrainSamplePoint({t, 0.5}, size, 4);
      ASSERT_EQ(p.x, fixedTheLongWay(t, size)) << size << " " << t;
    }
  }
}

TEST(TerrainSamplePoint, aLayerOnePixelAcrossIsSampledInItsMiddle) {
  for (double t : {-1.0, 0.0, 0.3, 1.0, 2.0}) {
    const FixedPoint p = TerrainSamplePoint({t, t}, 1, 1);
    EXPECT_EQ(p.x, 32768) << t;
    EXPECT_EQ(p.y, 32768) << t;
  }
}

TEST(TerrainSamplePoint, nanAndHugeCoordinatesGiveDefinedPositions) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FixedPoint p = TerrainSamplePoint({nan, nan}, 4, 4);
  EXPECT_EQ(p.x, 65536);  // the near bound, one pixel in
  EXPECT_EQ(p.y, 65536);
  // A layer far wider than fixed point reaches: the position stops at the largest one.
  const FixedPoint far = TerrainSamplePoint({1.0, 0.0}, 1 << 30, 4);
  EXPECT_EQ(far.x, std::numeric_limits<PF_Fixed>::max());
}

TEST(TerrainHeight, greyAndWhiteInBothRanges) {
  const PF_Pixel grey = {0, 128, 128, 128};
  const PF_Pixel white = {0, 255, 255, 255};
  const PF_Pixel black = {255, 0, 0, 0};
  EXPECT_EQ(TerrainHeight(grey, mask::kMinusOneToOne), 384 / 382.5 - 1);
  EXPECT_EQ(TerrainHeight(white, mask::kZeroToOne), 1.0);
  EXPECT_EQ(TerrainHeight(black, mask::kMinusOneToOne), -1.0);
  EXPECT_EQ(TerrainHeight(black, mask::kZeroToOne), 0.0);  // alpha plays no part
  EXPECT_EQ(TerrainHeight(grey, 7), 384 / 765.0);          // any other value reads as 0 … 1
}

// A layer of pixels given in advance, recording where it was asked; it fails from a given call on.
class ScriptedLayer : public mask::PixelSource {
 public:
  std::vector<PF_Pixel> pixels;
  int failFrom = -1;
  std::vector<FixedPoint> asked;

  PF_Err sample(FixedPoint at, PF_Pixel& pixel) override {
    const int call = static_cast<int>(asked.size());
    asked.push_back(at);
    if (call == failFrom) {
      pixel = {9, 9, 9, 9};  // what a failing host might leave; it must not be used
      return PF_Err_OUT_OF_MEMORY;
    }
    pixel = pixels[call % pixels.size()];
    return PF_Err_NONE;
  }
};

std::vector<vecNor> column(size_t n, point3 normal) {
  std::vector<vecNor> v;
  for (size_t i = 0; i < n; ++i)
    v.push_back({{static_cast<float>(i), 0, 0}, normal});
  return v;
}

TEST(DisplaceByTerrain, movesEachVertexAlongItsNormalByTheDistanceTimesTheHeight) {
  std::vector<vecNor> v = column(2, {0, 0, 1});
  v[1].nor = {0, 0.6f, 0.8f};
  const std::vector<A_FloatPoint> uv = {{0, 0}, {0.5, 0.5}};
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}, {0, 128, 128, 128}};
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 10, 10, 100, mask::kZeroToOne, layer), PF_Err_NONE);
  EXPECT_EQ(v[0].pos.z, 100.0f);
  const float d = static_cast<float>(100 * (384 / 765.0));
  EXPECT_EQ(v[1].pos.y, 0.6f * d);
  EXPECT_EQ(v[1].pos.z, 0.8f * d);
  ASSERT_EQ(layer.asked.size(), 2u);
  EXPECT_EQ(layer.asked[1].x, 5 * 65536);
}

TEST(DisplaceByTerrain, aFailedSampleKeepsTheLastPixelForEveryLaterVertex) {
  std::vector<vecNor> v = column(4, {0, 0, 1});
  const std::vector<A_FloatPoint> uv(4, A_FloatPoint{0.5, 0.5});
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}, {0, 0, 0, 0}};
  layer.failFrom = 2;
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 4, 4, 10, mask::kZeroToOne, layer),
            PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(layer.asked.size(), 3u);  // nothing more is asked after the failure
  EXPECT_EQ(v[0].pos.z, 10.0f);
  EXPECT_EQ(v[1].pos.z, 0.0f);
  EXPECT_EQ(v[2].pos.z, 0.0f);  // the last good pixel, black
  EXPECT_EQ(v[3].pos.z, 0.0f);
}

// Long enough that the sample points are worked out in several runs, with the failure in a later
// one: every point asked is the vertex's own, and the vertices after it keep the last pixel.
TEST(DisplaceByTerrain, aLongListAsksEachVertexsPointInOrderUntilASampleFails) {
  const size_t n = 1000;
  std::vector<vecNor> v = column(n, {0, 0, 1});
  std::vector<A_FloatPoint> uv;
  for (size_t i = 0; i < n; ++i)
    uv.push_back({static_cast<double>(i) / n, 1 - static_cast<double>(i) / n});
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}, {0, 0, 0, 0}, {0, 85, 85, 85}};
  layer.failFrom = 600;
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 300, 200, 30, mask::kZeroToOne, layer),
            PF_Err_OUT_OF_MEMORY);
  ASSERT_EQ(layer.asked.size(), 601u);
  for (size_t i = 0; i < layer.asked.size(); ++i) {
    const FixedPoint expected = mask::TerrainSamplePoint(uv[i], 300, 200);
    EXPECT_EQ(layer.asked[i].x, expected.x) << i;
    EXPECT_EQ(layer.asked[i].y, expected.y) << i;
  }
  const float heights[] = {30.0f, 0.0f, static_cast<float>(30 * (255 / 765.0))};
  for (size_t i = 0; i < n; ++i)
    EXPECT_EQ(v[i].pos.z, heights[std::min<size_t>(i, 599) % 3]) << i;
}

TEST(DisplaceByTerrain, aFirstSampleThatFailsLeavesTransparentBlack) {
  std::vector<vecNor> v = column(2, {0, 0, 1});
  const std::vector<A_FloatPoint> uv(2, A_FloatPoint{0.5, 0.5});
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}};
  layer.failFrom = 0;
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 4, 4, 10, mask::kMinusOneToOne, layer),
            PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(v[0].pos.z, -10.0f);
  EXPECT_EQ(v[1].pos.z, -10.0f);
}

TEST(DisplaceByTerrain, aLayerWithoutPixelsMovesNothingAndIsNotSampled) {
  std::vector<vecNor> v = column(3, {0, 0, 1});
  const std::vector<A_FloatPoint> uv(3, A_FloatPoint{0.5, 0.5});
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}};
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 0, 10, 10, mask::kZeroToOne, layer), PF_Err_NONE);
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 10, 0, 10, mask::kZeroToOne, layer), PF_Err_NONE);
  EXPECT_TRUE(layer.asked.empty());
  EXPECT_EQ(v[2].pos.z, 0.0f);
}

TEST(DisplaceByTerrain, onlyVerticesWithATextureCoordinateMove) {
  std::vector<vecNor> v = column(3, {0, 0, 1});
  const std::vector<A_FloatPoint> uv(2, A_FloatPoint{0.5, 0.5});
  ScriptedLayer layer;
  layer.pixels = {{0, 255, 255, 255}};
  EXPECT_EQ(mask::DisplaceByTerrain(v, uv, 4, 4, 10, mask::kZeroToOne, layer), PF_Err_NONE);
  EXPECT_EQ(layer.asked.size(), 2u);
  EXPECT_EQ(v[1].pos.z, 10.0f);
  EXPECT_EQ(v[2].pos.z, 0.0f);
}

}  // namespace
