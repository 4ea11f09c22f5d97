#include "TOLV_Mask/lights/FollowerLight.h"

#include <cstring>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/OwnEffect.h"
#include "TOLV_Mask/lights/LightLayer.h"
#include "TOLV_Mask/lights/LightName.h"

namespace {

// The first 32-bit word of a layer parameter's value is non-zero when a layer is chosen.
bool LayerChosen(const PF_ParamDef& param) {
  A_long word = 0;
  std::memcpy(&word, &param.u.ld, sizeof word);
  return word != 0;
}

AEGP_LayerH ColourSourceLayer(const ChangeContext& c, AEGP_CompH comp) {
  const A_Time now = {c.in_data->current_time, c.in_data->time_scale};
  StreamRef source(c.status, c.suites.StreamSuite9());
  StreamValue value(c.status, c.suites.StreamSuite9());
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, c.self,
                                                                   MASK_COLOR_SOURCE, source.put());
  });
  value.read(pluginID, source.get(), AEGP_LTimeMode_LayerTime, now, false);
  const AEGP_LayerIDVal id = value.held() ? value.value().val.layer_id : 0;
  return LayerFromId(c, comp, id);
}

void SetLayerFlag(const ChangeContext& c, AEGP_LayerH layer, AEGP_LayerFlags flag, bool on) {
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_SetLayerFlag(layer, flag, on); });
}

}  // namespace

void FollowerLightStep(const ChangeContext& c) {
  if (c.params[MASK_INHERIT_GEOMETRY]->u.bd.value != 1 ||
      !LayerChosen(*c.params[MASK_COLOR_SOURCE]))
    return;
  AEGP_CompH comp = LayerComp(c, EffectLayer(c));
  AEGP_LayerH light = CreateZeroLight(c, comp, kFollowerLightEnding);
  AEGP_LayerH source = ColourSourceLayer(c, comp);
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_SetLayerParent(light, source); });
  SetLayerFlag(c, light, AEGP_LayerFlag_VIDEO_ACTIVE, false);
  SetLayerFlag(c, light, AEGP_LayerFlag_LOCKED, true);
  SetLayerFlag(c, light, AEGP_LayerFlag_SHY, true);
}
