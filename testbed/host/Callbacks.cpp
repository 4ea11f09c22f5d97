#include "testbed/host/Callbacks.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "testbed/host/CommandNames.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamCheckout.h"
#include "testbed/host/ParamRegistry.h"

namespace tb {

namespace {

Host& host() {
  return Host::current();
}

PF_Err add_param(PF_ProgPtr, PF_ParamIndex index, PF_ParamDefPtr def) {
  TB_ENTER();
  Module* module = host().currentTarget().module;
  if (!module)
    return PF_Err_BAD_CALLBACK_PARAM;
  // Parameters are the module's to add in parameter setup only.
  if (host().ledger().currentCommand() != commandName(PF_Cmd_PARAMS_SETUP)) {
    host().ledger().violation("add_param outside PARAMS_SETUP");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return registerParam(*module, index, def);
}

PF_Err abort_poll(PF_ProgPtr) {
  return host().ledger().poll();
}

PF_Err progress(PF_ProgPtr, A_long, A_long) {
  return host().ledger().poll();
}

PF_Handle host_new_handle(A_u_longlong size) {
  if (host().enterCall(__func__))
    return nullptr;
  return host().newHandle(size);
}

// A handle that is not null and not live (disposed, or never the host's) is a violation of the
// call that was given it, answered like no handle at all.
bool liveOrNoHandle(PF_Handle h, const char* function) {
  if (!h || host().isHandle(h))
    return true;
  host().ledger().violation(std::string(function) + ": not a live handle");
  return false;
}

void* host_lock_handle(PF_Handle h) {
  return liveOrNoHandle(h, __func__) && h ? *h : nullptr;
}

void host_unlock_handle(PF_Handle) {}

// Disposing a handle and asking its size cannot fail, so they are not counted as calls to fail.
void host_dispose_handle(PF_Handle h) {
  host().disposeHandle(h);
}

A_u_longlong host_get_handle_size(PF_Handle h) {
  return liveOrNoHandle(h, __func__) ? host().handleSize(h) : 0;
}

PF_Err host_resize_handle(A_u_longlong size, PF_Handle* h) {
  TB_ENTER();
  if (h && !liveOrNoHandle(*h, __func__))
    return PF_Err_BAD_CALLBACK_PARAM;
  return host().resizeHandle(size, h);
}

A_FpLong ansi_atan(A_FpLong x) {
  return std::atan(x);
}
A_FpLong ansi_atan2(A_FpLong y, A_FpLong x) {
  return std::atan2(y, x);
}
A_FpLong ansi_ceil(A_FpLong x) {
  return std::ceil(x);
}
A_FpLong ansi_cos(A_FpLong x) {
  return std::cos(x);
}
A_FpLong ansi_exp(A_FpLong x) {
  return std::exp(x);
}
A_FpLong ansi_fabs(A_FpLong x) {
  return std::fabs(x);
}
A_FpLong ansi_floor(A_FpLong x) {
  return std::floor(x);
}
A_FpLong ansi_fmod(A_FpLong x, A_FpLong y) {
  return std::fmod(x, y);
}
A_FpLong ansi_hypot(A_FpLong x, A_FpLong y) {
  return std::hypot(x, y);
}
A_FpLong ansi_log(A_FpLong x) {
  return std::log(x);
}
A_FpLong ansi_log10(A_FpLong x) {
  return std::log10(x);
}
A_FpLong ansi_pow(A_FpLong x, A_FpLong y) {
  return std::pow(x, y);
}
A_FpLong ansi_sin(A_FpLong x) {
  return std::sin(x);
}
A_FpLong ansi_sqrt(A_FpLong x) {
  return std::sqrt(x);
}
A_FpLong ansi_tan(A_FpLong x) {
  return std::tan(x);
}
A_FpLong ansi_asin(A_FpLong x) {
  return std::asin(x);
}
A_FpLong ansi_acos(A_FpLong x) {
  return std::acos(x);
}
A_char* ansi_strcpy(A_char* dst, const A_char* src) {
  return std::strcpy(dst, src);
}

PF_UtilCallbacks g_utils = {
    copyWorldCallback,
    host_new_handle,
    host_lock_handle,
    host_unlock_handle,
    host_dispose_handle,
    host_get_handle_size,
    host_resize_handle,
    {ansi_atan, ansi_atan2, ansi_ceil, ansi_cos, ansi_exp, ansi_fabs, ansi_floor, ansi_fmod,
     ansi_hypot, ansi_log, ansi_log10, ansi_pow, ansi_sin, ansi_sqrt, ansi_tan, std::sprintf,
     ansi_strcpy, ansi_asin, ansi_acos},
};

}  // namespace

PF_InteractCallbacks interactCallbacks() {
  return {checkoutParam, checkinParam, add_param, abort_poll, progress};
}

PF_UtilCallbacks* utilCallbacks() {
  return &g_utils;
}

}  // namespace tb
