#include "testbed/world/World.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "testbed/world/PngFile.h"

namespace tb {
namespace {

bool hasPixels(const PF_LayerDef& w) {
  return w.data != nullptr && w.width > 0 && w.height > 0 &&
         w.rowbytes >= w.width * static_cast<A_long>(sizeof(PF_Pixel));
}

const PF_Pixel& pixelAt(const PF_LayerDef& w, A_long x, A_long y) {
  const auto* row =
      reinterpret_cast<const unsigned char*>(w.data) + static_cast<ptrdiff_t>(y) * w.rowbytes;
  return reinterpret_cast<const PF_Pixel*>(row)[x];
}

A_u_char blendChannel(A_u_char a, A_u_char b, double t) {
  return static_cast<A_u_char>(std::lround(a + (b - a) * t));
}

}  // namespace

World::World(A_long width, A_long height)
    : pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), PF_Pixel{0, 0, 0, 0}) {
  def_.width = width;
  def_.height = height;
  def_.rowbytes = width * static_cast<A_long>(sizeof(PF_Pixel));
  def_.extent_hint = PF_LRect{0, 0, width, height};
  def_.pix_aspect_ratio = PF_RationalScale{1, 1};
  point();
}

void World::point() {
  def_.data = pixels_.empty() ? nullptr : pixels_.data();
}

World::World(const World& other) : pixels_(other.pixels_), def_(other.def_) {
  point();
}

World& World::operator=(const World& other) {
  pixels_ = other.pixels_;
  def_ = other.def_;
  point();
  return *this;
}

World::World(World&& other) noexcept : pixels_(std::move(other.pixels_)), def_(other.def_) {
  point();
  other.point();
}

World& World::operator=(World&& other) noexcept {
  pixels_ = std::move(other.pixels_);
  def_ = other.def_;
  point();
  other.point();
  return *this;
}

std::optional<World> World::blank(A_long width, A_long height) {
  if (width < 1 || height < 1 || width > kMaxWorldSide || height > kMaxWorldSide) {
    return std::nullopt;
  }
  return World(width, height);
}

std::optional<World> downsampleWorld(const World& src, A_long dx, A_long dy) {
  if (dx < 1 || dy < 1) {
    return std::nullopt;
  }
  std::optional<World> out =
      World::blank((src.width() + dx - 1) / dx, (src.height() + dy - 1) / dy);
  if (!out) {
    return std::nullopt;
  }
  for (A_long y = 0; y < out->height(); ++y) {
    for (A_long x = 0; x < out->width(); ++x) {
      out->at(x, y) = src.at(x * dx, y * dy);
    }
  }
  return out;
}

std::optional<World> makeSolid(A_long width, A_long height, PF_Pixel color) {
  auto world = World::blank(width, height);
  if (world) {
    for (A_long y = 0; y < height; ++y) {
      std::fill_n(&world->at(0, y), width, color);
    }
  }
  return world;
}

std::optional<World> makeGradient(A_long width, A_long height, PF_Pixel start, PF_Pixel end,
                                  A_FloatPoint direction) {
  auto world = World::blank(width, height);
  if (!world) {
    return world;
  }
  if (direction.x == 0.0 && direction.y == 0.0) {
    direction = A_FloatPoint{1.0, 0.0};
  }
  // Projections of the pixel centres onto the direction span the corners' projections.
  const double cornersX[2] = {0.0, direction.x * (width - 1)};
  const double cornersY[2] = {0.0, direction.y * (height - 1)};
  const double low = std::min(cornersX[0], cornersX[1]) + std::min(cornersY[0], cornersY[1]);
  const double high = std::max(cornersX[0], cornersX[1]) + std::max(cornersY[0], cornersY[1]);
  const double span = high - low;
  for (A_long y = 0; y < height; ++y) {
    for (A_long x = 0; x < width; ++x) {
      const double t = span > 0.0 ? (direction.x * x + direction.y * y - low) / span : 0.0;
      world->at(x, y) =
          PF_Pixel{blendChannel(start.alpha, end.alpha, t), blendChannel(start.red, end.red, t),
                   blendChannel(start.green, end.green, t), blendChannel(start.blue, end.blue, t)};
    }
  }
  return world;
}

