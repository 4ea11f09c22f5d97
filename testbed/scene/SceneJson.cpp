#include "testbed/scene/SceneJson.h"

namespace tb::scene {
namespace {

using nlohmann::json;

json point(A_FloatPoint p) {
  return json::array({p.x, p.y});
}

json point(A_FloatPoint3 p) {
  return json::array({p.x, p.y, p.z});
}

json color(PF_Pixel c) {
  return json::array({c.red, c.green, c.blue, c.alpha});
}

json comp(const CompSpec& c) {
  json j{{"name", c.name},         {"width", c.width},
         {"height", c.height},     {"fps", c.fps},
         {"duration", c.duration}, {"work_area", json::array({c.workStart, c.workDuration})}};
  json scales = json::object();
  for (const auto& [key, scale] :
       {std::pair{"time", c.timeScale}, std::pair{"work_area", c.workAreaScale},
        std::pair{"duration", c.durationScale}}) {
    if (scale != 0) {
      scales[key] = scale;
    }
  }
  if (!scales.empty()) {
    j["scales"] = scales;
  }
  return j;
}

json transform(const Transform& t) {
  json j{{"anchor", point(t.anchor)},
         {"position", point(t.position)},
         {"scale", point(t.scale)},
         {"rotation", point(t.rotation)}};
  if (!t.positionKeys.empty()) {
    json keys = json::array();
    for (const PositionKey& k : t.positionKeys) {
      keys.push_back(json::array({k.time, point(k.value)}));
    }
    j["position_keys"] = keys;
  }
  return j;
}

json shape(const OutlineShape& s) {
  json points = json::array();
  json in = json::array();
  json out = json::array();
  for (const BezierVertex& v : s.vertices) {
    points.push_back(point(v.point));
    in.push_back(point(v.in));
    out.push_back(point(v.out));
  }
  return json{{"points", points}, {"in", in}, {"out", out}};
}

json mask(const MaskSpec& m) {
  json j = shape(m.outline.shape);
  j["name"] = m.name;
  j["closed"] = m.outline.shape.closed;
  if (!m.outline.keys.empty()) {
    json keys = json::array();
    for (const OutlineKey& k : m.outline.keys) {
      keys.push_back(json::array({k.time, shape(k.shape)}));
    }
    j["keys"] = keys;
  }
  return j;
}

json paramValue(const ParamValue& v) {
  struct Visit {
    json operator()(std::monostate) const { return nullptr; }
    json operator()(double d) const { return d; }
    json operator()(const std::string& s) const { return s; }
    json operator()(PF_Pixel c) const { return color(c); }
    json operator()(A_FloatPoint p) const { return point(p); }
    json operator()(const LayerIdRef& r) const { return json{{"layer_id", r.layer}}; }
  };
  return std::visit(Visit{}, v);
}

json effect(const EffectSpec& e) {
  json params = json::object();
  for (const auto& [index, value] : e.params) {
    params[std::to_string(index)] = paramValue(value);
  }
  for (const auto& [index, keys] : e.keys) {
    json list = json::array();
    for (const ParamKeySpec& k : keys) {
      list.push_back(json::array({k.time, paramValue(k.value)}));
    }
    params[std::to_string(index)] = json{{"keys", list}};
  }
  return json{{"match", e.match}, {"params", params}};
}

json layer(const LayerSpec& l) {
  json j{{"name", l.name},   {"kind", layerKindName(l.kind)},
         {"video", l.video}, {"locked", l.locked},
         {"shy", l.shy},     {"transform", transform(l.transform)}};
  if (l.kind == LayerKind::Solid || l.kind == LayerKind::Gradient) {
    j["size"] = json::array({l.width, l.height});
    j["color"] = color(l.color);
  }
  if (l.kind == LayerKind::Gradient) {
    j["color2"] = color(l.color2);
    j["direction"] = point(l.direction);
  }
  if (l.kind == LayerKind::Image) {
    j["path"] = l.image;
  }
  if (!l.parent.empty()) {
    j["parent"] = l.parent;
  }
  if (l.start != 0) {
    j["start"] = l.start;
  }
  if (l.kind != LayerKind::Light) {
    j["masks"] = json::array();
    for (const MaskSpec& m : l.masks) {
      j["masks"].push_back(mask(m));
    }
    j["effects"] = json::array();
    for (const EffectSpec& e : l.effects) {
      j["effects"].push_back(effect(e));
    }
  }
  return j;
}

json step(const Step& s) {
  struct Visit {
    json operator()(const ChangeStep& c) const {
      return json{{"change",
                   {{"layer", c.layer},
                    {"effect", c.effect},
                    {"param", c.param},
                    {"value", paramValue(c.value)}}}};
    }
    json operator()(const RenderStep& r) const {
      json body = r.range ? json{{"from", r.from}, {"to", r.to}} : json{{"time", r.time}};
      body["downsample"] = json::array({r.downsampleX, r.downsampleY});
      return json{{"render", body}};
    }
    json operator()(const IdleStep& i) const { return json{{"idle", i.count}}; }
    json operator()(const EngineRequestStep& r) const {
      return json{{"request_engine_update", r.pending}};
    }
    json operator()(const SaveStep& f) const {
      return json{{"save", f.path.empty() ? json::object() : json(f.path)}};
    }
    json operator()(const OpenStep& f) const {
      return json{{"open", f.path.empty() ? json::object() : json(f.path)}};
    }
    json operator()(const UiStep& u) const {
      return json{{"ui", {{"layer", u.layer}, {"effect", u.effect}}}};
    }
    json operator()(const DeleteMaskStep& d) const {
      return json{{"delete_mask", {{"layer", d.layer}, {"mask", d.mask}}}};
    }
    json operator()(const TimeStep& t) const { return json{{"time", t.time}}; }
  };
  return std::visit(Visit{}, s);
}

}  // namespace

json sceneToJson(const SceneSpec& scene) {
  json layers = json::array();
  for (const LayerSpec& l : scene.layers) {
    layers.push_back(layer(l));
  }
  json steps = json::array();
  for (const Step& s : scene.steps) {
    steps.push_back(step(s));
  }
  json items = json::array();
  for (const ItemSpec& item : scene.items) {
    items.push_back(
        {{"name", item.name}, {"kind", item.kind == ItemKind::Folder ? "folder" : "footage"}});
  }
  return json{{"comp", comp(scene.comp)},
              {"layers", layers},
              {"selected", scene.selected},
              {"items", items},
              {"active", scene.active ? json(*scene.active) : json(nullptr)},
              {"steps", steps}};
}

}  // namespace tb::scene
