#include "TOLV_Mask/actions/MaskRows.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/actions/OwnEffect.h"

namespace {

constexpr A_long kReferenceMaskAtCurrentTime = 3;

bool ReferenceMasksSampled(const ChangeContext& c) {
  return c.params[MASK_REFERENCE_SAMPLING]->u.pd.value == kReferenceMaskAtCurrentTime;
}

// True when one of the layer's masks has the path id.
bool MaskExists(const ChangeContext& c, AEGP_LayerH layer, A_long numMasks, PF_PathID id) {
  for (A_long m = 0; m < numMasks && c.status.ok(); ++m) {
    MaskRef mask(c.status, c.suites.MaskSuite6());
    c.status.call(
        [&] { return c.suites.MaskSuite6()->AEGP_GetLayerMaskByIndex(layer, m, mask.put()); });
    if (!mask)
      continue;
    PF_PathID maskId = 0;
    c.status.call(
        [&] { return c.suites.PathQuerySuite1()->PF_PathInfo(c.in_data->effect_ref, m, &maskId); });
    if (c.status.ok() && maskId == id)
      return true;
  }
  return false;
}

void SetRowHidden(const ChangeContext& c, A_long row, bool hidden) {
  for (PF_ParamIndex index = MaskPathParam(row); index <= MaskRotationZParam(row); ++index)
    SetParamHidden(c, index, hidden);
}

}  // namespace

void HideUnusedReferenceMasks(const ChangeContext& c) {
  if (ReferenceMasksSampled(c))
    return;
  for (A_long i = 1; i <= kMaskRows; ++i)
    HideParamUnlessHidden(c, ReferenceMaskParam(i));
}

A_long CountRowsInUse(const ChangeContext& c) {
  AEGP_LayerH layer = EffectLayer(c);
  A_long numMasks = 0;
  c.status.call([&] { return c.suites.MaskSuite6()->AEGP_GetLayerNumMasks(layer, &numMasks); });
  if (!c.status.ok())
    numMasks = 0;
  A_long count = 0;
  for (A_long i = 1; i <= kMaskRows; ++i) {
    const PF_PathID id = c.params[MaskPathParam(i)]->u.path_d.path_id;
    if (id == 0)
      break;
    if (MaskExists(c, layer, numMasks, id))
      ++count;
  }
  return count;
}

void RowPass(const ChangeContext& c, A_long rowsInUse, PathLight& light) {
  const bool referencesSampled = ReferenceMasksSampled(c);
  for (A_long i = 1; i <= kMaskRows; ++i) {
    const bool pathHidden = IsParamHidden(c, MaskPathParam(i));
    if (i <= rowsInUse && light.created)
      KeyPathLightRow(c, light, i, rowsInUse);
    const bool shown = i <= rowsInUse + 1;
    if (pathHidden == shown)
      SetRowHidden(c, i, !shown);
    if (referencesSampled) {
      if (shown)
        ShowParamIfHidden(c, ReferenceMaskParam(i));
      else
        HideParamUnlessHidden(c, ReferenceMaskParam(i));
    }
  }
}
