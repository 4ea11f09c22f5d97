#include "testbed/host/ParamValues.h"

#include <cstdint>

#include "testbed/host/Module.h"
#include "testbed/host/ParamKeys.h"

namespace tb {

namespace {

// A point's default is a percentage of the layer; the value is in layer pixels, as the host
// shows it. Both are 16.16 fixed point.
PF_Fixed percentToPixels(PF_Fixed percent, A_long extent) {
  return static_cast<PF_Fixed>(static_cast<int64_t>(percent) * extent / 100);
}

void setDefaultValue(PF_ParamDef& param, const Layer* own_layer) {
  PF_ParamDefUnion& u = param.u;
  switch (param.param_type) {
    case PF_Param_SLIDER:
      u.sd.value = u.sd.dephault;
      break;
    case PF_Param_FLOAT_SLIDER:
      u.fs_d.value = u.fs_d.dephault;
      break;
    case PF_Param_ANGLE:
      u.ad.value = u.ad.dephault;
      break;
    case PF_Param_CHECKBOX:
      u.bd.value = u.bd.dephault;
      break;
    case PF_Param_POPUP:
      u.pd.value = u.pd.dephault;
      break;
    case PF_Param_COLOR:
      u.cd.value = u.cd.dephault;
      break;
    case PF_Param_POINT:
      u.td.x_value = percentToPixels(u.td.x_dephault, own_layer ? own_layer->width : 0);
      u.td.y_value = percentToPixels(u.td.y_dephault, own_layer ? own_layer->height : 0);
      break;
    case PF_Param_PATH:
      u.path_d.path_id = 0;
      break;
    case PF_Param_LAYER:
      setLayerValue(param, u.ld.dephault == PF_LayerDefault_MYSELF ? own_layer : nullptr);
      break;
    default:
      break;
  }
}

AEGP_LayerIDVal chosenLayer(const PF_ParamDef& param) {
  return static_cast<AEGP_LayerIDVal>(reinterpret_cast<uintptr_t>(param.u.ld.reserved0));
}

}  // namespace

void setLayerValue(PF_ParamDef& param, const Layer* layer) {
  setLayerIdValue(param, layer ? layer->id : 0);
}

void setLayerIdValue(PF_ParamDef& param, AEGP_LayerIDVal id) {
  const A_long dflt = param.u.ld.dephault;
  param.u.ld = PF_LayerDef{};
  param.u.ld.dephault = dflt;
  param.u.ld.reserved0 = reinterpret_cast<void*>(static_cast<uintptr_t>(id));
}

void downsamplePoint(PF_ParamDef& param, A_long dx, A_long dy) {
  if (param.param_type != PF_Param_POINT || dx < 1 || dy < 1)
    return;
  param.u.td.x_value /= dx;
  param.u.td.y_value /= dy;
}

void initEffectParams(Effect& effect) {
  effect.params = effect.module->paramDefs;
  if (effect.params.empty()) {
    PF_ParamDef input{};
    input.param_type = PF_Param_LAYER;
    effect.params.push_back(input);
  }
  for (PF_ParamDef& param : effect.params)
    setDefaultValue(param, effect.layer);
  setLayerValue(effect.params[0], effect.layer);
  effect.layerIds.assign(effect.params.size(), 0);
  for (size_t i = 0; i < effect.params.size(); ++i) {
    if (effect.params[i].param_type == PF_Param_LAYER)
      effect.layerIds[i] = chosenLayer(effect.params[i]);
  }
  effect.streamFlags.assign(effect.params.size(), 0);
}

std::vector<PF_ParamDef*> paramArray(Effect& effect) {
  std::vector<PF_ParamDef*> array;
  array.reserve(effect.params.size());
  for (PF_ParamDef& param : effect.params)
    array.push_back(&param);
  return array;
}

ParamCopies::ParamCopies(const Effect& effect, double seconds) {
  defs_.reserve(effect.params.size());
  for (size_t i = 0; i < effect.params.size(); ++i)
    defs_.push_back(paramAt(effect, static_cast<int>(i), seconds));
  pointers_.reserve(defs_.size());
  for (PF_ParamDef& param : defs_)
    pointers_.push_back(&param);
}

}  // namespace tb
