#include "TOLV_Mask/render/FlatGrid.h"

namespace mask {

namespace {

float clampTo(float v, float lo, float hi) {
  return v < lo ? lo : (hi < v ? hi : v);
}

float fraction(float v, float size) {
  return size != 0.0f ? v / size : 0.0f;
}

}  // namespace

void BuildFlatGrid(A_long xSubdivide, A_long ySubdivide, A_long width, A_long height,
                   std::vector<point3>& vertices, std::vector<A_FloatPoint>& texture) {
  const float X = static_cast<float>(xSubdivide);
  const float Y = static_cast<float>(ySubdivide);
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  // Counted in f32, as the positions are formed from them.
  for (float y = 0; y <= Y; y += 1.0f) {
    for (float x = 0; x <= X; x += 1.0f) {
      const float px = clampTo(x / X * w, 0.0f, w);
      const float py = clampTo(y / Y * h, 0.0f, h);
      vertices.push_back({px, py, 0.0f});
      texture.push_back({fraction(px, w), fraction(py, h)});
    }
  }
}

}  // namespace mask
