// Callbacks the host hands an effect in PF_InData, and the macros through which effects call them.
#pragma once

#include "AE_Effect.h"

// The C library functions the host hands out, in the host's order; the ANSI callbacks of
// PF_InData and "PF ANSI Suite" share them.
#define TOLV_PF_ANSI_FUNCTIONS                                \
  A_FpLong (*atan)(A_FpLong);                                 \
  A_FpLong (*atan2)(A_FpLong y, A_FpLong x);                  \
  A_FpLong (*ceil)(A_FpLong);                                 \
  A_FpLong (*cos)(A_FpLong);                                  \
  A_FpLong (*exp)(A_FpLong);                                  \
  A_FpLong (*fabs)(A_FpLong);                                 \
  A_FpLong (*floor)(A_FpLong);                                \
  A_FpLong (*fmod)(A_FpLong x, A_FpLong y);                   \
  A_FpLong (*hypot)(A_FpLong x, A_FpLong y);                  \
  A_FpLong (*log)(A_FpLong);                                  \
  A_FpLong (*log10)(A_FpLong);                                \
  A_FpLong (*pow)(A_FpLong x, A_FpLong y);                    \
  A_FpLong (*sin)(A_FpLong);                                  \
  A_FpLong (*sqrt)(A_FpLong);                                 \
  A_FpLong (*tan)(A_FpLong);                                  \
  int (*sprintf)(A_char * buffer, const A_char* format, ...); \
  A_char* (*strcpy)(A_char * dest, const A_char* src);        \
  A_FpLong (*asin)(A_FpLong);                                 \
  A_FpLong (*acos)(A_FpLong);

typedef struct {
  TOLV_PF_ANSI_FUNCTIONS
} PF_ANSICallbacks;

typedef struct _PF_UtilCallbacks {
  PF_Err (*copy)(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
                 PF_Rect* dst_r);
  PF_Handle (*host_new_handle)(A_u_longlong size);
  void* (*host_lock_handle)(PF_Handle pf_handle);
  void (*host_unlock_handle)(PF_Handle pf_handle);
  void (*host_dispose_handle)(PF_Handle pf_handle);
  A_u_longlong (*host_get_handle_size)(PF_Handle pf_handle);
  PF_Err (*host_resize_handle)(A_u_longlong new_sizeL, PF_Handle* handlePH);
  PF_ANSICallbacks ansi;
} PF_UtilCallbacks;

#define PF_ABORT(IN_DATA) (*(IN_DATA)->inter.abort)((IN_DATA)->effect_ref)
#define PF_PROGRESS(IN_DATA, CURR, TOTAL) \
  (*(IN_DATA)->inter.progress)((IN_DATA)->effect_ref, (CURR), (TOTAL))
#define PF_ADD_PARAM(IN_DATA, INDEX, DEF) \
  (*(IN_DATA)->inter.add_param)((IN_DATA)->effect_ref, (INDEX), (DEF))
#define PF_CHECKOUT_PARAM(IN_DATA, IDX, TIME, STEP, SCALE, PARAM) \
  (*(IN_DATA)->inter.checkout_param)((IN_DATA)->effect_ref, (IDX), (TIME), (STEP), (SCALE), (PARAM))
#define PF_CHECKIN_PARAM(IN_DATA, PARAM) \
  (*(IN_DATA)->inter.checkin_param)((IN_DATA)->effect_ref, (PARAM))
// Like the host's own macro, PF_COPY takes its PF_InData from the caller's scope.
#define PF_COPY(SRC, DST, SRC_RECT, DST_RECT) \
  (*in_data->utils->copy)(in_data->effect_ref, (SRC), (DST), (SRC_RECT), (DST_RECT))
#define PF_NEW_HANDLE(SIZE) (*in_data->utils->host_new_handle)(SIZE)
#define PF_DISPOSE_HANDLE(H) (*in_data->utils->host_dispose_handle)(H)
#define PF_GET_HANDLE_SIZE(H) (*in_data->utils->host_get_handle_size)(H)
#define PF_RESIZE_HANDLE(SIZE, HP) (*in_data->utils->host_resize_handle)((SIZE), (HP))
#define PF_STRCPY(DST, SRC) (*in_data->utils->ansi.strcpy)((DST), (SRC))
