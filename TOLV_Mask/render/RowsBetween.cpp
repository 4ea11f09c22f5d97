#include "TOLV_Mask/render/RowsBetween.h"

#include <algorithm>

#include "TOLV_Mask/math/interpolate.h"

namespace mask {

namespace {

point3 blend(const point3& a, const point3& b, float t) {
  return {LinearInterpolate(a.x, b.x, t), LinearInterpolate(a.y, b.y, t),
          LinearInterpolate(a.z, b.z, t)};
}

// Texture coordinates pass through the single-precision blend.
A_FloatPoint blend(const A_FloatPoint& a, const A_FloatPoint& b, float t) {
  return {LinearInterpolate(static_cast<float>(a.x), static_cast<float>(b.x), t),
          LinearInterpolate(static_cast<float>(a.y), static_cast<float>(b.y), t)};
}

point3 hermite(const point3& p0, const point3& p1, const point3& p2, const point3& p3, float t,
               float tension) {
  return {HermiteInterpolate(p0.x, p1.x, p2.x, p3.x, t, tension),
          HermiteInterpolate(p0.y, p1.y, p2.y, p3.y, t, tension),
          HermiteInterpolate(p0.z, p1.z, p2.z, p3.z, t, tension)};
}

// 2a − b: b mirrored through a.
point3 mirror(const point3& a, const point3& b) {
  return {2.0f * a.x - b.x, 2.0f * a.y - b.y, 2.0f * a.z - b.z};
}

bool whole(const MaskRow& row, size_t width) {
  return row.points.size() == width && row.uvs.size() == width;
}

}  // namespace

A_long RowsPerGap(A_long ySubdivide, A_long maskCount, bool cubic) {
  if (maskCount < 2)
    return 1;
  if (cubic && maskCount >= 4)
    return 1;
  return std::max<A_long>(ySubdivide / (maskCount - 1), 1);
}

bool CubicApplies(bool cubic, A_long ySubdivide, A_long maskCount) {
  return cubic && ySubdivide != 0 && maskCount >= 4;
}

void AppendRowsBetween(const MaskRow& previous, const MaskRow& current, A_long columns,
                       A_long rowsPerGap, bool lastMask, std::vector<point3>& vertices,
                       std::vector<A_FloatPoint>& texture) {
  const size_t width = static_cast<size_t>(columns) + 1;
  if (!whole(previous, width) || !whole(current, width))
    return;
  const A_long lastRow = lastMask ? rowsPerGap : rowsPerGap - 1;
  // A count below one row, from a caller's rowsPerGap under 1, adds nothing rather than wrapping.
  if (lastRow < 0)
    return;
  // Sized once and written in place, so that each row is a straight loop.
  const size_t added = width * (static_cast<size_t>(lastRow) + 1);
  vertices.resize(vertices.size() + added);
  texture.resize(texture.size() + added);
  point3* v = vertices.data() + vertices.size() - added;
  A_FloatPoint* uv = texture.data() + texture.size() - added;
  for (A_long r = 0; r <= lastRow; ++r, v += width, uv += width) {
    const float t = static_cast<float>(r) / static_cast<float>(rowsPerGap);
    for (size_t c = 0; c < width; ++c) {
      v[c] = blend(previous.points[c], current.points[c], t);
      uv[c] = blend(previous.uvs[c], current.uvs[c], t);
    }
  }
}

bool CubicPass(std::vector<point3>& vertices, std::vector<A_FloatPoint>& texture, A_long columns,
               A_long maskCount, A_long ySubdivide, float tension, A_long* rows) {
  const size_t R = static_cast<size_t>(columns) + 1;
  const size_t N = R * static_cast<size_t>(maskCount);
  if (maskCount < 2 || vertices.size() != N || texture.size() != N)
    return false;
  const A_long rowsPerGap = std::max<A_long>(ySubdivide / (maskCount - 1), 1);

  // E and T: the grid with a phantom row before and after it.
  std::vector<point3> E;
  std::vector<A_FloatPoint> T;
  for (size_t c = 0; c < R; ++c) {
    E.push_back(mirror(vertices[c], vertices[c + R]));
    T.push_back(texture[c]);
  }
  E.insert(E.end(), vertices.begin(), vertices.end());
  T.insert(T.end(), texture.begin(), texture.end());
  for (size_t c = N - R; c < N; ++c) {
    E.push_back(mirror(vertices[c], vertices[c - R]));
    T.push_back(texture[c]);
  }

  std::vector<point3> bent;
  std::vector<A_FloatPoint> blended;
  for (A_long g = 0; g + 1 < maskCount; ++g) {
    for (A_long r = 0; r < rowsPerGap; ++r) {
      const float t = static_cast<float>(r) / static_cast<float>(rowsPerGap);
      for (size_t c = 0; c < R; ++c) {
        const size_t b = static_cast<size_t>(g) * R + c;
        bent.push_back(hermite(E[b], E[b + R], E[b + 2 * R], E[b + 3 * R], t, tension));
        blended.push_back(blend(T[b + R], T[b + 2 * R], t));
      }
    }
  }
  bent.insert(bent.end(), vertices.end() - static_cast<std::ptrdiff_t>(R), vertices.end());
  blended.insert(blended.end(), texture.end() - static_cast<std::ptrdiff_t>(R), texture.end());
  vertices = std::move(bent);
  texture = std::move(blended);
  *rows = std::max<A_long>((ySubdivide / (maskCount - 1)) * (maskCount - 1), maskCount - 1);
  return true;
}

}  // namespace mask
