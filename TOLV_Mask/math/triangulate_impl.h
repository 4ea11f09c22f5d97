// Definitions of the ear-clipping templates declared in triangulate.h. Include this only to
// instantiate them for new point or index types; the program's own instantiation is in
// triangulate.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <list>
#include <utility>
#include <vector>

#include "TOLV_Mask/math/triangulate.h"

namespace math {
namespace tri {
namespace detail {

// The rule for both orientations; a collinear vertex (w = 0) is reflex under either, and any
// orientation that is not positive, NaN included, counts as negative.
inline bool is_reflex(float orientation, float w) {
  return orientation > 0 ? w <= 0 : w >= 0;
}

template <typename PointT>
bool lower_left(const PointT& a, const PointT& b) {
  return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// Smallest x, then smallest y; among equal points the earlier choice stays. The last point is
// weighed against the first before the rest are visited in order.
template <typename PointT>
int32_t lowest_leftmost(const std::vector<PointT>& points, int32_t n) {
  int32_t best = lower_left(points[n - 1], points[0]) ? n - 1 : 0;
  for (int32_t i = 1; i < n - 1; ++i) {
    if (lower_left(points[i], points[best]))
      best = i;
  }
  return best;
}

template <typename PointT>
void link_ring(const std::vector<PointT>& points, std::vector<vertex_t>& ring) {
  const int32_t n = static_cast<int32_t>(ring.size());
  for (int32_t i = 0; i < n; ++i) {
    ring[i].index = i;
    ring[i].prev = &ring[i == 0 ? n - 1 : i - 1];
    ring[i].next = &ring[i == n - 1 ? 0 : i + 1];
  }
  for (vertex_t& v : ring)
    v.winding = winding_value(points, v);
}

// Fills the reflex list in index order.
inline void collect_reflex(std::vector<vertex_t>& ring, float orientation,
                           std::list<vertex_t*>& reflex) {
  for (vertex_t& v : ring) {
    if (!is_reflex(orientation, v.winding))
      continue;
    v.reflex = true;
    reflex.push_back(&v);
  }
}

// Tests every remaining vertex once, starting at current, and current a second time.
template <typename PointT>
vertex_t* find_ear(const std::vector<PointT>& points, vertex_t* current, int32_t remaining,
                   const std::list<vertex_t*>& reflex) {
  for (int64_t tests = 0; tests <= remaining; ++tests, current = current->next) {
    if (is_ear_tip(points, *current, reflex))
      return current;
  }
  return nullptr;
}

template <typename IndexT>
void write_triangle(std::vector<IndexT>& out, size_t pos, const vertex_t& tip) {
  out[pos] = static_cast<IndexT>(tip.prev->index);
  out[pos + 1] = static_cast<IndexT>(tip.index);
  out[pos + 2] = static_cast<IndexT>(tip.next->index);
}

inline void unlink(vertex_t& v) {
  v.prev->next = v.next;
  v.next->prev = v.prev;
}

// A neighbour of a clipped ear can only turn from reflex to convex; a convex one stays convex, so
// its cached winding is left as it was.
template <typename PointT>
void reclassify(const std::vector<PointT>& points, vertex_t& v, float orientation,
                std::list<vertex_t*>& reflex) {
  if (!v.reflex)
    return;
  v.winding = winding_value(points, v);
  v.reflex = is_reflex(orientation, v.winding);
  if (!v.reflex)
    reflex.remove(&v);
}

// The largest point count whose indices fit both IndexT and the ring's int32 count.
template <typename IndexT>
constexpr uint64_t max_point_count() {
  constexpr uint64_t ring_max = std::numeric_limits<int32_t>::max();
  constexpr uint64_t index_max = std::numeric_limits<IndexT>::max();
  return index_max >= ring_max ? ring_max : index_max + 1;
}

}  // namespace detail

template <typename PointT>
float winding_value(const std::vector<PointT>& points, const vertex_t& v) {
  const PointT& p = points[v.prev->index];
  const PointT& c = points[v.index];
  const PointT& n = points[v.next->index];
  return static_cast<float>((c.x - p.x) * (n.y - c.y) - (c.y - p.y) * (n.x - c.x));
}

namespace detail {

// The containment test with the terms that depend only on the triangle worked out once, for an
// ear weighed against every reflex vertex in turn. The arithmetic, and so every result, is that
// of one call per point.
template <typename PointT>
class containment {
 public:
  containment(const PointT& a, const PointT& b, const PointT& c)
      : a_(a),
        b_(b),
        c_(c),
        area_(static_cast<float>(0.5 *
                                 (-b.y * c.x + a.y * (c.x - b.x) + a.x * (b.y - c.y) + b.x * c.y))),
        sign_(area_ < 0 ? -1.0f : 1.0f),
        s0_(a.y * c.x - a.x * c.y),
        sx_(c.y - a.y),
        sy_(a.x - c.x),
        t0_(a.x * b.y - a.y * b.x),
        tx_(a.y - b.y),
        ty_(b.x - a.x) {}

