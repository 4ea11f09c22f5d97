#include "testbed/engine/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace viewer {

namespace {

double Edge(const RasterVertex& a, const RasterVertex& b, double x, double y) {
  return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

Vec3 Mix(const Vec3& a, const Vec3& b, const Vec3& c, const double (&w)[3]) {
  return {a.x * w[0] + b.x * w[1] + c.x * w[2], a.y * w[0] + b.y * w[1] + c.y * w[2],
          a.z * w[0] + b.z * w[1] + c.z * w[2]};
}

// Screen-space weights become weights of the surface itself: attributes vary linearly over the
// triangle in space, not on the screen.
Fragment Interpolate(const RasterVertex (&v)[3], const double (&screen)[3]) {
  double w[3];
  double sum = 0;
  for (int i = 0; i < 3; ++i) {
    w[i] = screen[i] / v[i].distance;
    sum += w[i];
  }
  for (double& wi : w)
    wi /= sum;
  Fragment f;
  f.distance = 1.0 / sum;
  f.position = Mix(v[0].position, v[1].position, v[2].position, w);
  f.normal = Mix(v[0].normal, v[1].normal, v[2].normal, w);
  f.u = v[0].u * w[0] + v[1].u * w[1] + v[2].u * w[2];
  f.v = v[0].v * w[0] + v[1].v * w[1] + v[2].v * w[2];
  return f;
}

// The pixel range [lo, hi] whose centres may lie between a and b, inside 0..size-1.
bool PixelSpan(double a, double b, double c, int size, int* lo, int* hi) {
  const double mn = std::min({a, b, c}), mx = std::max({a, b, c});
  if (!(mx >= 0.0) || !(mn < static_cast<double>(size)))
    return false;
  *lo = static_cast<int>(std::max(0.0, std::ceil(mn - 0.5)));
  *hi = static_cast<int>(std::min(static_cast<double>(size - 1), std::floor(mx - 0.5)));
  return *lo <= *hi;
}

}  // namespace

DepthBuffer::DepthBuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      depth_(static_cast<size_t>(width_) * static_cast<size_t>(height_),
             std::numeric_limits<double>::infinity()) {}

bool DepthBuffer::TestAndSet(int x, int y, double distance) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_)
    return false;
  double& kept = depth_[static_cast<size_t>(y) * static_cast<size_t>(width_) + x];
  if (!(distance < kept))
    return false;
  kept = distance;
  return true;
}

void RasterizeTriangle(const RasterVertex (&v)[3], DepthBuffer& depth, const PaintPixel& paint) {
  const double area = Edge(v[0], v[1], v[2].x, v[2].y);
  if (!std::isfinite(area) || area == 0.0)
    return;
  int x0, x1, y0, y1;
  if (!PixelSpan(v[0].x, v[1].x, v[2].x, depth.width(), &x0, &x1) ||
      !PixelSpan(v[0].y, v[1].y, v[2].y, depth.height(), &y0, &y1))
    return;
  for (int y = y0; y <= y1; ++y) {
    const double py = y + 0.5;
    for (int x = x0; x <= x1; ++x) {
      const double px = x + 0.5;
      // Dividing by the signed area makes the weights non-negative inside, whatever the winding.
      const double screen[3] = {Edge(v[1], v[2], px, py) / area, Edge(v[2], v[0], px, py) / area,
                                Edge(v[0], v[1], px, py) / area};
      if (screen[0] < 0.0 || screen[1] < 0.0 || screen[2] < 0.0)
        continue;
      const Fragment f = Interpolate(v, screen);
      if (depth.TestAndSet(x, y, f.distance))
        paint(x, y, f);
    }
  }
}

}  // namespace viewer
