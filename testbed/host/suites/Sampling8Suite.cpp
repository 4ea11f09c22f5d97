// "PF Sampling8 Suite" version 1: sampling 8-bit worlds at 16.16 fixed-point positions.
#include <cstdint>

#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

bool validRequest(PF_ProgPtr effect_ref, const PF_SampPB* params, const PF_Pixel* dst) {
  return effectOf(effect_ref) && params && params->src && params->src->data && dst;
}

A_long nearest(PF_Fixed v, A_long extent) {
  const A_long i = static_cast<A_long>((static_cast<int64_t>(v) + 0x8000) >> 16);
  return i < 0 ? 0 : (i >= extent ? extent - 1 : i);
}

PF_Err nn_sample(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                 PF_Pixel* dst_pixel) {
  TB_ENTER(dst_pixel);
  if (!validRequest(effect_ref, params, dst_pixel))
    return PF_Err_BAD_CALLBACK_PARAM;
  const PF_LayerDef& w = *params->src;
  const auto* row = reinterpret_cast<const char*>(w.data) +
                    static_cast<int64_t>(nearest(y, w.height)) * w.rowbytes;
  *dst_pixel = reinterpret_cast<const PF_Pixel*>(row)[nearest(x, w.width)];
  return PF_Err_NONE;
}

PF_Err subpixel_sample(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                       PF_Pixel* dst_pixel) {
  TB_ENTER(dst_pixel);
  if (!validRequest(effect_ref, params, dst_pixel))
    return PF_Err_BAD_CALLBACK_PARAM;
  return subpixelSample(*params->src, x, y, *dst_pixel) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

// Only the point sample (no radius) is served; a real area average is not modelled.
PF_Err area_sample(PF_ProgPtr effect_ref, PF_Fixed x, PF_Fixed y, const PF_SampPB* params,
                   PF_Pixel* dst_pixel) {
  TB_ENTER(dst_pixel);
  if (!validRequest(effect_ref, params, dst_pixel) || params->x_radius || params->y_radius)
    return PF_Err_BAD_CALLBACK_PARAM;
  return subpixelSample(*params->src, x, y, *dst_pixel) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

const PF_Sampling8Suite1 kSampling8 = {nn_sample, subpixel_sample, area_sample};

}  // namespace

void registerSampling8Suites(SuiteTable& table) {
  table.add(kPFSampling8Suite, kPFSampling8SuiteVersion1, &kSampling8);
}

}  // namespace tb