  bool contains(const PointT& p) const {
    if (p.x == a_.x && p.y == a_.y)
      return false;
    if (p.x == b_.x && p.y == b_.y)
      return false;
    if (p.x == c_.x && p.y == c_.y)
      return false;
    const float s = static_cast<float>(sign_ * (s0_ + sx_ * p.x + sy_ * p.y));
    const float t = static_cast<float>(sign_ * (t0_ + tx_ * p.x + ty_ * p.y));
    if (!(s >= 0) || !(t >= 0))
      return false;
    return (2.0f * area_) * sign_ >= s + t;
  }

 private:
  const PointT& a_;
  const PointT& b_;
  const PointT& c_;
  float area_;
  float sign_;
  // Products of the coordinates' own type, as in the expression written out whole.
  using coordinate = decltype(std::declval<PointT>().x * std::declval<PointT>().y);
  coordinate s0_, sx_, sy_, t0_, tx_, ty_;
};

}  // namespace detail

template <typename PointT>
bool triangle_contains(const PointT& a, const PointT& b, const PointT& c, const PointT& p) {
  return detail::containment<PointT>(a, b, c).contains(p);
}

template <typename PointT>
bool is_ear_tip(const std::vector<PointT>& points, const vertex_t& v,
                const std::list<vertex_t*>& reflex) {
  if (v.reflex)
    return false;
  if (reflex.empty())
    return true;
  const int32_t prev = v.prev->index;
  const int32_t next = v.next->index;
  const detail::containment<PointT> ear(points[prev], points[v.index], points[next]);
  for (const vertex_t* r : reflex) {
    if (r->index == prev || r->index == next)
      continue;
    if (ear.contains(points[r->index]))
      return false;
  }
  return true;
}

template <typename IndexT, typename PointT>
std::vector<IndexT> triangulate(const std::vector<PointT>& points) {
  // A count beyond the index range could not be written out; it fails like a degenerate outline.
  if (points.size() > detail::max_point_count<IndexT>())
    return {};
  const int32_t n = static_cast<int32_t>(points.size());
  if (n < 3)
    return {};
  if (n == 3)
    return {0, 1, 2};

  std::vector<vertex_t> ring(n);
  detail::link_ring(points, ring);
  // The lowest-leftmost vertex of a simple outline is convex, so its turn is the outline's.
  const float orientation = ring[detail::lowest_leftmost(points, n)].winding;
  std::list<vertex_t*> reflex;
  detail::collect_reflex(ring, orientation, reflex);

  std::vector<IndexT> out(3 * static_cast<size_t>(n - 2));
  size_t pos = 0;
  vertex_t* current = &ring[0];
  for (int32_t remaining = n; remaining > 3; --remaining) {
    vertex_t* ear = detail::find_ear(points, current, remaining, reflex);
    if (ear == nullptr)
      return {};
    detail::write_triangle(out, pos, *ear);
    pos += 3;
    detail::unlink(*ear);
    detail::reclassify(points, *ear->prev, orientation, reflex);
    detail::reclassify(points, *ear->next, orientation, reflex);
    current = ear->next;
  }
  detail::write_triangle(out, pos, *current);
  return out;
}

}  // namespace tri
}  // namespace math
