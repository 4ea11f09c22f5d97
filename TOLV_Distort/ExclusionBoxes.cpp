#include "TOLV_Distort/ExclusionBoxes.h"

#include <cstring>

#include "TOLV_Distort/Distort.h"
#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Distort/OwnPlace.h"
#include "common/MeshSend.h"

namespace {

// The mask effect's "Mesh" popup.
constexpr PF_ParamIndex kMaskMeshParam = 89;
constexpr int kBoxes = 10;

class BoxUpdater {
 public:
  BoxUpdater(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_EffectRefH self)
      : status_(status), suites_(suites), self_(self) {}

  // Changes the box's hidden flag only when it differs, so that an unchanged box is not touched.
  void setHidden(int box, bool hidden) {
    StreamRef stream(status_, suites_.StreamSuite9());
    AEGP_DynStreamFlags flags = 0;
    status_.call([&] {
      return suites_.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(
          pluginID, self_, DistortExcludeParam(box), stream.put());
    });
    status_.call([&] {
      return suites_.DynamicStreamSuite5()->AEGP_GetDynamicStreamFlags(stream.get(), &flags);
    });
    if (status_.ok() && ((flags & AEGP_DynStreamFlag_HIDDEN) != 0) != hidden) {
      status_.call([&] {
        return suites_.DynamicStreamSuite5()->AEGP_SetDynamicStreamFlag(
            stream.get(), AEGP_DynStreamFlag_HIDDEN, false, hidden);
      });
    }
  }

  // The "Mesh" popup of a mask effect, after expressions, at the command's time; 0 when unread.
  A_long maskMesh(AEGP_EffectRefH mask) {
    PF_InData* in_data = status_.in_data();
    StreamRef stream(status_, suites_.StreamSuite9());
    StreamValue value(status_, suites_.StreamSuite9());
    status_.call([&] {
      return suites_.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, mask, kMaskMeshParam,
                                                                    stream.put());
    });
    const A_Time time = {in_data->current_time, in_data->time_scale};
    value.read(pluginID, stream.get(), AEGP_LTimeMode_LayerTime, time, false);
    return value.held() ? static_cast<A_long>(value.value().val.one_d) : 0;
  }

 private:
  HostStatus& status_;
  const AEGP_SuiteHandler& suites_;
  AEGP_EffectRefH self_;
};

// Walks the effects above this one; returns false on a cancel. *shown counts the mask effects met
// whose mesh is On or Off, bounded to the ten boxes: an eleventh mask effect has no box, and the
// parameter after the last box ("Launch:") is never touched.
bool WalkMasksAbove(HostStatus& status, const AEGP_SuiteHandler& suites, const EffectPlace& place,
                    BoxUpdater& boxes, int* shown) {
  const AEGP_EffectSuite2* effects = suites.EffectSuite2();
  for (A_long j = 0; j < place.index && *shown < kBoxes; ++j) {
    EffectRef effect(status, effects);
    status.call([&] {
      return effects->AEGP_GetLayerEffectByIndex(pluginID, place.layer, j, effect.put());
    });
    if (status.abortedReplacing())
      return false;
    if (!effect)
      continue;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(status, effects, effect.get(), name);
    if (std::strcmp(name, kMaskSenderMatchName) != 0)
      continue;
    const A_long mesh = boxes.maskMesh(effect.get());
    if (mesh == MESH_ON || mesh == MESH_OFF)
      boxes.setHidden((*shown)++, mesh == MESH_OFF);
  }
  return true;
}

// Every reference is released when this returns, before the caller reads the status.
void UpdateBoxes(HostStatus& status, const AEGP_SuiteHandler& suites) {
  EffectRef self(status, suites.EffectSuite2());
  EffectPlace place;
  // Without the host's layer, count and index there is nothing known to show or hide by.
  if (!LocateSelf(status, suites, &self, &place) || !place.known)
    return;
  BoxUpdater boxes(status, suites, self.get());
  int shown = 0;
  if (!WalkMasksAbove(status, suites, place, boxes, &shown))
    return;
  for (int d = kBoxes - 1; d >= shown; --d)
    boxes.setHidden(d, true);
}

}  // namespace

PF_Err UpdateExclusionBoxes(PF_InData* in_data, PF_OutData* out_data) {
  (void)out_data;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  UpdateBoxes(status, suites);
  return status.err();
}
