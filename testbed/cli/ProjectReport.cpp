#include "testbed/cli/ProjectReport.h"

#include <cmath>
#include <optional>

#include "testbed/host/StreamValues.h"

namespace tb {

namespace {

using json = nlohmann::ordered_json;

json maskName(const Layer& layer, PF_PathID id) {
  for (const Mask& mask : layer.masks) {
    if (mask.id == id && id != 0)
      return mask.name;
  }
  return nullptr;
}

json layerName(const Host& host, const Layer& layer, AEGP_LayerIDVal id) {
  const Layer* chosen = host.layerById(*layer.comp, id);
  return chosen ? json(chosen->name) : json(nullptr);
}

// Whole values are written as whole numbers, as a scene file gives sliders, popups and checkboxes.
json number(double v) {
  if (v == std::floor(v) && std::fabs(v) < 1e15)
    return static_cast<long long>(v);
  return v;
}

// Nothing for parameters without a value, such as groups and buttons.
std::optional<json> paramValue(const Host& host, const Effect& effect, int index) {
  const PF_ParamDef& param = effect.params[index];
  if (param.param_type == PF_Param_PATH)
    return maskName(*effect.layer, param.u.path_d.path_id);
  AEGP_StreamVal2 v;
  if (!readStreamValue(effect, index, &v))
    return std::nullopt;
  switch (param.param_type) {
    case PF_Param_LAYER:
      return layerName(host, *effect.layer, v.layer_id);
    case PF_Param_COLOR:
      return json::array({param.u.cd.value.red, param.u.cd.value.green, param.u.cd.value.blue,
                          param.u.cd.value.alpha});
    case PF_Param_POINT:
      return json::array({v.two_d.x, v.two_d.y});
    default:
      return number(v.one_d);
  }
}

json effectJson(const Host& host, const Effect& effect) {
  json params = json::object();
  for (size_t i = 1; i < effect.params.size(); ++i) {
    if (std::optional<json> value = paramValue(host, effect, static_cast<int>(i)))
      params[std::to_string(i)] = std::move(*value);
  }
  return {{"match", effect.module->matchName()}, {"params", std::move(params)}};
}

}  // namespace

json projectJson(const Host& host) {
  json layers = json::array();
  for (const auto& comp : host.project().comps) {
    for (const auto& layer : comp->layers) {
      json effects = json::array();
      for (const auto& effect : layer->effects)
        effects.push_back(effectJson(host, *effect));
      layers.push_back(
          {{"name", layer->name}, {"kind", layerKindName(layer->kind)}, {"effects", effects}});
    }
  }
  return {{"layers", std::move(layers)}};
}

}  // namespace tb
