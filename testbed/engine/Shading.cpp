#include "testbed/engine/Shading.h"

#include <algorithm>
#include <cmath>

namespace viewer {

namespace {

double Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

double Length(const Vec3& a) {
  return std::sqrt(Dot(a, a));
}

// Index of the texel a fraction of a span falls on, kept inside the span.
int Texel(double fraction, int size) {
  const double at = std::floor(fraction * size);
  if (!(at >= 0.0))
    return 0;
  return at >= size ? size - 1 : static_cast<int>(at);
}

uint8_t ToByte(double channel) {
  return static_cast<uint8_t>(std::lround(std::clamp(channel, 0.0, 1.0) * 255.0));
}

}  // namespace

double LightIntensity(const Vec3& normal, const Vec3& to_eye) {
  const double n_len = Length(normal);
  if (!(n_len > 0.0))
    return kAmbient;
  const double facing = Dot(normal, to_eye) < 0.0 ? -1.0 : 1.0;
  const double lambert = facing * Dot(normal, kLightDirection) / (n_len * Length(kLightDirection));
  return kAmbient + kDiffuse * std::max(0.0, lambert);
}

Rgba SampleTexture(const TextureView& texture, const TextureFrame& frame, double u, double v) {
  if (!texture.data || texture.width <= 0 || texture.height <= 0 || !(frame.layerWidth > 0.0) ||
      !(frame.layerHeight > 0.0))
    return {1.0f, 1.0f, 1.0f, 1.0f};
  const double left = frame.uvRect[0], top = frame.uvRect[1];
  const double right = frame.uvRect[2], bottom = frame.uvRect[3];
  const double fx = (left + u * (right - left)) / frame.layerWidth;
  const double fy = (top + v * (bottom - top)) / frame.layerHeight;
  const int x = Texel(fx, texture.width), y = Texel(fy, texture.height);
  const auto* row = reinterpret_cast<const char*>(texture.data) + y * texture.rowbytes;
  const PF_Pixel& p = reinterpret_cast<const PF_Pixel*>(row)[x];
  return {p.red / 255.0f, p.green / 255.0f, p.blue / 255.0f, p.alpha / 255.0f};
}

Rgba ColorFromRecord(const uint8_t (&argb)[4]) {
  return {argb[1] / 255.0f, argb[2] / 255.0f, argb[3] / 255.0f, argb[0] / 255.0f};
}

void BlendOver(PF_Pixel* dst, const Rgba& src) {
  const double sa = std::clamp<double>(src.a, 0.0, 1.0);
  const double da = dst->alpha / 255.0;
  const double out_a = sa + da * (1.0 - sa);
  if (!(out_a > 0.0)) {
    *dst = PF_Pixel{0, 0, 0, 0};
    return;
  }
  auto mix = [&](double s, uint8_t d) { return (s * sa + d / 255.0 * da * (1.0 - sa)) / out_a; };
  dst->red = ToByte(mix(src.r, dst->red));
  dst->green = ToByte(mix(src.g, dst->green));
  dst->blue = ToByte(mix(src.b, dst->blue));
  dst->alpha = ToByte(out_a);
}

}  // namespace viewer