std::optional<World> readPng(const std::string& path, std::string& error) {
  std::optional<World> world;
  const PngTarget target = [&](uint32_t width, uint32_t height, size_t& rowbytes) -> uint8_t* {
    if (width <= uint32_t(kMaxWorldSide) && height <= uint32_t(kMaxWorldSide))
      world = World::blank(static_cast<A_long>(width), static_cast<A_long>(height));
    if (!world) {
      error = path + ": image of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels is too large";
      return nullptr;
    }
    rowbytes = static_cast<size_t>(world->def().rowbytes);
    return reinterpret_cast<uint8_t*>(world->def().data);
  };
  if (!decodePng(path, target, error))
    return std::nullopt;
  return world;
}

bool writePng(const PF_LayerDef& world, const std::string& path, std::string& error) {
  if (!hasPixels(world)) {
    error = path + ": the world has no pixels";
    return false;
  }
  return encodePng(path, reinterpret_cast<const uint8_t*>(world.data),
                   static_cast<uint32_t>(world.width), static_cast<uint32_t>(world.height),
                   static_cast<size_t>(world.rowbytes), error);
}

bool subpixelSample(const PF_LayerDef& world, PF_Fixed x, PF_Fixed y, PF_Pixel& out) {
  if (!hasPixels(world)) {
    return false;
  }
  // Whole part by arithmetic shift (floor, also for negative coordinates), fraction in 1/65536.
  const A_long x0 = x >> 16;
  const A_long y0 = y >> 16;
  const uint64_t fx = static_cast<uint32_t>(x) & 0xFFFFu;
  const uint64_t fy = static_cast<uint32_t>(y) & 0xFFFFu;
  auto clampX = [&](int64_t v) {
    return static_cast<A_long>(std::clamp<int64_t>(v, 0, world.width - 1));
  };
  auto clampY = [&](int64_t v) {
    return static_cast<A_long>(std::clamp<int64_t>(v, 0, world.height - 1));
  };
  const PF_Pixel& p00 = pixelAt(world, clampX(x0), clampY(y0));
  const PF_Pixel& p10 = pixelAt(world, clampX(int64_t{x0} + 1), clampY(y0));
  const PF_Pixel& p01 = pixelAt(world, clampX(x0), clampY(int64_t{y0} + 1));
  const PF_Pixel& p11 = pixelAt(world, clampX(int64_t{x0} + 1), clampY(int64_t{y0} + 1));
  const uint64_t w00 = (65536 - fx) * (65536 - fy);
  const uint64_t w10 = fx * (65536 - fy);
  const uint64_t w01 = (65536 - fx) * fy;
  const uint64_t w11 = fx * fy;
  // The weights sum to 2^32; the sum is rounded to the nearest level.
  auto mix = [&](A_u_char PF_Pixel::*c) {
    const uint64_t sum = p00.*c * w00 + p10.*c * w10 + p01.*c * w01 + p11.*c * w11;
    return static_cast<A_u_char>((sum + (uint64_t{1} << 31)) >> 32);
  };
  out = PF_Pixel{mix(&PF_Pixel::alpha), mix(&PF_Pixel::red), mix(&PF_Pixel::green),
                 mix(&PF_Pixel::blue)};
  return true;
}

bool copyWorld(const PF_LayerDef& src, PF_LayerDef& dst) {
  if (!hasPixels(src) || !hasPixels(dst)) {
    return false;
  }
  const A_long width = std::min(src.width, dst.width);
  const A_long height = std::min(src.height, dst.height);
  for (A_long y = 0; y < height; ++y) {
    std::memmove(const_cast<PF_Pixel*>(&pixelAt(dst, 0, y)), &pixelAt(src, 0, y),
                 static_cast<size_t>(width) * sizeof(PF_Pixel));
  }
  return true;
}

}  // namespace tb
