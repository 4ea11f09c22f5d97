#include "TOLV_Mask/render/MaskSelection.h"

#include <algorithm>

namespace mask {

namespace {

// The index of the layer's first mask whose path id is `id`, or −1. Every mask handle is disposed
// before the next one is taken.
A_long FindMask(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                PF_PathID id) {
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;
  for (A_long j = 0; j < context.numMasks && status.ok(); ++j) {
    MaskRef mask(status, suites.MaskSuite6());
    PF_PathID found = 0;
    status.call([&] {
      return suites.MaskSuite6()->AEGP_GetLayerMaskByIndex(context.layer, j, mask.put());
    });
    status.call([&] { return suites.PathQuerySuite1()->PF_PathInfo(effect_ref, j, &found); });
    if (status.ok() && found == id)
      return j;
  }
  return -1;
}

// The segments of the mask's outline at the current time; 0 when they could not be counted.
A_long SegmentsNow(HostStatus& status, const AEGP_SuiteHandler& suites, PF_PathID id) {
  PF_InData* in_data = status.in_data();
  CheckedOutPath path(status, suites.PathQuerySuite1());
  path.checkout(id, in_data->current_time, in_data->time_step, in_data->time_scale);
  A_long segments = 0;
  status.call([&] {
    return suites.PathDataSuite1()->PF_PathNumSegments(in_data->effect_ref, path.get(), &segments);
  });
  return status.ok() ? std::max<A_long>(segments, 0) : 0;
}

}  // namespace

void SelectMasks(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                 const RenderParams& params, RenderState& state) {
  state.maskCount = 0;
  state.maxSegments = 1;
  for (int k = 0; k < kMaxMasks; ++k) {
    const PF_PathID id = params.maskPath[k];
    if (id == 0)
      break;
    if (FindMask(status, suites, context, id) < 0)
      continue;
    state.maxSegments = std::max(state.maxSegments, SegmentsNow(status, suites, id));
    const PF_PathID reference = params.referencePath[k];
    if (params.referenceSampling == kReferenceMaskAtCurrentTime && reference != 0 &&
        FindMask(status, suites, context, reference) >= 0)
      state.referencePathId[state.maskCount] = static_cast<A_u_long>(reference);
    state.maskPathId[state.maskCount] = static_cast<A_u_long>(id);
    ++state.maskCount;
  }
}

}  // namespace mask
