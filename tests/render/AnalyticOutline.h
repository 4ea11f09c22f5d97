// An outline of straight segments for the sampler, measured exactly, that records what the sampler
// asks of it and can refuse points from a chosen one on, as a failing host would.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "TOLV_Mask/render/MaskOutline.h"

namespace rtest {

class PolylineOutline : public mask::MaskOutline {
 public:
  PolylineOutline(std::vector<A_FloatPoint> points, bool closed)
      : points_(std::move(points)), closed_(closed) {}

  A_long segmentCount() const override {
    const A_long n = static_cast<A_long>(points_.size());
    if (n < 2)
      return 0;
    return closed_ ? n : n - 1;
  }
  double prepareSegment(A_long s) override {
    ++prepared_;
    held_.push_back(s);
    return length(s);
  }
  bool pointAt(A_long s, double distance, A_FloatPoint* point) override {
    if (failFrom_ >= 0 && static_cast<int>(asked.size()) >= failFrom_)
      return false;
    asked.push_back({s, distance});
    const A_FloatPoint a = start(s);
    const A_FloatPoint b = end(s);
    const double f = distance / length(s);
    *point = {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
    return true;
  }
  void releaseSegment(A_long s) override {
    for (auto it = held_.begin(); it != held_.end(); ++it) {
      if (*it == s) {
        held_.erase(it);
        return;
      }
    }
    ++strayReleases_;
  }

  double length(A_long s) const {
    const A_FloatPoint a = start(s);
    const A_FloatPoint b = end(s);
    return std::hypot(b.x - a.x, b.y - a.y);
  }
  // Points asked for from the n-th on are refused.
  void failFrom(int n) { failFrom_ = n; }
  // Samples asked of segment s.
  int samplesIn(A_long s) const {
    int n = 0;
    for (const auto& a : asked)
      n += a.first == s;
    return n;
  }
  bool balanced() const { return held_.empty() && strayReleases_ == 0; }
  int prepared() const { return prepared_; }

  std::vector<std::pair<A_long, double>> asked;  // (segment, distance) in order

 private:
  A_FloatPoint start(A_long s) const { return points_[s]; }
  A_FloatPoint end(A_long s) const { return points_[(s + 1) % points_.size()]; }

  std::vector<A_FloatPoint> points_;
  bool closed_;
  std::vector<A_long> held_;
  int prepared_ = 0;
  int strayReleases_ = 0;
  int failFrom_ = -1;
};

}  // namespace rtest
