#include "testbed/world/Outline.h"

#include <algorithm>
#include <cmath>

namespace tb {
namespace {

A_FloatPoint lerp(A_FloatPoint a, A_FloatPoint b, double t) {
  return A_FloatPoint{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

A_FloatPoint add(A_FloatPoint a, A_FloatPoint b) {
  return A_FloatPoint{a.x + b.x, a.y + b.y};
}

double distance(A_FloatPoint a, A_FloatPoint b) {
  return std::hypot(b.x - a.x, b.y - a.y);
}

bool isZero(A_FloatPoint p) {
  return p.x == 0.0 && p.y == 0.0;
}

OutlineShape blend(const OutlineShape& a, const OutlineShape& b, double t) {
  OutlineShape out = a;
  for (std::size_t i = 0; i < out.vertices.size(); ++i) {
    const BezierVertex& va = a.vertices[i];
    const BezierVertex& vb = b.vertices[i];
    out.vertices[i] =
        BezierVertex{lerp(va.point, vb.point, t), lerp(va.in, vb.in, t), lerp(va.out, vb.out, t)};
  }
  return out;
}

}  // namespace

OutlineShape shapeAt(const Outline& outline, double seconds) {
  const OutlineShape* before = &outline.shape;
  double beforeTime = 0.0;
  for (const OutlineKey& key : outline.keys) {
    if (seconds < key.time) {
      if (seconds <= beforeTime || key.shape.vertices.size() != before->vertices.size()) {
        return *before;
      }
      return blend(*before, key.shape, (seconds - beforeTime) / (key.time - beforeTime));
    }
    before = &key.shape;
    beforeTime = key.time;
  }
  return *before;
}

std::size_t segmentCount(const OutlineShape& shape) {
  const std::size_t n = shape.vertices.size();
  if (n == 0) {
    return 0;
  }
  return shape.closed ? n : n - 1;
}

BezierSegment segmentOf(const OutlineShape& shape, std::size_t index) {
  const BezierVertex& a = shape.vertices[index];
  const BezierVertex& b = shape.vertices[(index + 1) % shape.vertices.size()];
  return BezierSegment{a.point, add(a.point, a.out), add(b.point, b.in), b.point};
}

A_FloatPoint bezierPoint(const BezierSegment& seg, double t) {
  // de Casteljau: stable at both ends and exact at t = 0 and t = 1.
  const A_FloatPoint a = lerp(seg.p0, seg.c0, t);
  const A_FloatPoint b = lerp(seg.c0, seg.c1, t);
  const A_FloatPoint c = lerp(seg.c1, seg.p1, t);
  return lerp(lerp(a, b, t), lerp(b, c, t), t);
}

SegmentLengths::SegmentLengths(const BezierSegment& seg, long frequency)
    : seg_(seg),
      straight_(isZero(A_FloatPoint{seg.c0.x - seg.p0.x, seg.c0.y - seg.p0.y}) &&
                isZero(A_FloatPoint{seg.c1.x - seg.p1.x, seg.c1.y - seg.p1.y})) {
  if (straight_) {
    cumulative_ = {0.0, distance(seg.p0, seg.p1)};
    return;
  }
  const long chords = std::clamp(frequency, 1L, kMaxFrequency);
  cumulative_.reserve(chords + 1);
  cumulative_.push_back(0.0);
  A_FloatPoint previous = seg.p0;
  for (long i = 1; i <= chords; ++i) {
    const A_FloatPoint next = bezierPoint(seg, static_cast<double>(i) / chords);
    cumulative_.push_back(cumulative_.back() + distance(previous, next));
    previous = next;
  }
}

A_FloatPoint SegmentLengths::pointAt(double distance) const {
  const double total = length();
  if (!(distance > 0.0) || total == 0.0) {
    return seg_.p0;
  }
  if (distance >= total) {
    return seg_.p1;
  }
  if (straight_) {
    return lerp(seg_.p0, seg_.p1, distance / total);
  }
  // The chord holding the distance, then the parameter in proportion along that chord.
  const auto upper = std::upper_bound(cumulative_.begin(), cumulative_.end(), distance);
  const std::size_t chord = static_cast<std::size_t>(upper - cumulative_.begin()) - 1;
  const double chordLength = cumulative_[chord + 1] - cumulative_[chord];
  const double within = chordLength > 0.0 ? (distance - cumulative_[chord]) / chordLength : 0.0;
  const double chords = static_cast<double>(cumulative_.size() - 1);
  return bezierPoint(seg_, (chord + within) / chords);
}

}  // namespace tb
