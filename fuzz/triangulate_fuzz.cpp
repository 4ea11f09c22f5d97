// Arbitrary point lists through the ear clipper: it must end, touch nothing out of bounds, and
// give either nothing or n − 2 triangles of in-range indices.
//
// The first byte picks how the rest becomes points: even, as raw doubles (x, y), so NaN, infinity,
// huge and tiny values all occur; odd, as signed bytes (x, y), so that duplicates, collinear runs
// and simple outlines are easy to reach.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "TOLV_Mask/math/triangulate.h"

namespace {

// Keeps a run fast: a degenerate outline can cost a full ring circuit per ear.
constexpr size_t kMaxPoints = 2048;

std::vector<A_FloatPoint> doublePoints(const uint8_t* data, size_t size) {
  std::vector<A_FloatPoint> points(std::min(size / 16, kMaxPoints));
  for (size_t i = 0; i < points.size(); ++i) {
    std::memcpy(&points[i].x, data + 16 * i, 8);
    std::memcpy(&points[i].y, data + 16 * i + 8, 8);
  }
  return points;
}

std::vector<A_FloatPoint> bytePoints(const uint8_t* data, size_t size) {
  std::vector<A_FloatPoint> points(std::min(size / 2, kMaxPoints));
  for (size_t i = 0; i < points.size(); ++i) {
    points[i].x = static_cast<int8_t>(data[2 * i]);
    points[i].y = static_cast<int8_t>(data[2 * i + 1]);
  }
  return points;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const std::vector<A_FloatPoint> points =
      data[0] % 2 == 0 ? doublePoints(data + 1, size - 1) : bytePoints(data + 1, size - 1);
  const std::vector<int> indices = math::tri::triangulate<int>(points);
  if (indices.empty())
    return 0;
  const size_t n = points.size();
  if (n < 3 || indices.size() != 3 * (n - 2))
    std::abort();
  for (int index : indices) {
    if (index < 0 || static_cast<size_t>(index) >= n)
      std::abort();
  }
  return 0;
}
