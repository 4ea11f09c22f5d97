// Pixel worlds of 8-bit ARGB as the host hands them to effects: a PF_LayerDef whose data points
// into storage the World owns. Layer sources (solid, gradient, PNG image) are made here, and the
// host's bilinear sampler and world copy work on any PF_LayerDef.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AE_Effect.h"

namespace tb {

// Larger sides are refused rather than allocated; the host's own limit.
constexpr A_long kMaxWorldSide = 30000;

class World {
 public:
  // A world of width × height transparent black pixels; nothing when a side is not 1 …
  // kMaxWorldSide.
  static std::optional<World> blank(A_long width, A_long height);

  World(const World& other);
  World& operator=(const World& other);
  World(World&&) noexcept;
  World& operator=(World&&) noexcept;

  PF_LayerDef& def() { return def_; }
  const PF_LayerDef& def() const { return def_; }
  A_long width() const { return def_.width; }
  A_long height() const { return def_.height; }
  PF_Pixel& at(A_long x, A_long y) { return pixels_[static_cast<size_t>(y) * def_.width + x]; }
  const PF_Pixel& at(A_long x, A_long y) const {
    return pixels_[static_cast<size_t>(y) * def_.width + x];
  }

 private:
  World(A_long width, A_long height);
  void point();  // aims def_ at pixels_ after construction, copy or move

  std::vector<PF_Pixel> pixels_;
  PF_LayerDef def_{};
};

std::optional<World> makeSolid(A_long width, A_long height, PF_Pixel color);

// The world at 1/dx × 1/dy of its size (sides rounded up), each pixel the source pixel at its
// top-left corner, as a host renders at reduced resolution; nothing for a factor below 1.
std::optional<World> downsampleWorld(const World& src, A_long dx, A_long dy);

// Colour runs from `start` to `end` along `direction`: the pixel centre furthest back along it
// has `start`, the furthest forward `end`, linearly between. A zero direction runs left to right.
std::optional<World> makeGradient(A_long width, A_long height, PF_Pixel start, PF_Pixel end,
                                  A_FloatPoint direction);

// Reads a PNG file into a world; on failure returns nothing and sets `error`.
std::optional<World> readPng(const std::string& path, std::string& error);

// Writes the world's pixels as an RGBA PNG; false with `error` set on failure.
bool writePng(const PF_LayerDef& world, const std::string& path, std::string& error);

// Bilinear sample at 16.16 fixed-point (x, y) with pixel centres at whole coordinates, neighbours
// beyond an edge clamped to it. False, with `out` untouched, for a world without pixels.
bool subpixelSample(const PF_LayerDef& world, PF_Fixed x, PF_Fixed y, PF_Pixel& out);

// Copies the overlap of `src` and `dst` from their top-left corners; false if either has no pixels.
bool copyWorld(const PF_LayerDef& src, PF_LayerDef& dst);

}  // namespace tb
