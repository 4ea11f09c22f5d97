#include "testbed/scene/SceneBuild.h"

#include <cmath>
#include <tuple>

#include "testbed/host/HostError.h"
#include "testbed/host/ParamValues.h"
#include "testbed/platform/SharedLibrary.h"
#include "testbed/world/Time.h"

namespace tb::scene {

namespace {

const char* typeName(PF_ParamType type) {
  switch (type) {
    case PF_Param_LAYER:
      return "layer";
    case PF_Param_SLIDER:
      return "slider";
    case PF_Param_FIX_SLIDER:
      return "fixed slider";
    case PF_Param_ANGLE:
      return "angle";
    case PF_Param_CHECKBOX:
      return "checkbox";
    case PF_Param_COLOR:
      return "colour";
    case PF_Param_POINT:
      return "point";
    case PF_Param_POPUP:
      return "popup";
    case PF_Param_FLOAT_SLIDER:
      return "float slider";
    case PF_Param_PATH:
      return "path";
    default:
      return "control without a value";
  }
}

// The modules this project builds, by the match name of their effect.
const char* projectModule(const std::string& match) {
  static const std::pair<const char*, const char*> modules[] = {
      {"ZEK TOLV_Mask", "TOLV_Mask"},
      {"ZEK TOLV_Distort", "TOLV_Distort"},
      {"ZEK TOLV_Engine", "TOLV_Engine"}};
  for (const auto& [name, file] : modules) {
    if (match == name)
      return file;
  }
  return nullptr;
}

// An effect of this project whose module is not loaded was not built; any other name is
// most likely mistyped, so the names that would work are listed.
std::string missingEffect(const Host& host, const std::string& match) {
  if (const char* file = projectModule(match))
    return std::string("the effect \"") + match + "\" comes from " + file +
           platform::kModuleSuffix +
           ", which is not loaded: build it (cmake --build --preset default) so that it sits in "
           "the plugins/ folder beside tolv-testbed";
  std::string loaded;
  for (const auto& module : host.modules()) {
    if (!module->matchName().empty())
      loaded += (loaded.empty() ? "" : ", ") + ("\"" + module->matchName() + "\"");
  }
  return "no loaded module provides the effect \"" + match + "\": use the match name of one (" +
         (loaded.empty() ? std::string("none is loaded") : loaded) + ")";
}

// What a value for a parameter of this type looks like in a scene file.
const char* valueHint(PF_ParamType type) {
  switch (type) {
    case PF_Param_LAYER:
      return "give a layer's name or null";
    case PF_Param_SLIDER:
      return "give a whole number";
    case PF_Param_FLOAT_SLIDER:
    case PF_Param_FIX_SLIDER:
      return "give a number";
    case PF_Param_ANGLE:
      return "give an angle in degrees";
    case PF_Param_CHECKBOX:
      return "give 0 or 1";
    case PF_Param_COLOR:
      return "give a colour [r, g, b, a]";
    case PF_Param_POINT:
      return "give a point [x, y]";
    case PF_Param_POPUP:
      return "give the number of an item, from 1";
    case PF_Param_PATH:
      return "give a mask's name or null";
    default:
      return "leave it out";
  }
}

Layer* layerNamed(Host& host, const Comp& comp, const std::string& name) {
  for (const auto& layer : comp.layers) {
    if (layer->name == name)
      return host.layerById(comp, layer->id);
  }
  return nullptr;
}

// A 16.16 fixed-point value; false when it does not fit.
bool toFixed(double v, PF_Fixed& out) {
  const double scaled = std::round(v * 65536.0);
  if (!std::isfinite(scaled) || scaled < -2147483648.0 || scaled > 2147483647.0)
    return false;
  out = static_cast<PF_Fixed>(scaled);
  return true;
}

class ParamSetter {
 public:
  ParamSetter(Host& host, Effect& effect, int index, const KeyPath& at)
      : host_(host), effect_(effect), index_(index), at_(at) {
    if (index < 1 || static_cast<size_t>(index) >= effect.params.size())
      at.fail("the effect has no parameter " + std::to_string(index) + " (it has 1 to " +
              std::to_string(effect.params.size() - 1) +
              "): `tolv-testbed inspect` on its module lists them");
    param_ = effect.params[index];
    layerId_ = effect.layerIds[index];
  }

  void set(const ParamValue& value) {
    std::visit([&](const auto& v) { take(v); }, value);
  }

  void apply() {
    effect_.params[index_] = param_;
    effect_.layerIds[index_] = layerId_;
  }

 private:
  [[noreturn]] void mismatch(const std::string& given) {
    at_.fail(given + " does not fit parameter " + std::to_string(index_) + ", a " +
             typeName(param_.param_type) + ": " + valueHint(param_.param_type));
  }
  PF_ParamType type() const { return param_.param_type; }

  void take(std::monostate) {
    if (type() == PF_Param_PATH) {
      param_.u.path_d.path_id = 0;
    } else if (type() == PF_Param_LAYER) {
      setLayerValue(param_, nullptr);
      layerId_ = 0;
    } else {
      mismatch("null");
    }
  }

