// One status per handler: the single place where the rule for chained host calls lives.
//
// A host call runs only while the status is zero and its result becomes the status. A release
// always runs and reports only while the status is still zero. An abort poll asks the host whether
// the user cancelled; its answer becomes the status (aborted() asks only while nothing has failed,
// abortedReplacing() asks always and lets the answer stand in place of an earlier error). Scope
// guards below release every reference a handler obtains, on every path, through release().
#pragma once

#include <utility>

#include "AE_EffectCB.h"
#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"

class HostStatus {
 public:
  explicit HostStatus(PF_InData* in_data) : in_data_(in_data) {}
  HostStatus(const HostStatus&) = delete;
  HostStatus& operator=(const HostStatus&) = delete;

  template <class Call>
  void call(Call&& c) {
    if (err_ == PF_Err_NONE) {
      err_ = static_cast<PF_Err>(c());
      // A host may leave anything in the out-parameter of a call that failed: never release it.
      if (err_ != PF_Err_NONE && forget_)
        forget_(holder_);
    }
    forget_ = nullptr;
  }

  // Names the reference holder that the call in progress fills in (see HostRef::put).
  void fills(void* holder, void (*forget)(void*)) {
    holder_ = holder;
    forget_ = forget;
  }

  template <class Call>
  void release(Call&& c) {
    PF_Err err = static_cast<PF_Err>(c());
    if (err_ == PF_Err_NONE)
      err_ = err;
  }

  // Polls the host while nothing has failed yet; returns true when the handler must stop.
  bool aborted() {
    if (err_ == PF_Err_NONE)
      err_ = PF_ABORT(in_data_);
    return err_ != PF_Err_NONE;
  }

  // Polls the host whatever the status holds, and its answer replaces the status: an error met
  // before the poll is dropped when the user has not cancelled. Renders that must hand on what
  // they could, after a receiver refused a record, poll this way. Returns true on a cancel.
  bool abortedReplacing() {
    err_ = PF_ABORT(in_data_);
    return err_ != PF_Err_NONE;
  }

  // Folds an error from in-memory work into the chain without overwriting an earlier one.
  void fail(PF_Err err) {
    if (err_ == PF_Err_NONE)
      err_ = err;
  }

  bool ok() const { return err_ == PF_Err_NONE; }
  PF_Err err() const { return err_; }
  PF_InData* in_data() const { return in_data_; }

 private:
  PF_InData* in_data_;
  PF_Err err_ = PF_Err_NONE;
  void* holder_ = nullptr;
  void (*forget_)(void*) = nullptr;
};

// Holds one host reference and gives it back when the scope ends.
template <class Handle, class Release>
class HostRef {
 public:
  HostRef(HostStatus& status, Release release) : status_(status), release_(std::move(release)) {}
  ~HostRef() { reset(); }
  HostRef(const HostRef&) = delete;
  HostRef& operator=(const HostRef&) = delete;

  // For the host call that fills the reference in, made through HostStatus::call; an earlier one
  // is released first, and what a failed call leaves is dropped unreleased.
  Handle* put() {
    reset();
    status_.fills(&handle_, [](void* h) { *static_cast<Handle*>(h) = Handle(); });
    return &handle_;
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(); }

  void reset() {
    if (handle_ != Handle()) {
      Handle h = handle_;
      handle_ = Handle();
      status_.release([&] { return release_(h); });
    }
  }

 private:
  HostStatus& status_;
  Release release_;
  Handle handle_ = Handle();
};

template <class Handle>
using ReleaseFn = A_Err (*)(Handle);

// An AEGP effect reference, disposed with the given Effect suite (version 2 or 3).
class EffectRef : public HostRef<AEGP_EffectRefH, ReleaseFn<AEGP_EffectRefH>> {
 public:
  template <class EffectSuite>
  EffectRef(HostStatus& status, const EffectSuite* suite)
      : HostRef(status, suite->AEGP_DisposeEffect) {}
};

class StreamRef : public HostRef<AEGP_StreamRefH, ReleaseFn<AEGP_StreamRefH>> {
 public:
  StreamRef(HostStatus& status, const AEGP_StreamSuite9* suite)
      : HostRef(status, suite->AEGP_DisposeStream) {}
};

class MaskRef : public HostRef<AEGP_MaskRefH, ReleaseFn<AEGP_MaskRefH>> {
 public:
  MaskRef(HostStatus& status, const AEGP_MaskSuite6* suite)
      : HostRef(status, suite->AEGP_DisposeMask) {}
};

// A stream value obtained with AEGP_GetNewStreamValue, disposed when the scope ends.
class StreamValue {
 public:
  StreamValue(HostStatus& status, const AEGP_StreamSuite9* suite)
      : status_(status), suite_(suite) {}
  ~StreamValue() { reset(); }
  StreamValue(const StreamValue&) = delete;
  StreamValue& operator=(const StreamValue&) = delete;

  // Reads the stream's value into this holder, releasing any value it held before.
  void read(AEGP_PluginID plugin_id, AEGP_StreamRefH stream, AEGP_LTimeMode mode,
            const A_Time& time, A_Boolean pre_expression) {
    reset();
    status_.call([&] {
      A_Err err =
          suite_->AEGP_GetNewStreamValue(plugin_id, stream, mode, &time, pre_expression, &value_);
      held_ = err == A_Err_NONE;
      return err;
    });
  }
  bool held() const { return held_; }
  AEGP_StreamValue2& value() { return value_; }

