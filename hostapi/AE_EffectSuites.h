// PF suites, acquired through the basic suite by name and version.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectCB.h"

#define kPFANSISuite "PF ANSI Suite"
#define kPFANSISuiteVersion1 1
#define kPFParamUtilsSuite "PF Param Utils Suite"
#define kPFParamUtilsSuiteVersion3 3
#define kPFPathQuerySuite "PF Path Query Suite"
#define kPFPathQuerySuiteVersion1 1
#define kPFPathDataSuite "PF Path Data Suite"
#define kPFPathDataSuiteVersion1 1
#define kPFSampling8Suite "PF Sampling8 Suite"
#define kPFSampling8SuiteVersion1 1

typedef struct PF_ANSICallbacksSuite1 {
  TOLV_PF_ANSI_FUNCTIONS
} PF_ANSICallbacksSuite1;

typedef struct PF_ParamUtilsSuite3 {
  PF_Err (*PF_UpdateParamUI)(PF_ProgPtr effect_ref, PF_ParamIndex param_index,
                             const PF_ParamDef* defP);
} PF_ParamUtilsSuite3;

typedef struct PF_PathQuerySuite1 {
  PF_Err (*PF_NumPaths)(PF_ProgPtr effect_ref, A_long* num_pathsPL);
  PF_Err (*PF_PathInfo)(PF_ProgPtr effect_ref, A_long indexL, PF_PathID* unique_idP);
  PF_Err (*PF_CheckoutPath)(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time,
                            A_long time_step, A_u_long time_scale, PF_PathOutlinePtr* pathPP);
  PF_Err (*PF_CheckinPath)(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean changedB,
                           PF_PathOutlinePtr pathP);
} PF_PathQuerySuite1;

typedef A_long PF_PathSegIndex;

typedef struct PF_PathDataSuite1 {
  PF_Err (*PF_PathIsOpen)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP, PF_Boolean* openPB);
  PF_Err (*PF_PathNumSegments)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                               A_long* num_segmentsPL);
  PF_Err (*PF_PathPrepareSegLength)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                                    PF_PathSegIndex seg_index, A_long frequency,
                                    PF_PathSegPrepPtr* lengthPrepP);
  PF_Err (*PF_PathGetSegLength)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                                PF_PathSegIndex seg_index, PF_PathSegPrepPtr* lengthPrepP0,
                                PF_FpLong* lengthPF);
  PF_Err (*PF_PathEvalSegLength)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                                 PF_PathSegPrepPtr* lengthPrepPP0, PF_PathSegIndex seg_index,
                                 PF_FpLong length, PF_FpLong* x, PF_FpLong* y);
  PF_Err (*PF_PathCleanupSegLength)(PF_ProgPtr effect_ref, PF_PathOutlinePtr pathP,
                                    PF_PathSegIndex seg_index, PF_PathSegPrepPtr* lengthPrepP);
} PF_PathDataSuite1;

typedef A_long PF_SampleEdgeBehav;

typedef struct {
  PF_Fixed x_radius;
  PF_Fixed y_radius;
  PF_Fixed area;
  PF_EffectWorld* src;
  PF_SampleEdgeBehav samp_behave;
  A_long allow_asynch;
  A_long motion_blur;
  A_long comp_mode;
  PF_PixelPtr mask0;
} PF_SampPB;

typedef struct PF_Sampling8Suite1 {
  PF_Err (*nn_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                      PF_Pixel* dst_pixel);
  PF_Err (*subpixel_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                            PF_Pixel* dst_pixel);
  PF_Err (*area_sample)(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                        PF_Pixel* dst_pixel);
} PF_Sampling8Suite1;