  void take(double v) { number(v, "the number " + std::to_string(v)); }

  void number(double v, const std::string& given) {
    PF_ParamDefUnion& u = param_.u;
    switch (type()) {
      case PF_Param_SLIDER:
        if (v != std::floor(v) || v < u.sd.valid_min || v > u.sd.valid_max)
          at_.fail(given + " is not a whole number in " + std::to_string(u.sd.valid_min) + " … " +
                   std::to_string(u.sd.valid_max));
        u.sd.value = static_cast<PF_ParamValue>(v);
        return;
      case PF_Param_FLOAT_SLIDER:
        if (!std::isfinite(v) || v < u.fs_d.valid_min || v > u.fs_d.valid_max)
          at_.fail(given + " is not in " + std::to_string(u.fs_d.valid_min) + " … " +
                   std::to_string(u.fs_d.valid_max));
        u.fs_d.value = v;
        return;
      case PF_Param_ANGLE:
        if (!toFixed(v, u.ad.value))
          at_.fail(given + " is not an angle the host can hold");
        return;
      case PF_Param_CHECKBOX:
        if (v != 0 && v != 1)
          at_.fail(given + " is not 0 or 1");
        u.bd.value = static_cast<PF_ParamValue>(v);
        return;
      case PF_Param_POPUP:
        if (v != std::floor(v) || v < 1 || v > u.pd.num_choices)
          at_.fail(given + " is not an item of the popup (1 … " + std::to_string(u.pd.num_choices) +
                   ")");
        u.pd.value = static_cast<PF_ParamValue>(v);
        return;
      default:
        mismatch(given);
    }
  }

  void take(const std::string& name) {
    if (type() == PF_Param_PATH) {
      for (const Mask& mask : effect_.layer->masks) {
        if (mask.name == name) {
          param_.u.path_d.path_id = mask.id;
          return;
        }
      }
      at_.fail("\"" + name + "\" names no mask of layer \"" + effect_.layer->name + "\"");
    }
    if (type() == PF_Param_LAYER) {
      Layer* layer = layerNamed(host_, *effect_.layer->comp, name);
      if (!layer)
        at_.fail("\"" + name + "\" names no layer of the composition");
      setLayerValue(param_, layer);
      layerId_ = layer->id;
      return;
    }
    mismatch("a name");
  }

  void take(const PF_Pixel& c) {
    if (type() != PF_Param_COLOR)
      mismatch("a colour");
    param_.u.cd.value = c;
  }

  void take(const A_FloatPoint& p) {
    if (type() != PF_Param_POINT)
      mismatch("a point");
    if (!toFixed(p.x, param_.u.td.x_value) || !toFixed(p.y, param_.u.td.y_value))
      at_.fail("the point does not fit the host's fixed-point values");
  }

  void take(const LayerIdRef& ref) {
    Layer* layer = layerNamed(host_, *effect_.layer->comp, ref.layer);
    if (!layer)
      at_.fail("\"" + ref.layer + "\" names no layer of the composition");
    number(layer->id, "the id of layer \"" + ref.layer + "\"");
  }

