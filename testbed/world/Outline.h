// Mask outlines: Bézier vertices with tangents relative to their vertex, open or closed, possibly
// keyframed, and the length queries the path-data suite answers on one segment.
#pragma once

#include <cstddef>
#include <vector>

#include "A.h"

namespace tb {

struct BezierVertex {
  A_FloatPoint point{0, 0};
  A_FloatPoint in{0, 0};   // tangent towards the previous vertex, relative to `point`
  A_FloatPoint out{0, 0};  // tangent towards the next vertex, relative to `point`
};

struct OutlineShape {
  std::vector<BezierVertex> vertices;
  bool closed = true;
};

struct OutlineKey {
  double time = 0;  // seconds of composition time, > 0
  OutlineShape shape;
};

// The top-level shape holds at time 0; keys, in increasing time, animate it. Between two keys
// with the same vertex count the shapes are blended linearly; before the first key and after
// the last the nearest shape holds.
struct Outline {
  OutlineShape shape;
  std::vector<OutlineKey> keys;
};

OutlineShape shapeAt(const Outline& outline, double seconds);

// A closed shape of n vertices has n segments (the last closes back to the first), an open one
// n − 1; a shape without vertices has none.
std::size_t segmentCount(const OutlineShape& shape);

struct BezierSegment {
  A_FloatPoint p0, c0, c1, p1;  // absolute control points
};

// Segment `index` < segmentCount(shape).
BezierSegment segmentOf(const OutlineShape& shape, std::size_t index);

A_FloatPoint bezierPoint(const BezierSegment& seg, double t);

// A segment prepared for length queries. The curve is measured as a polyline of `frequency`
// chords (clamped to 1 … kMaxFrequency, so a bad frequency neither divides by zero nor asks for
// unbounded memory); a straight segment (both tangents zero) is measured and walked exactly.
class SegmentLengths {
 public:
  static constexpr long kMaxFrequency = 100000;

  SegmentLengths(const BezierSegment& seg, long frequency);

  double length() const { return cumulative_.back(); }

  // The point `distance` along the segment; distances outside 0 … length() give its ends.
  A_FloatPoint pointAt(double distance) const;

 private:
  BezierSegment seg_;
  bool straight_;
  std::vector<double> cumulative_;  // length up to chord end i; cumulative_[0] = 0
};

}  // namespace tb
