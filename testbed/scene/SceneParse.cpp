#include "testbed/scene/SceneParse.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "testbed/platform/PathSyntax.h"
#include "testbed/scene/JsonAt.h"
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

  SceneSpec parse(const JsonAt& root) {
    scene_.directory = folderOf(scene_.file);
    root.expectKeys({"comp", "layers", "selected", "items", "active", "steps"});
    scene_.comp = comp(root.at("comp"));
    if (root.has("layers")) {
      layers(root.at("layers"));
    }
    if (root.has("selected")) {
      selected(root.at("selected"));
    }
    if (root.has("items")) {
      items(root.at("items"));
    }
    scene_.active = scene_.comp.name;
    if (root.has("active")) {
      active(root.at("active"));
    }
    if (root.has("steps")) {
      steps(root.at("steps"));
    } else {
      scene_.steps.push_back(RenderStep{});
    }
    return std::move(scene_);
  }

 private:
  // --- composition ---

  CompSpec comp(const JsonAt& j) {
    j.expectKeys({"name", "width", "height", "fps", "duration", "work_area", "scales"});
    CompSpec c;
    if (j.has("name")) {
      c.name = j.at("name").name();
    }
    c.width = static_cast<A_long>(j.at("width").integer(1, kMaxWorldSide));
    c.height = static_cast<A_long>(j.at("height").integer(1, kMaxWorldSide));
    const JsonAt fps = j.at("fps");
    c.fps = fps.number();
    const auto scale = timeScaleForFps(c.fps);
    if (!scale) {
      fps.fail("must be more than 0 and at most 1000");
    }
    const JsonAt duration = j.at("duration");
    c.duration = duration.number();
    if (!(c.duration > 0) || !secondsToTime(c.duration, *scale)) {
      duration.fail("must be more than 0 seconds and representable at the frame rate");
    }
    c.workDuration = c.duration;
    if (j.has("work_area")) {
      const JsonAt work = j.at("work_area");
      const A_FloatPoint w = work.point2();
      if (w.x < 0 || !(w.y > 0) || w.x + w.y > c.duration) {
        work.fail("[start, duration] must lie within the composition");
      }
      c.workStart = w.x;
      c.workDuration = w.y;
    }
    if (j.has("scales")) {
      scales(j.at("scales"), c);
    }
    return c;
  }

  void scales(const JsonAt& j, CompSpec& c) {
    j.expectKeys({"time", "work_area", "duration"});
    const std::pair<const char*, A_u_long*> fields[] = {
        {"time", &c.timeScale}, {"work_area", &c.workAreaScale}, {"duration", &c.durationScale}};
    for (const auto& [key, scale] : fields) {
      if (j.has(key)) {
        *scale = static_cast<A_u_long>(j.at(key).integer(1, kMaxTimeScale));
      }
    }
    const std::pair<double, A_u_long> times[] = {{c.duration, c.durationScale},
                                                 {c.workStart, c.workAreaScale},
                                                 {c.workDuration, c.workAreaScale}};
    for (const auto& [seconds, scale] : times) {
      if (scale != 0 && !secondsToTime(seconds, scale)) {
        j.fail("the composition's times cannot be counted at these scales");
      }
    }
  }

  // --- project items ---

  void items(const JsonAt& j) {
    j.list();
    std::set<std::string> names{scene_.comp.name};
    for (std::size_t i = 0; i < j.size(); ++i) {
      const JsonAt at = j[i];
      at.expectKeys({"name", "kind"});
      ItemSpec item;
      const JsonAt name = at.at("name");
      item.name = name.name();
      if (!names.insert(item.name).second) {
        name.fail("duplicate item name " + quote(item.name));
      }
      const JsonAt kind = at.at("kind");
      const std::string k = kind.text();
      if (k != "footage" && k != "folder") {
        kind.fail("must be \"footage\" or \"folder\"");
      }
      item.kind = k == "folder" ? ItemKind::Folder : ItemKind::Footage;
      scene_.items.push_back(item);
    }
  }

  void active(const JsonAt& j) {
    if (j.json().is_null()) {
      scene_.active.reset();
      return;
    }
    const std::string n = j.name();
    const bool known =
        n == scene_.comp.name || std::any_of(scene_.items.begin(), scene_.items.end(),
                                             [&](const ItemSpec& item) { return item.name == n; });
    if (!known) {
      j.fail(quote(n) + " names no item of the project");
    }
    scene_.active = n;
  }

  // --- layers ---

  void layers(const JsonAt& j) {
    j.list();
    // Names first: parameters and parents may name layers further down.
    for (std::size_t i = 0; i < j.size(); ++i) {
      if (!j[i].json().is_object()) {
        j[i].fail("must be an object");
      }
      const JsonAt name = j[i].at("name");
      const std::string n = name.name();
      if (!layerNames_.insert(n).second) {
        name.fail("duplicate layer name " + quote(n));
      }
    }
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.layers.push_back(layer(j[i]));
    }
    checkParenting(j);
  }

  LayerKind kind(const JsonAt& j) {
    static const std::pair<const char*, LayerKind> kinds[] = {{"solid", LayerKind::Solid},
                                                              {"image", LayerKind::Image},
                                                              {"gradient", LayerKind::Gradient},
                                                              {"light", LayerKind::Light},
                                                              {"null", LayerKind::Null}};
    const std::string k = j.text();
    for (const auto& entry : kinds) {
      if (k == entry.first) {
        return entry.second;
      }
    }
    j.fail("unknown layer kind " + quote(k));
  }

  // Keys that belong to some kinds of layer only.
  void expectKeysOfKind(const JsonAt& j, LayerKind k) {
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
      if (j.has(r.key) && !allowed[static_cast<int>(k)]) {
        j.at(r.key).fail(std::string("not a key of a ") + layerKindName(k) + " layer");
      }
    }
  }

  LayerSpec layer(const JsonAt& j) {
    j.expectKeys({"name", "kind", "size", "color", "color2", "direction", "path", "parent",
                  "transform", "masks", "effects", "video", "locked", "shy", "start"});
    LayerSpec l;
    l.name = j.at("name").text();
    l.kind = kind(j.at("kind"));
    expectKeysOfKind(j, l.kind);
    if (l.kind == LayerKind::Solid || l.kind == LayerKind::Gradient) {
      size(j.at("size"), l);
    }
    if (l.kind == LayerKind::Gradient) {
      l.color = PF_Pixel{255, 0, 0, 0};
      l.color2 = PF_Pixel{255, 255, 255, 255};
    }
    if (j.has("color")) {
      l.color = j.at("color").color();
    }
    if (j.has("color2")) {
      l.color2 = j.at("color2").color();
    }
    if (j.has("direction")) {
      const JsonAt direction = j.at("direction");
      l.direction = direction.point2();
      if (l.direction.x == 0 && l.direction.y == 0) {
        direction.fail("must not be [0, 0]");
      }
    }
    if (l.kind == LayerKind::Image) {
      l.image = j.at("path").name();
    }
    if (j.has("start")) {
      const JsonAt start = j.at("start");
      l.start = start.number();
      if (l.start < 0 || l.start > scene_.comp.duration) {
        start.fail("must lie within the composition (0 to " + formatSeconds(scene_.comp.duration) +
                   " s)");
      }
    }
    if (j.has("parent")) {
      l.parent = layerName(j.at("parent"));
    }
    l.video = j.has("video") ? j.at("video").flag() : true;
    l.locked = j.has("locked") ? j.at("locked").flag() : false;
    l.shy = j.has("shy") ? j.at("shy").flag() : false;
    if (j.has("transform")) {
      l.transform = transform(j.at("transform"));
    }
    if (j.has("masks")) {
      masks(j.at("masks"), l);
    }
    if (j.has("effects")) {
      const JsonAt list = j.at("effects").list();
      for (std::size_t i = 0; i < list.size(); ++i) {
        l.effects.push_back(effect(list[i], l));
      }
    }
    return l;
  }

  void size(const JsonAt& j, LayerSpec& l) {
    j.list("must be [width, height]");
    if (j.size() != 2) {
      j.fail("must be [width, height]");
    }
    l.width = static_cast<A_long>(j[0].integer(1, kMaxWorldSide));
    l.height = static_cast<A_long>(j[1].integer(1, kMaxWorldSide));
  }

  std::string layerName(const JsonAt& j) {
    const std::string n = j.text();
    if (layerNames_.count(n) == 0) {
      j.fail("no layer is named " + quote(n));
    }
    return n;
  }

  void checkParenting(const JsonAt& layers) {
    for (std::size_t i = 0; i < scene_.layers.size(); ++i) {
      std::set<std::string> seen{scene_.layers[i].name};
      for (std::string p = scene_.layers[i].parent; !p.empty(); p = layerByName(p).parent) {
        if (!seen.insert(p).second) {
          layers[i].at("parent").fail("parenting loop through " + quote(p));
        }
      }
    }
  }

  const LayerSpec& layerByName(const std::string& n) const {
    return *std::find_if(scene_.layers.begin(), scene_.layers.end(),
                         [&](const LayerSpec& l) { return l.name == n; });
  }

  // --- transform ---

  Transform transform(const JsonAt& j) {
    j.expectKeys({"anchor", "position", "scale", "rotation", "position_keys"});
    Transform t;
    if (j.has("anchor")) {
      t.anchor = j.at("anchor").point3(0);
    }
    if (j.has("position")) {
      t.position = j.at("position").point3(0);
    }
    if (j.has("scale")) {
      t.scale = j.at("scale").point3(100);
    }
    if (j.has("rotation")) {
      t.rotation = j.at("rotation").point3(0);
    }
    if (j.has("position_keys")) {
      const JsonAt keys = j.at("position_keys").list();
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const double time = keyTime(keys[i], i == 0 ? 0.0 : t.positionKeys.back().time);
        t.positionKeys.push_back(PositionKey{time, keys[i][1].point3(0)});
      }
    }
    return t;
  }

  // A key is [time, value]; times are after 0 (the top-level value) and increase.
  double keyTime(const JsonAt& j, double previous) {
    if (!j.json().is_array() || j.size() != 2) {
      j.fail("a key must be [time, value]");
    }
    const double time = j[0].number();
    if (!(time > previous)) {
      j[0].fail(previous == 0.0 ? "key time must be after 0, the top-level value"
                                : "key times must increase");
    }
    return time;
  }

  // --- masks ---

  void masks(const JsonAt& j, LayerSpec& l) {
    j.list();
    for (std::size_t i = 0; i < j.size(); ++i) {
      MaskSpec m = mask(j[i], i);
      for (const MaskSpec& other : l.masks) {
        if (other.name == m.name) {
          j[i].at("name").fail("duplicate mask name " + quote(m.name));
        }
      }
      l.masks.push_back(std::move(m));
    }
  }

  MaskSpec mask(const JsonAt& j, std::size_t index) {
    j.expectKeys({"name", "closed", "points", "in", "out", "keys"});
    MaskSpec m;
    m.name = j.has("name") ? j.at("name").name() : "Mask " + std::to_string(index + 1);
    m.outline.shape = shape(j, std::nullopt);
    m.outline.shape.closed = j.has("closed") ? j.at("closed").flag() : true;
    if (j.has("keys")) {
      const JsonAt keys = j.at("keys").list();
      for (std::size_t i = 0; i < keys.size(); ++i) {
        const double time = keyTime(keys[i], i == 0 ? 0.0 : m.outline.keys.back().time);
        const JsonAt value = keys[i][1];
        value.expectKeys({"points", "in", "out"});
        OutlineShape s = shape(value, m.outline.shape.vertices.size());
        s.closed = m.outline.shape.closed;
        m.outline.keys.push_back(OutlineKey{time, std::move(s)});
      }
    }
    return m;
  }

  // Points with their optional tangents; a key must have as many points as its mask.
  OutlineShape shape(const JsonAt& j, std::optional<std::size_t> count) {
    const JsonAt points = j.at("points").list();
    if (points.size() == 0) {
      points.fail("a mask needs at least one point");
    }
    if (count && points.size() != *count) {
      points.fail(std::to_string(points.size()) + " points, the mask has " +
                  std::to_string(*count));
    }
    OutlineShape s;
    s.vertices.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      s.vertices[i].point = points[i].point2();
    }
    tangents(j, "in", s, &BezierVertex::in);
    tangents(j, "out", s, &BezierVertex::out);
    return s;
  }

  void tangents(const JsonAt& j, const char* key, OutlineShape& s,
                A_FloatPoint BezierVertex::*member) {
    if (!j.has(key)) {
      return;
    }
    const JsonAt list = j.at(key).list();
    if (list.size() != s.vertices.size()) {
      list.fail(std::to_string(list.size()) + " tangents for " + std::to_string(s.vertices.size()) +
                " points");
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
      s.vertices[i].*member = list[i].point2();
    }
  }

  // --- effects and parameter values ---

  EffectSpec effect(const JsonAt& j, const LayerSpec& l) {
    j.expectKeys({"match", "params"});
    EffectSpec e;
    e.match = j.at("match").name();
    if (j.has("params")) {
      for (const auto& [key, value] :
           j.at("params").members("must be an object of parameter index to value")) {
        const int index = paramIndex(key, value);
        if (value.json().is_object() && value.has("keys")) {
          e.keys[index] = paramKeys(value, l);
          e.params[index] = e.keys[index].front().value;
        } else {
          e.params[index] = paramValue(value, l);
        }
      }
    }
    return e;
  }

  // {"keys": [[t, v], ...]}: at least one key, times rising, each value as a plain value is.
  std::vector<ParamKeySpec> paramKeys(const JsonAt& j, const LayerSpec& l) {
    j.expectKeys({"keys"});
    const JsonAt keys = j.at("keys").list();
    if (keys.size() == 0) {
      keys.fail("must hold at least one key");
    }
    std::vector<ParamKeySpec> out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const JsonAt k = keys[i];
      if (!k.json().is_array() || k.size() != 2) {
        k.fail("a key must be [time, value]");
      }
      ParamKeySpec key{k[0].number(), paramValue(k[1], l)};
      if (key.time < 0 || key.time > scene_.comp.duration) {
        k[0].fail("must lie within the composition (0 to " + formatSeconds(scene_.comp.duration) +
                  " s)");
      }
      if (!out.empty() && key.time <= out.back().time) {
        k[0].fail("key times must rise");
      }
      out.push_back(std::move(key));
    }
    return out;
  }

  // The member's key is its parameter's index; `at` is the member, whose path names the key.
  int paramIndex(const std::string& key, const JsonAt& at) {
    const bool digits =
        !key.empty() && key.size() <= 4 && key[0] != '0' &&
        std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
      at.fail("a parameter key must be an index from 1 to " + std::to_string(kMaxParamIndex));
    }
    return std::stoi(key);
  }

  ParamValue paramValue(const JsonAt& j, const LayerSpec& l) {
    const json& v = j.json();
    if (v.is_null()) {
      return std::monostate{};
    }
    if (v.is_boolean()) {
      return v.get<bool>() ? 1.0 : 0.0;
    }
    if (v.is_number()) {
      return v.get<double>();
    }
    if (v.is_string()) {
      return maskOrLayerName(v.get<std::string>(), j, l);
    }
    if (v.is_array()) {
      if (v.size() == 4) {
        return j.color();
      }
      if (v.size() == 2) {
        return j.point2();
      }
      j.fail("a list must be a colour [r, g, b, a] or a point [x, y]");
    }
    if (v.size() != 1 || !v.contains("layer_id")) {
      j.fail("an object must be {\"layer_id\": NAME}");
    }
    return LayerIdRef{layerName(j.at("layer_id"))};
  }

  std::string maskOrLayerName(const std::string& n, const JsonAt& at, const LayerSpec& l) {
    const bool isMask =
        std::any_of(l.masks.begin(), l.masks.end(), [&](const MaskSpec& m) { return m.name == n; });
    if (!isMask && layerNames_.count(n) == 0) {
      at.fail(quote(n) + " names no mask of layer " + quote(l.name) +
              " and no layer of the composition");
    }
    return n;
  }

  // --- selection and steps ---

  void selected(const JsonAt& j) {
    j.list();
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.selected.push_back(layerName(j[i]));
    }
  }

  void steps(const JsonAt& j) {
    j.list();
    for (std::size_t i = 0; i < j.size(); ++i) {
      scene_.steps.push_back(step(j[i]));
    }
  }

  Step step(const JsonAt& j) {
    if (!j.json().is_object() || j.size() != 1) {
      j.fail("a step must be an object of exactly one key");
    }
    const std::string kind = j.json().begin().key();
    const JsonAt body = j.at(kind.c_str());
    if (kind == "change") {
      return change(body);
    }
    if (kind == "render") {
      return render(body);
    }
    if (kind == "idle") {
      return IdleStep{static_cast<int>(body.integer(0, kMaxIdle))};
    }
    if (kind == "request_engine_update") {
      return EngineRequestStep{static_cast<int>(body.integer(0, 1))};
    }
    if (kind == "save") {
      return SaveStep{fileArgument(body)};
    }
    if (kind == "open") {
      return OpenStep{fileArgument(body)};
    }
    if (kind == "ui") {
      return ui(body);
    }
    if (kind == "delete_mask") {
      return deleteMask(body);
    }
    if (kind == "time") {
      return TimeStep{timeWithin(body)};
    }
    j.fail("unknown step " + quote(kind));
  }

  // The position of an effect in the stack of layer l, from 0.
  int effectIndex(const JsonAt& j, const LayerSpec& l) {
    const long long effects = static_cast<long long>(l.effects.size());
    const JsonAt effect = j.at("effect");
    if (effects == 0) {
      effect.fail("layer " + quote(l.name) + " has no effects");
    }
    return static_cast<int>(effect.integer(0, effects - 1));
  }

  UiStep ui(const JsonAt& j) {
    j.expectKeys({"layer", "effect"});
    UiStep u;
    u.layer = layerName(j.at("layer"));
    u.effect = effectIndex(j, layerByName(u.layer));
    return u;
  }

  DeleteMaskStep deleteMask(const JsonAt& j) {
    j.expectKeys({"layer", "mask"});
    DeleteMaskStep d;
    d.layer = layerName(j.at("layer"));
    const JsonAt mask = j.at("mask");
    d.mask = mask.name();
    const LayerSpec& l = layerByName(d.layer);
    if (std::none_of(l.masks.begin(), l.masks.end(),
                     [&](const MaskSpec& m) { return m.name == d.mask; })) {
      mask.fail(quote(d.mask) + " names no mask of layer " + quote(l.name));
    }
    return d;
  }

  double timeWithin(const JsonAt& j) {
    const double t = j.number();
    if (t < 0 || t > scene_.comp.duration) {
      j.fail("must lie within the composition (0 to " + formatSeconds(scene_.comp.duration) +
             " s)");
    }
    return t;
  }

  ChangeStep change(const JsonAt& j) {
    j.expectKeys({"layer", "effect", "param", "value"});
    ChangeStep c;
    c.layer = layerName(j.at("layer"));
    const LayerSpec& l = layerByName(c.layer);
    c.effect = effectIndex(j, l);
    c.param = static_cast<int>(j.at("param").integer(1, kMaxParamIndex));
    c.value = paramValue(j.at("value"), l);
    return c;
  }

  RenderStep render(const JsonAt& j) {
    j.expectKeys({"time", "from", "to", "downsample"});
    RenderStep r;
    if (j.has("time")) {
      r.time = timeWithin(j.at("time"));
    }
    if (j.has("from") || j.has("to")) {
      range(j, r);
    }
    if (j.has("downsample")) {
      const JsonAt d = j.at("downsample");
      if (!d.json().is_array() || d.size() != 2) {
        d.fail("must be [x, y]");
      }
      r.downsampleX = static_cast<A_long>(d[0].integer(1, kMaxDownsample));
      r.downsampleY = static_cast<A_long>(d[1].integer(1, kMaxDownsample));
    }
    return r;
  }

  // A range of frames: both ends, no single time, and at least one frame's time between them.
  void range(const JsonAt& j, RenderStep& r) {
    if (j.has("time")) {
      j.fail("give either \"time\" or \"from\" and \"to\", not both");
    }
    r.range = true;
    r.from = timeWithin(j.at("from"));
    const JsonAt to = j.at("to");
    r.to = timeWithin(to);
    if (r.to <= r.from) {
      to.fail("must be later than \"from\" (" + formatSeconds(r.from) + " s)");
    }
  }

  std::string fileArgument(const JsonAt& j) {
    if (j.json().is_object() && j.json().empty()) {
      return std::string();
    }
    if (!j.json().is_string()) {
      j.fail("must be a file path or {}");
    }
    return j.json().get<std::string>();
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
  return Parser(fileName).parse(JsonAt(root, KeyPath(fileName)));
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
