// The host's quiet-errors mode for the length of a scope: host errors met meanwhile raise no
// dialogs. The mode is started only while nothing has failed, and ended, without reporting what
// was quieted, whenever it was started.
#pragma once

#include "AE_GeneralPlug.h"
#include "common/HostStatus.h"

class QuietErrors {
 public:
  QuietErrors(HostStatus& status, const AEGP_UtilitySuite11* utility)
      : status_(status), utility_(utility) {
    status_.call([&] {
      A_Err err = utility_->AEGP_StartQuietErrors(&state_);
      started_ = err == A_Err_NONE;
      return err;
    });
  }
  ~QuietErrors() {
    if (started_)
      status_.release([&] { return utility_->AEGP_EndQuietErrors(false, &state_); });
  }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  HostStatus& status_;
  const AEGP_UtilitySuite11* utility_;
  AEGP_ErrReportState state_ = {};
  bool started_ = false;
};
