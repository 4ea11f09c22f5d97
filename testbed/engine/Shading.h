// How a surface point looks: a fixed light plus ambient on the vertex normals, seen from either
// side, a colour or a texture, and "over" blending into 8-bit pixels.
#pragma once

#include <cstdint>

#include "AE_Effect.h"
#include "testbed/engine/Rasterizer.h"

namespace viewer {

// Colour with straight (not premultiplied) alpha, each channel 0..1.
struct Rgba {
  float r, g, b, a;
};

constexpr double kAmbient = 0.25;
constexpr double kDiffuse = 0.75;
// Towards the light, in mesh coordinates: up (y is down), left and towards the viewer.
constexpr Vec3 kLightDirection = {-1.0, -1.0, 2.0};

// ambient + diffuse x max(0, n.l) for the unit normal turned towards the eye, so both faces are
// lit alike. A zero normal gets the ambient term only.
double LightIntensity(const Vec3& normal, const Vec3& to_eye);

// A layer's pixels, as checked out.
struct TextureView {
  const PF_Pixel* data = nullptr;
  int width = 0, height = 0;
  long rowbytes = 0;
};

// Where texture coordinates point: u and v are fractions of uvRect (left, top, right, bottom) in
// the pixels of a layer of layerWidth x layerHeight, over which the texture layer is stretched.
struct TextureFrame {
  int32_t uvRect[4];
  double layerWidth, layerHeight;
};

// The texel nearest to (u, v), clamped to the texture's edges. An empty texture or a frame of no
// size gives opaque white.
Rgba SampleTexture(const TextureView& texture, const TextureFrame& frame, double u, double v);

// The record's colour bytes (alpha, red, green, blue) as Rgba.
Rgba ColorFromRecord(const uint8_t (&argb)[4]);

// Paints src over dst, both with straight alpha; channels are rounded to the nearest byte.
void BlendOver(PF_Pixel* dst, const Rgba& src);

}  // namespace viewer
