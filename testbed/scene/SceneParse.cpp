#include "testbed/scene/SceneParse.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "testbed/platform/PathSyntax.h"
#include "testbed/world/Time.h"
#include "testbed/world/World.h"

namespace tb::scene {
namespace {

using nlohmann::json;

constexpr int kMaxParamIndex = 9999;
constexpr int kMaxIdle = 1000000;
constexpr A_long kMaxDownsample = 64;
constexpr long long kMaxTimeScale = 1000000;

std::string quote(const std::string& s) {
  return "\"" + s + "\"";
}

std::string folderOf(const std::string& file) {
  const auto slash = file.find_last_of(platform::kPathSeparators);
  return slash == std::string::npos ? "." : file.substr(0, slash == 0 ? 1 : slash);
}

class Parser {
 public:
  explicit Parser(const std::string& file) { scene_.file = file; }

  SceneSpec parse(const json& root) {
    scene_.directory = folderOf(scene_.file);
    expectKeys(root, "scene", {"comp", "layers", "selected", "items", "active", "steps"});
    scene_.comp = comp(required(root, "comp", "scene"), "comp");
    if (root.contains("layers")) {
      layers(root.at("layers"), "layers");
    }
    if (root.contains("selected")) {
      selected(root.at("selected"), "selected");
    }
    if (root.contains("items")) {
      items(root.at("items"), "items");
    }
    scene_.active = scene_.comp.name;
    if (root.contains("active")) {
      active(root.at("active"), "active");
    }
    if (root.contains("steps")) {
      steps(root.at("steps"), "steps");
    } else {
      scene_.steps.push_back(RenderStep{});
    }
    return std::move(scene_);
  }

 private:
  [[noreturn]] void fail(const std::string& path, const std::string& what) const {
    sceneFault(scene_.file, path, what);
  }

  // --- shapes of values ---

