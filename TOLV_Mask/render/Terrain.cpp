#include "TOLV_Mask/render/Terrain.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/render/VertexNormals.h"

namespace mask {

namespace {

// The range a coordinate is held to on one axis, one pixel in from each edge, in single
// precision. Bounds that cross (a layer one pixel across) meet in the middle.
struct AxisHold {
  float low;
  float high;
  A_long size;
};

AxisHold AxisHoldOf(A_long size) {
  float low = 1.0f / static_cast<float>(size);
  float high = 1.0f - 1.0f / static_cast<float>(size);
  if (low > high)
    low = high = 0.5f;
  return {low, high, size};
}

// One coordinate in pixels: the clamp in double, the result single.
float PixelCoordinate(double t, const AxisHold& axis) {
  double held = t;
  if (!(held >= axis.low))
    held = axis.low;
  else if (held > axis.high)
    held = axis.high;
  return static_cast<float>(held * axis.size);
}

PF_Fixed Saturated(int64_t v) {
  return static_cast<PF_Fixed>(std::clamp<int64_t>(v, std::numeric_limits<PF_Fixed>::min(),
                                                   std::numeric_limits<PF_Fixed>::max()));
}

// std::round of a value well inside the 64-bit range, without the library call: the whole part
// by truncation, the exact remainder deciding half away from zero.
int64_t RoundHalfAway(double v) {
  int64_t whole = static_cast<int64_t>(v);
  const double rest = v - static_cast<double>(whole);
  if (rest >= 0.5)
    ++whole;
  else if (rest <= -0.5)
    --whole;
  return whole;
}

PF_Fixed ToFixed(float pixels) {
  const double scaled = static_cast<double>(pixels) * 65536.0;
  if (std::fabs(scaled) < 0x1p40)
    return Saturated(RoundHalfAway(scaled));
  const double rounded = std::round(scaled);
  if (rounded >= static_cast<double>(std::numeric_limits<PF_Fixed>::max()))
    return std::numeric_limits<PF_Fixed>::max();
  if (rounded <= static_cast<double>(std::numeric_limits<PF_Fixed>::min()))
    return std::numeric_limits<PF_Fixed>::min();
  return static_cast<PF_Fixed>(rounded);
}

// On an axis of 0 to 2^15 − 1 pixels a held coordinate lies in [0, size], so in fixed point it
// is below 2^31 and never negative, and adding one half is exact: truncating then rounds half
// away from zero, as ToFixed does, in a few instructions. Every vertex takes two.
constexpr A_long kShortAxis = 1 << 15;

PF_Fixed FixedCoordinate(double t, const AxisHold& axis) {
  const float pixels = PixelCoordinate(t, axis);
  if (axis.size >= 0 && axis.size < kShortAxis)
    return static_cast<PF_Fixed>(static_cast<double>(pixels) * 65536.0 + 0.5);
  return ToFixed(pixels);
}

class SubpixelSource : public PixelSource {
 public:
  SubpixelSource(const PF_Sampling8Suite1* suite, PF_ProgPtr effect_ref, PF_EffectWorld* world)
      : suite_(suite), effect_ref_(effect_ref) {
    params_.src = world;
  }
  PF_Err sample(FixedPoint at, PF_Pixel& pixel) override {
    return suite_->subpixel_sample(effect_ref_, at.x, at.y, &params_, &pixel);
  }

 private:
  const PF_Sampling8Suite1* suite_;
  PF_ProgPtr effect_ref_;
  PF_SampPB params_ = {};
};

FixedPoint SamplePointWithin(const A_FloatPoint& uv, const AxisHold& across, const AxisHold& down) {
  return {FixedCoordinate(uv.x, across), FixedCoordinate(uv.y, down)};
}

}  // namespace

FixedPoint TerrainSamplePoint(const A_FloatPoint& uv, A_long width, A_long height) {
  return SamplePointWithin(uv, AxisHoldOf(width), AxisHoldOf(height));
}

namespace {

constexpr int kMaxChannelSum = 3 * 255;

double HeightOfSum(int sum, A_long zRange) {
  if (zRange == kMinusOneToOne)
    return sum / 382.5 - 1;
  return sum / 765.0;
}

int ChannelSum(const PF_Pixel& pixel) {
  return pixel.red + pixel.green + pixel.blue;
}

}  // namespace

double TerrainHeight(const PF_Pixel& pixel, A_long zRange) {
  return HeightOfSum(ChannelSum(pixel), zRange);
}

PF_Err DisplaceByTerrain(std::vector<vecNor>& vecNors, const std::vector<A_FloatPoint>& texture,
                         A_long width, A_long height, double zDisplace, A_long zRange,
                         PixelSource& layer) {
  if (width <= 0 || height <= 0)
    return PF_Err_NONE;
  // How far each possible sum of red, green and blue moves a vertex, worked out once rather than
  // with a division per vertex.
  std::array<float, kMaxChannelSum + 1> offsets;
  for (int sum = 0; sum <= kMaxChannelSum; ++sum)
    offsets[sum] = static_cast<float>(zDisplace * HeightOfSum(sum, zRange));
  PF_Err err = PF_Err_NONE;
  PF_Pixel pixel = {0, 0, 0, 0};
  const AxisHold across = AxisHoldOf(width);
  const AxisHold down = AxisHoldOf(height);
  const size_t count = std::min(vecNors.size(), texture.size());
  // The sample points of a batch are worked out before any is sampled: each is a long chain of
  // conversions, and apart from the host calls they overlap.
  constexpr size_t kBatch = 256;
  FixedPoint points[kBatch];
  for (size_t base = 0; base < count; base += kBatch) {
    const size_t n = std::min(kBatch, count - base);
    if (err == PF_Err_NONE) {
      for (size_t k = 0; k < n; ++k)
        points[k] = SamplePointWithin(texture[base + k], across, down);
    }
    for (size_t k = 0; k < n; ++k) {
      if (err == PF_Err_NONE) {
        // A failed sample may leave anything in its pixel; only a good one replaces the last.
        PF_Pixel sampled = pixel;
        err = layer.sample(points[k], sampled);
        if (err == PF_Err_NONE)
          pixel = sampled;
      }
      const float d = offsets[ChannelSum(pixel)];
      vecNor& v = vecNors[base + k];
      v.pos = {v.pos.x + v.nor.x * d, v.pos.y + v.nor.y * d, v.pos.z + v.nor.z * d};
    }
  }
  return err;
}

void ApplyTerrain(HostStatus& status, const AEGP_SuiteHandler& suites, const MeshSettings& settings,
                  A_long cols, A_long rows, std::vector<vecNor>& vecNors,
                  std::vector<point3>& faceNormals, const std::vector<A_FloatPoint>& texture) {
  PF_InData* in_data = status.in_data();
  PF_Err pass = PF_Err_NONE;
  {
    CheckedOutParam terrain(status);
    terrain.checkout(MASK_TERRAIN_SOURCE, in_data->current_time, in_data->time_step,
                     in_data->time_scale);
    if (terrain.held()) {
      PF_EffectWorld* world = &terrain.param().u.ld;
      SubpixelSource source(suites.Sampling8Suite1(), in_data->effect_ref, world);
      pass = DisplaceByTerrain(vecNors, texture, world->width, world->height, settings.zDisplace,
                               settings.zRange, source);
    }
  }
  status.fail(pass);
  status.fail(RecomputeNormals(cols, rows, vecNors, faceNormals, settings.closedShape));
}

}  // namespace mask