  Host& host_;
  Effect& effect_;
  int index_;
  const KeyPath at_;
  PF_ParamDef param_;
  AEGP_LayerIDVal layerId_;
};

std::optional<World> layerPixels(const SceneSpec& parsed, const LayerSpec& l, const KeyPath& at) {
  switch (l.kind) {
    case LayerKind::Solid:
      return makeSolid(l.width, l.height, l.color);
    case LayerKind::Gradient:
      return makeGradient(l.width, l.height, l.color, l.color2, l.direction);
    case LayerKind::Image: {
      std::string error;
      std::optional<World> image = readPng(resolveScenePath(parsed, l.image), error);
      if (!image)
        at.key("path").fail(error +
                            ": give the path of a readable PNG file, relative to the scene file");
      return image;
    }
    default:
      return std::nullopt;
  }
}

Layer& addLayer(Host& host, Comp& comp, const SceneSpec& parsed, const LayerSpec& l,
                const KeyPath& at) {
  std::optional<World> pixels = layerPixels(parsed, l, at);
  if ((l.kind == LayerKind::Solid || l.kind == LayerKind::Gradient) && !pixels)
    at.key("size").fail("the layer's size cannot be made");
  const A_long w = pixels ? pixels->width() : comp.width;
  const A_long h = pixels ? pixels->height() : comp.height;
  Layer& layer = host.addLayer(comp, l.name, w, h);
  layer.kind = l.kind;
  layer.pixels = std::move(pixels);
  layer.transform = l.transform;
  layer.start = *secondsToTime(l.start, comp.currentTime.scale);
  layer.flags = (l.video ? AEGP_LayerFlag_VIDEO_ACTIVE : 0) | AEGP_LayerFlag_EFFECTS_ACTIVE |
                (l.locked ? AEGP_LayerFlag_LOCKED : 0) | (l.shy ? AEGP_LayerFlag_SHY : 0);
  if (l.kind == LayerKind::Light) {
    layer.lightType = AEGP_LightType_POINT;
    layer.source.reset();
    layer.flags |= AEGP_LayerFlag_LAYER_IS_3D;
  }
  for (const MaskSpec& mask : l.masks)
    host.addMask(layer, mask.name, mask.outline);
  return layer;
}

// Each key's value is checked and made as a plain value is; the parameter keeps its first key's.
void setKeys(Host& host, Effect& effect, int index, const std::vector<ParamKeySpec>& keys,
             const KeyPath& at) {
  std::vector<ParamKey> made;
  for (size_t k = 0; k < keys.size(); ++k) {
    setParam(host, effect, index, keys[k].value, at.key("keys").item(k).item(1), true);
    made.push_back({keys[k].time, effect.params[index]});
  }
  setParam(host, effect, index, keys.front().value, at, true);
  effect.keys.resize(effect.params.size());
  effect.keys[index] = std::move(made);
}

void addEffects(Host& host, Layer& layer, const LayerSpec& l, const KeyPath& at) {
  for (size_t e = 0; e < l.effects.size(); ++e) {
    const EffectSpec& es = l.effects[e];
    const KeyPath effectAt = at.key("effects").item(e);
    Module* module = host.moduleByMatchName(es.match);
    if (!module)
      effectAt.key("match").fail(missingEffect(host, es.match));
    Effect& effect = host.applyEffect(layer, *module);
    const KeyPath params = effectAt.key("params");
    for (const auto& [index, value] : es.params)
      setParam(host, effect, index, value, params.key(std::to_string(index)), true);
    for (const auto& [index, keys] : es.keys)
      setKeys(host, effect, index, keys, params.key(std::to_string(index)));
  }
}

}  // namespace

void setParam(Host& host, Effect& effect, int index, const ParamValue& value, const KeyPath& at,
              bool apply) {
  ParamSetter setter(host, effect, index, at);
  setter.set(value);
  if (apply)
    setter.apply();
}

// Times the scene gives other scales for are counted there from the seconds it gives.
void setScales(Comp& comp, const CompSpec& c) {
  const std::tuple<A_Time*, double, A_u_long> fields[] = {
      {&comp.currentTime, 0, c.timeScale},
      {&comp.duration, c.duration, c.durationScale},
      {&comp.workStart, c.workStart, c.workAreaScale},
      {&comp.workDuration, c.workDuration, c.workAreaScale}};
  for (const auto& [time, seconds, scale] : fields) {
    if (scale != 0)
      *time = *secondsToTime(seconds, scale);
  }
}

void addItems(Host& host, Comp& comp, const SceneSpec& parsed) {
  Project& project = host.project();
  project.activeItem = nullptr;
  if (parsed.active == comp.name)
    project.activeItem = comp.item.get();
  for (const ItemSpec& listed : parsed.items) {
    const AEGP_ItemType type =
        listed.kind == ItemKind::Folder ? AEGP_ItemType_FOLDER : AEGP_ItemType_FOOTAGE;
    auto item = std::make_unique<Item>(type, nullptr, nullptr);
    item->name = listed.name;
    // Footage the project holds besides the layers' own is the composition's size.
    if (type == AEGP_ItemType_FOOTAGE) {
      item->width = comp.width;
      item->height = comp.height;
    }
    if (parsed.active == listed.name)
      project.activeItem = item.get();
    project.items.push_back(std::move(item));
  }
}

Comp& buildScene(Host& host, const SceneSpec& parsed) {
  const CompSpec& c = parsed.comp;
  Comp& comp = host.addComp(c.name, c.width, c.height);
  try {
    host.setCompTiming(comp, c.fps, c.duration, c.workStart, c.workDuration);
  } catch (const HostError& e) {
    KeyPath(parsed.file).key("comp").fail(e.what());
  }
  setScales(comp, c);
  addItems(host, comp, parsed);
  // Layers first, so that effects can name any layer of the composition.
  const KeyPath layersAt = KeyPath(parsed.file).key("layers");
  std::vector<Layer*> layers;
  for (size_t i = 0; i < parsed.layers.size(); ++i)
    layers.push_back(&addLayer(host, comp, parsed, parsed.layers[i], layersAt.item(i)));
  for (size_t i = 0; i < parsed.layers.size(); ++i) {
    const LayerSpec& l = parsed.layers[i];
    if (!l.parent.empty() && !host.setParent(*layers[i], layerNamed(host, comp, l.parent)))
      layersAt.item(i).key("parent").fail("\"" + l.parent + "\" cannot be the layer's parent");
  }
  for (size_t i = 0; i < parsed.layers.size(); ++i)
    addEffects(host, *layers[i], parsed.layers[i], layersAt.item(i));
  for (const std::string& name : parsed.selected) {
    if (Layer* layer = layerNamed(host, comp, name))
      comp.selected.push_back(layer->id);
  }
  return comp;
}

}  // namespace tb::scene