  void expectKeys(const json& j, const std::string& path, std::initializer_list<const char*> keys) {
    if (!j.is_object()) {
      fail(path, "must be an object");
    }
    for (const auto& item : j.items()) {
      if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return item.key() == k; })) {
        fail(path, "unknown key " + quote(item.key()));
      }
    }
  }

  const json& required(const json& j, const char* key, const std::string& path) {
    if (!j.contains(key)) {
      fail(path, "missing key " + quote(key));
    }
    return j.at(key);
  }

  double number(const json& j, const std::string& path) {
    if (!j.is_number()) {
      fail(path, "must be a number");
    }
    return j.get<double>();
  }

  long long integer(const json& j, const std::string& path, long long low, long long high) {
    const double v = number(j, path);
    if (v != std::floor(v) || v < low || v > high) {
      fail(path, "must be a whole number in " + std::to_string(low) + "–" + std::to_string(high));
    }
    return static_cast<long long>(v);
  }

  std::string text(const json& j, const std::string& path) {
    if (!j.is_string()) {
      fail(path, "must be a string");
    }
    return j.get<std::string>();
  }

  std::string name(const json& j, const std::string& path) {
    std::string s = text(j, path);
    if (s.empty()) {
      fail(path, "must not be empty");
    }
    return s;
  }

  bool flag(const json& j, const std::string& path) {
    if (!j.is_boolean()) {
      fail(path, "must be true or false");
    }
    return j.get<bool>();
  }

  const json& array(const json& j, const std::string& path) {
    if (!j.is_array()) {
      fail(path, "must be a list");
    }
    return j;
  }

  A_FloatPoint point2(const json& j, const std::string& path) {
    if (!j.is_array() || j.size() != 2) {
      fail(path, "must be a point [x, y]");
    }
    return A_FloatPoint{number(j[0], path + "[0]"), number(j[1], path + "[1]")};
  }

  // [x, y] or [x, y, z]; a missing z is `z`.
  A_FloatPoint3 point3(const json& j, const std::string& path, double z) {
    if (!j.is_array() || (j.size() != 2 && j.size() != 3)) {
      fail(path, "must be [x, y, z] or [x, y]");
    }
    return A_FloatPoint3{number(j[0], path + "[0]"), number(j[1], path + "[1]"),
                         j.size() == 3 ? number(j[2], path + "[2]") : z};
  }

  PF_Pixel color(const json& j, const std::string& path) {
    const char* what = "must be a colour [r, g, b, a] of 4 whole numbers in 0–255";
    if (!j.is_array() || j.size() != 4) {
      fail(path, what);
    }
    A_u_char c[4];
    for (int i = 0; i < 4; ++i) {
      const json& v = j[i];
      if (!v.is_number() || v.get<double>() != std::floor(v.get<double>()) || v.get<double>() < 0 ||
          v.get<double>() > 255) {
        fail(path, what);
      }
      c[i] = static_cast<A_u_char>(v.get<double>());
    }
    return PF_Pixel{c[3], c[0], c[1], c[2]};
  }

  // --- composition ---

  CompSpec comp(const json& j, const std::string& path) {
    expectKeys(j, path, {"name", "width", "height", "fps", "duration", "work_area", "scales"});
    CompSpec c;
    if (j.contains("name")) {
      c.name = name(j.at("name"), path + ".name");
    }
    c.width =
        static_cast<A_long>(integer(required(j, "width", path), path + ".width", 1, kMaxWorldSide));
    c.height = static_cast<A_long>(
        integer(required(j, "height", path), path + ".height", 1, kMaxWorldSide));
    c.fps = number(required(j, "fps", path), path + ".fps");
    const auto scale = timeScaleForFps(c.fps);
    if (!scale) {
      fail(path + ".fps", "must be more than 0 and at most 1000");
    }
    c.duration = number(required(j, "duration", path), path + ".duration");
    if (!(c.duration > 0) || !secondsToTime(c.duration, *scale)) {
      fail(path + ".duration", "must be more than 0 seconds and representable at the frame rate");
    }
    c.workDuration = c.duration;
    if (j.contains("work_area")) {
      const A_FloatPoint w = point2(j.at("work_area"), path + ".work_area");
      if (w.x < 0 || !(w.y > 0) || w.x + w.y > c.duration) {
        fail(path + ".work_area", "[start, duration] must lie within the composition");
      }
      c.workStart = w.x;
      c.workDuration = w.y;
    }
    if (j.contains("scales")) {
      scales(j.at("scales"), path + ".scales", c);
    }
    return c;
  }

  void scales(const json& j, const std::string& path, CompSpec& c) {
    expectKeys(j, path, {"time", "work_area", "duration"});
    const std::pair<const char*, A_u_long*> fields[] = {
        {"time", &c.timeScale}, {"work_area", &c.workAreaScale}, {"duration", &c.durationScale}};
    for (const auto& [key, scale] : fields) {
      if (j.contains(key)) {
        *scale = static_cast<A_u_long>(integer(j.at(key), path + "." + key, 1, kMaxTimeScale));
      }
    }
    const std::pair<double, A_u_long> times[] = {{c.duration, c.durationScale},
                                                 {c.workStart, c.workAreaScale},
                                                 {c.workDuration, c.workAreaScale}};
    for (const auto& [seconds, scale] : times) {
      if (scale != 0 && !secondsToTime(seconds, scale)) {
        fail(path, "the composition's times cannot be counted at these scales");
      }
    }
  }

  // --- project items ---

  void items(const json& j, const std::string& path) {
    array(j, path);
    std::set<std::string> names{scene_.comp.name};
    for (std::size_t i = 0; i < j.size(); ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      expectKeys(j[i], at, {"name", "kind"});
      ItemSpec item;
      item.name = name(required(j[i], "name", at), at + ".name");
      if (!names.insert(item.name).second) {
        fail(at + ".name", "duplicate item name " + quote(item.name));
      }
      const std::string k = text(required(j[i], "kind", at), at + ".kind");
      if (k != "footage" && k != "folder") {
        fail(at + ".kind", "must be \"footage\" or \"folder\"");
      }
      item.kind = k == "folder" ? ItemKind::Folder : ItemKind::Footage;
      scene_.items.push_back(item);
    }
  }

  void active(const json& j, const std::string& path) {
    if (j.is_null()) {
      scene_.active.reset();
      return;
    }
    const std::string n = name(j, path);
    const bool known =
        n == scene_.comp.name || std::any_of(scene_.items.begin(), scene_.items.end(),
                                             [&](const ItemSpec& item) { return item.name == n; });
    if (!known) {
      fail(path, quote(n) + " names no item of the project");
    }
    scene_.active = n;
  }

  // --- layers ---

  void layers(const json& j, const std::string& path) {
    array(j, path);
    // Names first: parameters and parents may name layers further down.
    for (std::size_t i = 0; i < j.size(); ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      if (!j[i].is_object()) {
        fail(at, "must be an object");
      }
      const std::string n = name(required(j[i], "name", at), at + ".name");
      if (!layerNames_.insert(n).second) {
        fail(at + ".name", "duplicate layer name " + quote(n));
      }
    }
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.layers.push_back(layer(j[i], path + "[" + std::to_string(i) + "]"));
    }
    checkParenting(path);
  }

  LayerKind kind(const json& j, const std::string& path) {
    static const std::pair<const char*, LayerKind> kinds[] = {{"solid", LayerKind::Solid},
                                                              {"image", LayerKind::Image},
                                                              {"gradient", LayerKind::Gradient},
                                                              {"light", LayerKind::Light},
                                                              {"null", LayerKind::Null}};
    const std::string k = text(j, path);
    for (const auto& entry : kinds) {
      if (k == entry.first) {
        return entry.second;
      }
    }
    fail(path, "unknown layer kind " + quote(k));
  }

  // Keys that belong to some kinds of layer only.
  void expectKeysOfKind(const json& j, const std::string& path, LayerKind k) {
    struct Rule {
      const char* key;
      bool solid, image, gradient, light, null;
    };
    static const Rule rules[] = {{"size", true, false, true, false, false},
                                 {"color", true, false, true, false, false},
                                 {"color2", false, false, true, false, false},
                                 {"direction", false, false, true, false, false},
                                 {"path", false, true, false, false, false},
                                 {"masks", true, true, true, false, true},
                                 {"effects", true, true, true, false, true}};
    for (const Rule& r : rules) {
      const bool allowed[] = {r.solid, r.image, r.gradient, r.light, r.null};
      if (j.contains(r.key) && !allowed[static_cast<int>(k)]) {
        fail(path + "." + r.key, std::string("not a key of a ") + layerKindName(k) + " layer");
      }
    }
  }

  LayerSpec layer(const json& j, const std::string& path) {
    expectKeys(j, path,
               {"name", "kind", "size", "color", "color2", "direction", "path", "parent",
                "transform", "masks", "effects", "video", "locked", "shy", "start"});
    LayerSpec l;
    l.name = j.at("name").get<std::string>();
    l.kind = kind(required(j, "kind", path), path + ".kind");
    expectKeysOfKind(j, path, l.kind);
    if (l.kind == LayerKind::Solid || l.kind == LayerKind::Gradient) {
      size(required(j, "size", path), path + ".size", l);
    }
    if (l.kind == LayerKind::Gradient) {
      l.color = PF_Pixel{255, 0, 0, 0};
      l.color2 = PF_Pixel{255, 255, 255, 255};
    }
    if (j.contains("color")) {
      l.color = color(j.at("color"), path + ".color");
    }
    if (j.contains("color2")) {
      l.color2 = color(j.at("color2"), path + ".color2");
    }
    if (j.contains("direction")) {
      l.direction = point2(j.at("direction"), path + ".direction");
      if (l.direction.x == 0 && l.direction.y == 0) {
        fail(path + ".direction", "must not be [0, 0]");
      }
    }
    if (l.kind == LayerKind::Image) {
      l.image = name(required(j, "path", path), path + ".path");
    }
    if (j.contains("start")) {
      l.start = number(j.at("start"), path + ".start");
      if (l.start < 0 || l.start > scene_.comp.duration) {
        fail(path + ".start", "must lie within the composition (0 to " +
                                  formatSeconds(scene_.comp.duration) + " s)");
      }
    }
    if (j.contains("parent")) {
      l.parent = layerName(j.at("parent"), path + ".parent");
    }
    l.video = j.contains("video") ? flag(j.at("video"), path + ".video") : true;
    l.locked = j.contains("locked") ? flag(j.at("locked"), path + ".locked") : false;
    l.shy = j.contains("shy") ? flag(j.at("shy"), path + ".shy") : false;
    if (j.contains("transform")) {
      l.transform = transform(j.at("transform"), path + ".transform");
    }
    if (j.contains("masks")) {
      masks(j.at("masks"), path + ".masks", l);
    }
    if (j.contains("effects")) {
      const json& list = array(j.at("effects"), path + ".effects");
      for (std::size_t i = 0; i < list.size(); ++i) {
        l.effects.push_back(effect(list[i], path + ".effects[" + std::to_string(i) + "]", l));
      }
    }
    return l;
  }

  void size(const json& j, const std::string& path, LayerSpec& l) {
    if (!j.is_array() || j.size() != 2) {
      fail(path, "must be [width, height]");
    }
    l.width = static_cast<A_long>(integer(j[0], path + "[0]", 1, kMaxWorldSide));
    l.height = static_cast<A_long>(integer(j[1], path + "[1]", 1, kMaxWorldSide));
  }

  std::string layerName(const json& j, const std::string& path) {
    const std::string n = text(j, path);
    if (layerNames_.count(n) == 0) {
      fail(path, "no layer is named " + quote(n));
    }
    return n;
  }

  void checkParenting(const std::string& path) {
    for (std::size_t i = 0; i < scene_.layers.size(); ++i) {
      std::set<std::string> seen{scene_.layers[i].name};
      for (std::string p = scene_.layers[i].parent; !p.empty(); p = layerByName(p).parent) {
        if (!seen.insert(p).second) {
          fail(path + "[" + std::to_string(i) + "].parent", "parenting loop through " + quote(p));
        }
      }
    }
  }

  const LayerSpec& layerByName(const std::string& n) const {
    return *std::find_if(scene_.layers.begin(), scene_.layers.end(),
                         [&](const LayerSpec& l) { return l.name == n; });
  }

  // --- transform ---

  Transform transform(const json& j, const std::string& path) {
    expectKeys(j, path, {"anchor", "position", "scale", "rotation", "position_keys"});
    Transform t;
    if (j.contains("anchor")) {
      t.anchor = point3(j.at("anchor"), path + ".anchor", 0);
    }
    if (j.contains("position")) {
      t.position = point3(j.at("position"), path + ".position", 0);
    }
    if (j.contains("scale")) {
      t.scale = point3(j.at("scale"), path + ".scale", 100);
    }
    if (j.contains("rotation")) {
      t.rotation = point3(j.at("rotation"), path + ".rotation", 0);
    }
    if (j.contains("position_keys")) {
      const json& keys = array(j.at("position_keys"), path + ".position_keys");
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string at = path + ".position_keys[" + std::to_string(i) + "]";
        const double time = keyTime(keys[i], at, i == 0 ? 0.0 : t.positionKeys.back().time);
        t.positionKeys.push_back(PositionKey{time, point3(keys[i][1], at + "[1]", 0)});
      }
    }
    return t;
  }

  // A key is [time, value]; times are after 0 (the top-level value) and increase.
  double keyTime(const json& j, const std::string& path, double previous) {
    if (!j.is_array() || j.size() != 2) {
      fail(path, "a key must be [time, value]");
    }
    const double time = number(j[0], path + "[0]");
    if (!(time > previous)) {
      fail(path + "[0]", previous == 0.0 ? "key time must be after 0, the top-level value"
                                         : "key times must increase");
    }
    return time;
  }

  // --- masks ---

  void masks(const json& j, const std::string& path, LayerSpec& l) {
    array(j, path);
    for (std::size_t i = 0; i < j.size(); ++i) {
      const std::string at = path + "[" + std::to_string(i) + "]";
      MaskSpec m = mask(j[i], at, i);
      for (const MaskSpec& other : l.masks) {
        if (other.name == m.name) {
          fail(at + ".name", "duplicate mask name " + quote(m.name));
        }
      }
      l.masks.push_back(std::move(m));
    }
  }

  MaskSpec mask(const json& j, const std::string& path, std::size_t index) {
    expectKeys(j, path, {"name", "closed", "points", "in", "out", "keys"});
    MaskSpec m;
    m.name = j.contains("name") ? name(j.at("name"), path + ".name")
                                : "Mask " + std::to_string(index + 1);
    m.outline.shape = shape(j, path, std::nullopt);
    m.outline.shape.closed = j.contains("closed") ? flag(j.at("closed"), path + ".closed") : true;
    if (j.contains("keys")) {
      const json& keys = array(j.at("keys"), path + ".keys");
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string at = path + ".keys[" + std::to_string(i) + "]";
        const double time = keyTime(keys[i], at, i == 0 ? 0.0 : m.outline.keys.back().time);
        expectKeys(keys[i][1], at + "[1]", {"points", "in", "out"});
        OutlineShape s = shape(keys[i][1], at + "[1]", m.outline.shape.vertices.size());
        s.closed = m.outline.shape.closed;
        m.outline.keys.push_back(OutlineKey{time, std::move(s)});
      }
    }
    return m;
  }

  // Points with their optional tangents; a key must have as many points as its mask.
  OutlineShape shape(const json& j, const std::string& path, std::optional<std::size_t> count) {
    const json& points = array(required(j, "points", path), path + ".points");
    if (points.empty()) {
      fail(path + ".points", "a mask needs at least one point");
    }
    if (count && points.size() != *count) {
      fail(path + ".points",
           std::to_string(points.size()) + " points, the mask has " + std::to_string(*count));
    }
    OutlineShape s;
    s.vertices.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      s.vertices[i].point = point2(points[i], path + ".points[" + std::to_string(i) + "]");
    }
    tangents(j, "in", path, s, &BezierVertex::in);
    tangents(j, "out", path, s, &BezierVertex::out);
    return s;
  }

  void tangents(const json& j, const char* key, const std::string& path, OutlineShape& s,
                A_FloatPoint BezierVertex::*member) {
    if (!j.contains(key)) {
      return;
    }
    const std::string at = path + "." + key;
    const json& list = array(j.at(key), at);
    if (list.size() != s.vertices.size()) {
      fail(at, std::to_string(list.size()) + " tangents for " + std::to_string(s.vertices.size()) +
                   " points");
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
      s.vertices[i].*member = point2(list[i], at + "[" + std::to_string(i) + "]");
    }
  }

  // --- effects and parameter values ---

  EffectSpec effect(const json& j, const std::string& path, const LayerSpec& l) {
    expectKeys(j, path, {"match", "params"});
    EffectSpec e;
    e.match = name(required(j, "match", path), path + ".match");
    if (j.contains("params")) {
      const std::string at = path + ".params";
      if (!j.at("params").is_object()) {
        fail(at, "must be an object of parameter index to value");
      }
      for (const auto& item : j.at("params").items()) {
        const std::string keyPath = at + "." + item.key();
        const int index = paramIndex(item.key(), keyPath);
        if (item.value().is_object() && item.value().contains("keys")) {
          e.keys[index] = paramKeys(item.value(), keyPath, l);
          e.params[index] = e.keys[index].front().value;
        } else {
          e.params[index] = paramValue(item.value(), keyPath, l);
        }
      }
    }
    return e;
  }

  // {"keys": [[t, v], ...]}: at least one key, times rising, each value as a plain value is.
  std::vector<ParamKeySpec> paramKeys(const json& j, const std::string& path, const LayerSpec& l) {
    expectKeys(j, path, {"keys"});
    const std::string at = path + ".keys";
    const json& keys = array(j.at("keys"), at);
    if (keys.empty()) {
      fail(at, "must hold at least one key");
    }
    std::vector<ParamKeySpec> out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const std::string k = at + "[" + std::to_string(i) + "]";
      if (!keys[i].is_array() || keys[i].size() != 2) {
        fail(k, "a key must be [time, value]");
      }
      ParamKeySpec key{number(keys[i][0], k + "[0]"), paramValue(keys[i][1], k + "[1]", l)};
      if (key.time < 0 || key.time > scene_.comp.duration) {
        fail(k + "[0]", "must lie within the composition (0 to " +
                            formatSeconds(scene_.comp.duration) + " s)");
      }
      if (!out.empty() && key.time <= out.back().time) {
        fail(k + "[0]", "key times must rise");
      }
      out.push_back(std::move(key));
    }
    return out;
  }

  int paramIndex(const std::string& key, const std::string& path) {
    const bool digits =
        !key.empty() && key.size() <= 4 && key[0] != '0' &&
        std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
      fail(path, "a parameter key must be an index from 1 to " + std::to_string(kMaxParamIndex));
    }
    return std::stoi(key);
  }

  ParamValue paramValue(const json& j, const std::string& path, const LayerSpec& l) {
    if (j.is_null()) {
      return std::monostate{};
    }
    if (j.is_boolean()) {
      return j.get<bool>() ? 1.0 : 0.0;
    }
    if (j.is_number()) {
      return j.get<double>();
    }
    if (j.is_string()) {
      return maskOrLayerName(j.get<std::string>(), path, l);
    }
    if (j.is_array()) {
      if (j.size() == 4) {
        return color(j, path);
      }
      if (j.size() == 2) {
        return point2(j, path);
      }
      fail(path, "a list must be a colour [r, g, b, a] or a point [x, y]");
    }
    if (j.size() != 1 || !j.contains("layer_id")) {
      fail(path, "an object must be {\"layer_id\": NAME}");
    }
    return LayerIdRef{layerName(j.at("layer_id"), path + ".layer_id")};
  }

  std::string maskOrLayerName(const std::string& n, const std::string& path, const LayerSpec& l) {
    const bool isMask =
        std::any_of(l.masks.begin(), l.masks.end(), [&](const MaskSpec& m) { return m.name == n; });
    if (!isMask && layerNames_.count(n) == 0) {
      fail(path, quote(n) + " names no mask of layer " + quote(l.name) +
                     " and no layer of the composition");
    }
    return n;
  }

  // --- selection and steps ---

  void selected(const json& j, const std::string& path) {
    array(j, path);
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.selected.push_back(layerName(j[i], path + "[" + std::to_string(i) + "]"));
    }
  }

  void steps(const json& j, const std::string& path) {
    array(j, path);
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.steps.push_back(step(j[i], path + "[" + std::to_string(i) + "]"));
    }
  }

  Step step(const json& j, const std::string& path) {
    if (!j.is_object() || j.size() != 1) {
      fail(path, "a step must be an object of exactly one key");
    }
    const std::string kind = j.begin().key();
    const json& body = j.begin().value();
    const std::string at = path + "." + kind;
    if (kind == "change") {
      return change(body, at);
    }
    if (kind == "render") {
      return render(body, at);
    }
    if (kind == "idle") {
      return IdleStep{static_cast<int>(integer(body, at, 0, kMaxIdle))};
    }
    if (kind == "request_engine_update") {
      return EngineRequestStep{static_cast<int>(integer(body, at, 0, 1))};
    }
    if (kind == "save") {
      return SaveStep{fileArgument(body, at)};
    }
    if (kind == "open") {
      return OpenStep{fileArgument(body, at)};
    }
    if (kind == "ui") {
      return ui(body, at);
    }
    if (kind == "delete_mask") {
      return deleteMask(body, at);
    }
    if (kind == "time") {
      return TimeStep{timeWithin(body, at)};
    }
    fail(path, "unknown step " + quote(kind));
  }

  // The position of an effect in the stack of layer l, from 0.
  int effectIndex(const json& j, const std::string& path, const LayerSpec& l) {
    const long long effects = static_cast<long long>(l.effects.size());
    const json& effect = required(j, "effect", path);
    if (effects == 0) {
      fail(path + ".effect", "layer " + quote(l.name) + " has no effects");
    }
    return static_cast<int>(integer(effect, path + ".effect", 0, effects - 1));
  }

  UiStep ui(const json& j, const std::string& path) {
    expectKeys(j, path, {"layer", "effect"});
    UiStep u;
    u.layer = layerName(required(j, "layer", path), path + ".layer");
    u.effect = effectIndex(j, path, layerByName(u.layer));
    return u;
  }

  DeleteMaskStep deleteMask(const json& j, const std::string& path) {
    expectKeys(j, path, {"layer", "mask"});
    DeleteMaskStep d;
    d.layer = layerName(required(j, "layer", path), path + ".layer");
    d.mask = name(required(j, "mask", path), path + ".mask");
    const LayerSpec& l = layerByName(d.layer);
    if (std::none_of(l.masks.begin(), l.masks.end(),
                     [&](const MaskSpec& m) { return m.name == d.mask; })) {
      fail(path + ".mask", quote(d.mask) + " names no mask of layer " + quote(l.name));
    }
    return d;
  }

  double timeWithin(const json& j, const std::string& path) {
    const double t = number(j, path);
    if (t < 0 || t > scene_.comp.duration) {
      fail(path,
           "must lie within the composition (0 to " + formatSeconds(scene_.comp.duration) + " s)");
    }
    return t;
  }

  ChangeStep change(const json& j, const std::string& path) {
    expectKeys(j, path, {"layer", "effect", "param", "value"});
    ChangeStep c;
    c.layer = layerName(required(j, "layer", path), path + ".layer");
    const LayerSpec& l = layerByName(c.layer);
    c.effect = effectIndex(j, path, l);
    c.param =
        static_cast<int>(integer(required(j, "param", path), path + ".param", 1, kMaxParamIndex));
    c.value = paramValue(required(j, "value", path), path + ".value", l);
    return c;
  }

  RenderStep render(const json& j, const std::string& path) {
    expectKeys(j, path, {"time", "from", "to", "downsample"});
    RenderStep r;
    if (j.contains("time")) {
      r.time = timeWithin(j.at("time"), path + ".time");
    }
    if (j.contains("from") || j.contains("to")) {
      range(j, path, r);
    }
    if (j.contains("downsample")) {
      const json& d = j.at("downsample");
      const std::string at = path + ".downsample";
      if (!d.is_array() || d.size() != 2) {
        fail(at, "must be [x, y]");
      }
      r.downsampleX = static_cast<A_long>(integer(d[0], at + "[0]", 1, kMaxDownsample));
      r.downsampleY = static_cast<A_long>(integer(d[1], at + "[1]", 1, kMaxDownsample));
    }
    return r;
  }

  // A range of frames: both ends, no single time, and at least one frame's time between them.
  void range(const json& j, const std::string& path, RenderStep& r) {
    if (j.contains("time")) {
      fail(path, "give either \"time\" or \"from\" and \"to\", not both");
    }
    r.range = true;
    r.from = timeWithin(required(j, "from", path), path + ".from");
    r.to = timeWithin(required(j, "to", path), path + ".to");
    if (r.to <= r.from) {
      fail(path + ".to", "must be later than \"from\" (" + formatSeconds(r.from) + " s)");
    }
  }

  std::string fileArgument(const json& j, const std::string& path) {
    if (j.is_object() && j.empty()) {
      return std::string();
    }
    if (!j.is_string()) {
      fail(path, "must be a file path or {}");
    }
    return j.get<std::string>();
  }

  static std::string formatSeconds(double s) {
    std::ostringstream out;
    out << s;
    return out.str();
  }

  SceneSpec scene_;
  std::set<std::string> layerNames_;
};

