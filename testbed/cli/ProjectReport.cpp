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

const char* lightTypeName(AEGP_LightType type) {
  switch (type) {
    case AEGP_LightType_PARALLEL:
      return "parallel";
    case AEGP_LightType_SPOT:
      return "spot";
    case AEGP_LightType_POINT:
      return "point";
    case AEGP_LightType_AMBIENT:
      return "ambient";
    default:
      return "none";
  }
}

json point3(const A_FloatPoint3& p) {
  return json::array({number(p.x), number(p.y), number(p.z)});
}

// Every keyframe of the position in time order, the time-0 position first when it is one.
json positionKeys(const Layer& layer) {
  json keys = json::array();
  if (layer.positionKeyAtZero)
    keys.push_back(json::array({0, point3(layer.transform.position)}));
  for (const PositionKey& key : layer.transform.positionKeys)
    keys.push_back(json::array({number(key.time), point3(key.value)}));
  return keys;
}

json layerJson(const Host& host, const Layer& layer) {
  json l = {{"name", layer.name}, {"kind", layerKindName(layer.kind)}};
  if (layer.kind == LayerKind::Light)
    l["light"] = {{"type", lightTypeName(layer.lightType)}, {"intensity", number(layer.intensity)}};
  if (const Layer* parent = host.parentOf(layer))
    l["parent"] = parent->name;
  l["video"] = (layer.flags & AEGP_LayerFlag_VIDEO_ACTIVE) != 0;
  l["locked"] = (layer.flags & AEGP_LayerFlag_LOCKED) != 0;
  l["shy"] = (layer.flags & AEGP_LayerFlag_SHY) != 0;
  json keys = positionKeys(layer);
  if (!keys.empty())
    l["keys"] = {{"position", std::move(keys)}};
  json effects = json::array();
  for (const auto& effect : layer.effects)
    effects.push_back(effectJson(host, *effect));
  l["effects"] = std::move(effects);
  return l;
}

}  // namespace

json projectJson(const Host& host) {
  json layers = json::array();
  for (const auto& comp : host.project().comps) {
    for (const auto& layer : comp->layers)
      layers.push_back(layerJson(host, *layer));
  }
  return {{"layers", std::move(layers)}};
}

}  // namespace tb