  void reset() {
    if (held_) {
      held_ = false;
      status_.release([&] { return suite_->AEGP_DisposeStreamValue(&value_); });
    }
  }

 private:
  HostStatus& status_;
  const AEGP_StreamSuite9* suite_;
  AEGP_StreamValue2 value_ = {};
  bool held_ = false;
};

// A parameter checked out at a time, checked back in when the scope ends.
class CheckedOutParam {
 public:
  explicit CheckedOutParam(HostStatus& status) : status_(status) {}
  ~CheckedOutParam() { reset(); }
  CheckedOutParam(const CheckedOutParam&) = delete;
  CheckedOutParam& operator=(const CheckedOutParam&) = delete;

  void checkout(PF_ParamIndex index, A_long time, A_long step, A_u_long scale) {
    reset();
    PF_InData* in_data = status_.in_data();
    status_.call([&] {
      PF_Err err = PF_CHECKOUT_PARAM(in_data, index, time, step, scale, &param_);
      held_ = err == PF_Err_NONE;
      return err;
    });
  }
  bool held() const { return held_; }
  PF_ParamDef& param() { return param_; }

  void reset() {
    if (held_) {
      held_ = false;
      PF_InData* in_data = status_.in_data();
      status_.release([&] { return PF_CHECKIN_PARAM(in_data, &param_); });
    }
  }

 private:
  HostStatus& status_;
  PF_ParamDef param_ = {};
  bool held_ = false;
};

// A mask outline checked out at a time, checked back in unchanged when the scope ends.
class CheckedOutPath {
 public:
  CheckedOutPath(HostStatus& status, const PF_PathQuerySuite1* suite)
      : status_(status), suite_(suite) {}
  ~CheckedOutPath() { reset(); }
  CheckedOutPath(const CheckedOutPath&) = delete;
  CheckedOutPath& operator=(const CheckedOutPath&) = delete;

  void checkout(PF_PathID id, A_long time, A_long step, A_u_long scale) {
    reset();
    PF_ProgPtr ref = status_.in_data()->effect_ref;
    status_.call([&] {
      PF_Err err = suite_->PF_CheckoutPath(ref, id, time, step, scale, &path_);
      // What a failed check-out leaves in the out-parameter is not ours to check in.
      if (err == PF_Err_NONE)
        id_ = id;
      else
        path_ = nullptr;
      return err;
    });
  }
  PF_PathOutlinePtr get() const { return path_; }

  void reset() {
    if (path_) {
      PF_PathOutlinePtr path = path_;
      path_ = nullptr;
      PF_ProgPtr ref = status_.in_data()->effect_ref;
      status_.release([&] { return suite_->PF_CheckinPath(ref, id_, false, path); });
    }
  }

 private:
  HostStatus& status_;
  const PF_PathQuerySuite1* suite_;
  PF_PathOutlinePtr path_ = nullptr;
  PF_PathID id_ = 0;
};

// A segment prepared for length queries, cleaned up when the scope ends.
class PreparedSegment {
 public:
  PreparedSegment(HostStatus& status, const PF_PathDataSuite1* suite)
      : status_(status), suite_(suite) {}
  ~PreparedSegment() { reset(); }
  PreparedSegment(const PreparedSegment&) = delete;
  PreparedSegment& operator=(const PreparedSegment&) = delete;

  void prepare(PF_PathOutlinePtr path, PF_PathSegIndex segment, A_long frequency) {
    reset();
    PF_ProgPtr ref = status_.in_data()->effect_ref;
    status_.call([&] {
      PF_Err err = suite_->PF_PathPrepareSegLength(ref, path, segment, frequency, &prep_);
      // What a failed preparation leaves in the out-parameter is not ours to clean up.
      if (err == PF_Err_NONE) {
        path_ = path;
        segment_ = segment;
      } else {
        prep_ = nullptr;
      }
      return err;
    });
  }
  PF_PathSegPrepPtr* get() { return &prep_; }
  explicit operator bool() const { return prep_ != nullptr; }

  void reset() {
    if (prep_) {
      PF_ProgPtr ref = status_.in_data()->effect_ref;
      status_.release(
          [&] { return suite_->PF_PathCleanupSegLength(ref, path_, segment_, &prep_); });
      prep_ = nullptr;
    }
  }

 private:
  HostStatus& status_;
  const PF_PathDataSuite1* suite_;
  PF_PathOutlinePtr path_ = nullptr;
  PF_PathSegIndex segment_ = 0;
  PF_PathSegPrepPtr prep_ = nullptr;
};

// The host's quiet-errors mode for the length of a scope: errors the host meets meanwhile raise no
// dialog. It is ended on every path once it was started, whatever the status holds, so that a
// failure never leaves the host quiet; the quieted errors are dropped.
class QuietErrors {
 public:
  QuietErrors(HostStatus& status, const AEGP_UtilitySuite11* suite)
      : status_(status), suite_(suite) {
    status_.call([&] {
      A_Err err = suite_->AEGP_StartQuietErrors(&state_);
      started_ = err == A_Err_NONE;
      return err;
    });
  }
  ~QuietErrors() {
    if (started_)
      status_.release([&] { return suite_->AEGP_EndQuietErrors(false, &state_); });
  }
  QuietErrors(const QuietErrors&) = delete;
  QuietErrors& operator=(const QuietErrors&) = delete;

 private:
  HostStatus& status_;
  const AEGP_UtilitySuite11* suite_;
  AEGP_ErrReportState state_ = {};
  bool started_ = false;
};
