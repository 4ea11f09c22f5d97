// A mask outline as the sampler sees it: a number of segments, each measured once and then walked
// by distance. The host's path suites serve it in the effect; tests serve analytic curves.
#pragma once

#include "A.h"

namespace mask {

class MaskOutline {
 public:
  virtual ~MaskOutline() = default;

  // The segments of the outline; 0 when they could not be counted.
  virtual A_long segmentCount() const = 0;

  // Prepares segment s for length queries and gives its length; 0 when it could not be measured.
  // What it holds stays until releaseSegment(s).
  virtual double prepareSegment(A_long s) = 0;

  // The point `distance` along segment s; false when no point could be had.
  virtual bool pointAt(A_long s, double distance, A_FloatPoint* point) = 0;

  virtual void releaseSegment(A_long s) = 0;
};

}  // namespace mask
