#include "TOLV_Mask/render/HostOutline.h"

namespace mask {

namespace {

// The resolution at which the host measures a segment.
constexpr A_long kLengthFrequency = 100;

}  // namespace

HostOutline::HostOutline(HostStatus& status, const AEGP_SuiteHandler& suites)
    : status_(status),
      data_(suites.PathDataSuite1()),
      path_(status, suites.PathQuerySuite1()),
      prepared_(status, suites.PathDataSuite1()) {}

void HostOutline::checkout(PF_PathID id, A_long time) {
  PF_InData* in_data = status_.in_data();
  prepared_.reset();
  segments_ = 0;
  path_.checkout(id, time, in_data->time_step, in_data->time_scale);
  A_long segments = 0;
  status_.call(
      [&] { return data_->PF_PathNumSegments(in_data->effect_ref, path_.get(), &segments); });
  if (status_.ok() && segments > 0)
    segments_ = segments;
}

double HostOutline::prepareSegment(A_long s) {
  PF_ProgPtr effect_ref = status_.in_data()->effect_ref;
  prepared_.prepare(path_.get(), s, kLengthFrequency);
  double length = 0;
  status_.call([&] {
    return data_->PF_PathGetSegLength(effect_ref, path_.get(), s, prepared_.get(), &length);
  });
  return status_.ok() ? length : 0.0;
}

bool HostOutline::pointAt(A_long s, double distance, A_FloatPoint* point) {
  PF_ProgPtr effect_ref = status_.in_data()->effect_ref;
  bool served = false;
  status_.call([&] {
    PF_Err err = data_->PF_PathEvalSegLength(effect_ref, path_.get(), prepared_.get(), s, distance,
                                             &point->x, &point->y);
    served = err == PF_Err_NONE;
    return err;
  });
  return served;
}

void HostOutline::releaseSegment(A_long) {
  prepared_.reset();
}

}  // namespace mask
