// Triangle fill with a depth buffer: which output pixels a projected triangle covers, what its
// surface holds there (interpolated with perspective correction), and which surface is nearest.
#pragma once

#include <functional>
#include <vector>

namespace viewer {

struct Vec3 {
  double x, y, z;
};

// A projected corner: screen position and distance from the eye, with what is interpolated.
struct RasterVertex {
  double x, y, distance;
  Vec3 position;  // mesh coordinates
  Vec3 normal;
  double u, v;
};

// What the surface holds at one pixel centre.
struct Fragment {
  double distance;
  Vec3 position;
  Vec3 normal;  // interpolated, not normalised
  double u, v;
};

// Distances of the nearest surface drawn so far, one per output pixel; all start at infinity.
class DepthBuffer {
 public:
  DepthBuffer(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  // True, and the distance kept, when distance is nearer than what (x, y) holds.
  bool TestAndSet(int x, int y, double distance);

 private:
  int width_, height_;
  std::vector<double> depth_;
};

using PaintPixel = std::function<void(int x, int y, const Fragment& fragment)>;

// Calls paint for every pixel whose centre lies inside the triangle (either winding; edges
// included) and passes the depth test; the depth buffer keeps the distance. A triangle of no area
// paints nothing.
void RasterizeTriangle(const RasterVertex (&corners)[3], DepthBuffer& depth,
                       const PaintPixel& paint);

}  // namespace viewer
