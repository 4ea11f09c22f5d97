// A mask outline checked out of the host and walked with the path data suite. The outline is
// checked back in, unchanged, and every prepared segment released when the object goes.
#pragma once

#include "TOLV_Mask/render/MaskOutline.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace mask {

class HostOutline : public MaskOutline {
 public:
  HostOutline(HostStatus& status, const AEGP_SuiteHandler& suites);

  // Checks the mask's outline out at `time` (the call's time step and scale) and counts its
  // segments.
  void checkout(PF_PathID id, A_long time);

  A_long segmentCount() const override { return segments_; }
  double prepareSegment(A_long s) override;
  bool pointAt(A_long s, double distance, A_FloatPoint* point) override;
  void releaseSegment(A_long s) override;

 private:
  HostStatus& status_;
  const PF_PathDataSuite1* data_;
  // Declared before the prepared segment, so that the segment is released before the check-in.
  CheckedOutPath path_;
  PreparedSegment prepared_;
  A_long segments_ = 0;
};

}  // namespace mask