// nlohmann reports a byte offset; people want a line and a column.
std::string syntaxError(const std::string& file, const std::string& text,
                        const json::parse_error& e) {
  const std::size_t end = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
  std::size_t line = 1;
  std::size_t column = 1;
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  std::string what = e.what();
  const auto detail = what.find("syntax error");
  const auto colon = what.find(": ", what.find("parse error"));
  if (detail != std::string::npos) {
    what = what.substr(detail);
  } else if (colon != std::string::npos) {
    what = what.substr(colon + 2);
  }
  return file + ": line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
         what;
}

}  // namespace

void sceneFault(const std::string& file, const std::string& path, const std::string& what) {
  throw SceneError(file + ": " + path + ": " + what);
}

SceneSpec parseScene(const std::string& text, const std::string& fileName) {
  json root;
  try {
    root = json::parse(text);
  } catch (const json::parse_error& e) {
    throw SceneError(syntaxError(fileName, text, e));
  } catch (const json::out_of_range&) {
    // A number too long for any value is well-formed JSON that nlohmann still refuses, without a
    // place; the scene is as unreadable as one with a syntax error.
    throw SceneError(fileName + ": a number too large to read");
  }
  return Parser(fileName).parse(root);
}

SceneSpec loadScene(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw SceneError(path + ": cannot be read");
  }
  std::ostringstream text;
  text << in.rdbuf();
  return parseScene(text.str(), path);
}

}  // namespace tb::scene
