#include "TOLV_Mask/actions/SourceMirroring.h"

#include <cstring>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "common/EffectPlace.h"
#include "common/MeshSend.h"

namespace {

constexpr PF_ParamIndex kRendererColourSourceFirst = 19;
constexpr PF_ParamIndex kRendererBumpSourceFirst = 29;
// The renderer has one colour and one bump source per slot.
constexpr A_long kRendererSlots = 10;

bool IsMirroredSource(const ChangeContext& c, PF_ParamIndex index) {
  return (index == MASK_COLOR_SOURCE || index == MASK_BUMP_SOURCE) &&
         c.params[index]->param_type == PF_Param_LAYER && alreadyRendered != 0;
}

// Writes the value of this effect's stream index into parameter target of the renderer.
void CopySource(const ChangeContext& c, PF_ParamIndex index, AEGP_EffectRefH renderer,
                PF_ParamIndex target) {
  const AEGP_StreamSuite9* streams = c.suites.StreamSuite9();
  StreamRef own(c.status, streams);
  StreamRef theirs(c.status, streams);
  StreamValue value(c.status, streams);
  c.status.call(
      [&] { return streams->AEGP_GetNewEffectStreamByIndex(pluginID, c.self, index, own.put()); });
  value.read(pluginID, own.get(), AEGP_LTimeMode_LayerTime, A_Time{0, 1}, false);
  c.status.call([&] {
    return streams->AEGP_GetNewEffectStreamByIndex(pluginID, renderer, target, theirs.put());
  });
  if (theirs)
    c.status.call(
        [&] { return streams->AEGP_SetStreamValue(pluginID, theirs.get(), &value.value()); });
}

}  // namespace

bool MirrorSource(const ChangeContext& c, PF_ParamIndex index) {
  if (!IsMirroredSource(c, index))
    return false;
  EffectPlace place;
  LocateLayer(c.status, c.suites, &place);
  LocateOwnIndex(c.status, c.suites, pluginID, c.self, &place);
  if (c.status.aborted() || !place.known)
    return c.status.err() != PF_Err_NONE;
  A_long slot = -1;
  for (A_long j = 0; j < place.count; ++j) {
    EffectRef effect(c.status, c.suites.EffectSuite3());
    c.status.call([&] {
      return c.suites.EffectSuite3()->AEGP_GetLayerEffectByIndex(pluginID, place.layer, j,
                                                                 effect.put());
    });
    if (c.status.aborted())
      return true;
    if (!effect)
      continue;
    A_char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
    ReadMatchName(c.status, c.suites.EffectSuite2(), effect.get(), name);
    if (std::strcmp(name, kEngineMatchName) == 0) {
      // Above every mask effect (-1) or past the renderer's ten slots there is no parameter of
      // this effect's own to write.
      const PF_ParamIndex first =
          index == MASK_COLOR_SOURCE ? kRendererColourSourceFirst : kRendererBumpSourceFirst;
      if (slot >= 0 && slot < kRendererSlots)
        CopySource(c, index, effect.get(), first + slot);
      return c.status.aborted();
    }
    if (std::strcmp(name, kMaskMatchName) == 0 && j <= place.index)
      ++slot;
  }
  return false;
}
