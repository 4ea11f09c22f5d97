#include "testbed/host/StreamValues.h"

#include <cmath>
#include <cstdint>

#include "testbed/host/ParamKeys.h"
#include "testbed/host/ParamValues.h"

namespace tb {

namespace {

constexpr double kFixedOne = 65536.0;

A_u_char toByte(double fraction) {
  double v = std::round(fraction * 255.0);
  return static_cast<A_u_char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

A_long toFixed(double v) {
  return static_cast<A_long>(std::lround(v * kFixedOne));
}

bool keyed(const Effect& effect, int index) {
  return static_cast<size_t>(index) < effect.keys.size() && !effect.keys[index].empty();
}

AEGP_LayerIDVal chosenLayerId(const Effect& effect, int index, const PF_ParamDef& p) {
  if (index == 0)
    return effect.layer ? effect.layer->id : 0;
  if (keyed(effect, index))
    return static_cast<AEGP_LayerIDVal>(reinterpret_cast<uintptr_t>(p.u.ld.reserved0));
  return effect.layerIds[index];
}

}  // namespace

bool readStreamValue(const Effect& effect, int index, AEGP_StreamVal2* value) {
  return readStreamValue(effect, index, currentLayerSeconds(effect), value);
}

bool readStreamValue(const Effect& effect, int index, double seconds, AEGP_StreamVal2* value) {
  const PF_ParamDef p = paramAt(effect, index, seconds);
  *value = {};
  switch (p.param_type) {
    case PF_Param_LAYER:
      value->layer_id = chosenLayerId(effect, index, p);
      return true;
    case PF_Param_SLIDER:
      value->one_d = p.u.sd.value;
      return true;
    case PF_Param_FIX_SLIDER:
      value->one_d = p.u.sd.value / kFixedOne;
      return true;
    case PF_Param_FLOAT_SLIDER:
      value->one_d = p.u.fs_d.value;
      return true;
    case PF_Param_ANGLE:
      value->one_d = p.u.ad.value / kFixedOne;
      return true;
    case PF_Param_CHECKBOX:
      value->one_d = p.u.bd.value;
      return true;
    case PF_Param_POPUP:
      value->one_d = p.u.pd.value;
      return true;
    case PF_Param_COLOR:
      value->color = {p.u.cd.value.alpha / 255.0, p.u.cd.value.red / 255.0,
                      p.u.cd.value.green / 255.0, p.u.cd.value.blue / 255.0};
      return true;
    case PF_Param_POINT:
      value->two_d = {p.u.td.x_value / kFixedOne, p.u.td.y_value / kFixedOne};
      return true;
    default:
      return false;
  }
}

bool writeStreamValue(Effect& effect, int index, const AEGP_StreamVal2& value) {
  PF_ParamDef& p = effect.params[index];
  if (p.param_type == PF_Param_LAYER && index == 0)
    return false;  // the input layer is not the plug-in's to choose
  if (keyed(effect, index)) {
    p = paramAt(effect, index, currentLayerSeconds(effect));
    effect.keys[index].clear();
  }
  switch (p.param_type) {
    case PF_Param_LAYER:
      effect.layerIds[index] = value.layer_id;
      setLayerIdValue(p, value.layer_id);
      return true;
    case PF_Param_SLIDER:
      p.u.sd.value = static_cast<A_long>(std::lround(value.one_d));
      return true;
    case PF_Param_FIX_SLIDER:
      p.u.sd.value = toFixed(value.one_d);
      return true;
    case PF_Param_FLOAT_SLIDER:
      p.u.fs_d.value = value.one_d;
      return true;
    case PF_Param_ANGLE:
      p.u.ad.value = toFixed(value.one_d);
      return true;
    case PF_Param_CHECKBOX:
      p.u.bd.value = value.one_d != 0;
      return true;
    case PF_Param_POPUP:
      p.u.pd.value = static_cast<A_long>(std::lround(value.one_d));
      return true;
    case PF_Param_COLOR:
      p.u.cd.value = {toByte(value.color.alphaF), toByte(value.color.redF),
                      toByte(value.color.greenF), toByte(value.color.blueF)};
      return true;
    case PF_Param_POINT:
      p.u.td.x_value = toFixed(value.two_d.x);
      p.u.td.y_value = toFixed(value.two_d.y);
      return true;
    default:
      return false;
  }
}

}  // namespace tb
