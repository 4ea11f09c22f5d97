// "PF Path Query Suite" version 1: the masks of an effect's layer by path id, and their outlines
// checked out at a time.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

const Mask* maskById(const Layer& layer, PF_PathID id) {
  for (const Mask& mask : layer.masks) {
    if (mask.id == id)
      return &mask;
  }
  return nullptr;
}

// During a downsampled render the outline is in downsampled layer pixels, as the input is.
void downsample(OutlineShape& shape, const FrameContext* frame) {
  if (!frame)
    return;
  const double sx = 1.0 / frame->downsampleX.den;
  const double sy = 1.0 / frame->downsampleY.den;
  for (BezierVertex& v : shape.vertices) {
    for (A_FloatPoint* p : {&v.point, &v.in, &v.out}) {
      p->x *= sx;
      p->y *= sy;
    }
  }
}

PF_Err PF_NumPaths(PF_ProgPtr effect_ref, A_long* num_pathsPL) {
  TB_ENTER(num_pathsPL);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effect->layer || !num_pathsPL)
    return PF_Err_BAD_CALLBACK_PARAM;
  *num_pathsPL = static_cast<A_long>(effect->layer->masks.size());
  return PF_Err_NONE;
}

PF_Err PF_PathInfo(PF_ProgPtr effect_ref, A_long indexL, PF_PathID* unique_idP) {
  TB_ENTER(unique_idP);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effect->layer || !unique_idP || indexL < 0 ||
      static_cast<size_t>(indexL) >= effect->layer->masks.size())
    return PF_Err_BAD_CALLBACK_PARAM;
  *unique_idP = effect->layer->masks[indexL].id;
  return PF_Err_NONE;
}

PF_Err PF_CheckoutPath(PF_ProgPtr effect_ref, PF_PathID unique_id, A_long what_time, A_long,
                       A_u_long time_scale, PF_PathOutlinePtr* pathPP) {
  TB_ENTER(pathPP);
  Effect* effect = effectOf(effect_ref);
  if (!effect || !effect->layer || !pathPP || time_scale == 0)
    return PF_Err_BAD_CALLBACK_PARAM;
  const Mask* mask = maskById(*effect->layer, unique_id);
  if (!mask)
    return PF_Err_BAD_CALLBACK_PARAM;
  Host& host = Host::current();
  OutlineShape shape = shapeAt(mask->outline, static_cast<double>(what_time) / time_scale);
  downsample(shape, host.frame());
  *pathPP = reinterpret_cast<PF_PathOutlinePtr>(
      host.newRef<PathObject>("checked-out path", effect, unique_id, std::move(shape)));
  return PF_Err_NONE;
}

// The testbed does not take changed outlines back: plug-ins only read them.
PF_Err PF_CheckinPath(PF_ProgPtr effect_ref, PF_PathID unique_id, PF_Boolean,
                      PF_PathOutlinePtr pathP) {
  TB_ENTER();
  PathObject* path = resolveToEnd<PathObject>(pathP, "checked-out path");
  if (!effectOf(effect_ref) || !path)
    return PF_Err_BAD_CALLBACK_PARAM;
  if (path->id != unique_id) {
    Host::current().ledger().violation("PF_CheckinPath: not a checked-out path of that id");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  return disposeRefChecked(pathP, "checked-out path") ? PF_Err_BAD_CALLBACK_PARAM : PF_Err_NONE;
}

const PF_PathQuerySuite1 kPathQuery1 = {
    PF_NumPaths,
    PF_PathInfo,
    PF_CheckoutPath,
    PF_CheckinPath,
};

}  // namespace

void registerPathQuerySuites(SuiteTable& table) {
  table.add(kPFPathQuerySuite, kPFPathQuerySuiteVersion1, &kPathQuery1);
}

}  // namespace tb
