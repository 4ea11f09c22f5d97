// Ear clipping of one simple outline (clockwise or counter-clockwise, no holes) into triangles.
//
// The outline is a list of points, point i joined to point i + 1 and the last to the first. The
// ring of remaining vertices is a circular doubly linked list over one array; a separate list holds
// the reflex vertices, the only ones that can block an ear. All four functions are pure.
//
// The templates read only the members x and y (doubles) of the point type. They are instantiated
// in triangulate.cpp for index type int and point type A_FloatPoint; other instantiations include
// triangulate_impl.h.
#pragma once

#include <cstdint>
#include <list>
#include <vector>

#include "A.h"

namespace math {
namespace tri {

// One vertex of the remaining ring.
struct vertex_t {
  vertex_t* prev;
  vertex_t* next;
  int32_t index;  // of this vertex's point in the input list
  float winding;  // cached winding value, refreshed only while the vertex is reflex
  bool reflex;    // classed reflex: cannot be an ear tip
};

// Triangles of the outline as a flat list of point indices, three per triangle, each triangle
// (previous, tip, next) in ring order so that it keeps the outline's winding. A successful run
// gives 3·(n − 2) indices. The result is empty when there are fewer than 3 points, when a full
// circuit of the ring finds no ear (self-intersecting or degenerate outline), or when the point
// count does not fit the index type.
template <typename IndexT, typename PointT>
std::vector<IndexT> triangulate(const std::vector<PointT>& points);

// z of (C − P) × (N − C) for the points of v.prev, v and v.next: positive for a left turn with y
// up, 0 when collinear.
template <typename PointT>
float winding_value(const std::vector<PointT>& points, const vertex_t& v);

// Whether v can be clipped: v is not reflex and no reflex vertex other than its two neighbours lies
// in the triangle (v.prev, v, v.next).
template <typename PointT>
bool is_ear_tip(const std::vector<PointT>& points, const vertex_t& v,
                const std::list<vertex_t*>& reflex);

// Whether p lies in the triangle (a, b, c), edges included. A p equal to a corner is never inside.
template <typename PointT>
bool triangle_contains(const PointT& a, const PointT& b, const PointT& c, const PointT& p);

extern template std::vector<int> triangulate<int, A_FloatPoint>(const std::vector<A_FloatPoint>&);
extern template float winding_value<A_FloatPoint>(const std::vector<A_FloatPoint>&,
                                                  const vertex_t&);
extern template bool is_ear_tip<A_FloatPoint>(const std::vector<A_FloatPoint>&, const vertex_t&,
                                              const std::list<vertex_t*>&);
extern template bool triangle_contains<A_FloatPoint>(const A_FloatPoint&, const A_FloatPoint&,
                                                     const A_FloatPoint&, const A_FloatPoint&);

}  // namespace tri
}  // namespace math
