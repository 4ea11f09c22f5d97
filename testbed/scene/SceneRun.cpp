#include "testbed/scene/SceneRun.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "common/MeshSlot.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamValues.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/world/Time.h"

namespace tb::scene {

namespace {

[[noreturn]] void fail(const SceneSpec& parsed, const std::string& path, const std::string& what) {
  sceneFault(parsed.file, path, what);
}

template <class T>
T field(const std::vector<unsigned char>& bytes, size_t offset) {
  T v;
  std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

std::optional<std::array<std::array<float, 3>, 2>> boundingBox(
    const std::vector<unsigned char>& bytes, int32_t count) {
  const int32_t valid = std::clamp<int32_t>(count, 0, kMaxTriangles);
  if (valid == 0)
    return std::nullopt;
  std::array<std::array<float, 3>, 2> box{};
  box[0].fill(0);
  box[1].fill(0);
  bool first = true;
  for (int32_t t = 0; t < valid; ++t) {
    const size_t base = static_cast<size_t>(t) * kTriangleBytes;
    for (size_t corner :
         {offsetof(triangle, vertexA), offsetof(triangle, vertexB), offsetof(triangle, vertexC)}) {
      const point3 p = field<point3>(bytes, base + corner);
      const float v[3] = {p.x, p.y, p.z};
      for (int a = 0; a < 3; ++a) {
        box[0][a] = first ? v[a] : std::min(box[0][a], v[a]);
        box[1][a] = first ? v[a] : std::max(box[1][a], v[a]);
      }
      first = false;
    }
  }
  return box;
}

const Comp& theComp(Host& host) {
  if (host.project().comps.empty())
    throw HostError("the project has no composition");
  return *host.project().comps.front();
}

Layer* layerNamed(const Comp& comp, const std::string& name) {
  for (const auto& layer : comp.layers) {
    if (layer->name == name)
      return layer.get();
  }
  return nullptr;
}

Layer& namedLayer(const Comp& comp, const std::string& name, const SceneSpec& parsed,
                  const std::string& path) {
  Layer* layer = layerNamed(comp, name);
  if (!layer)
    fail(parsed, path + ".layer", "\"" + name + "\" names no layer of the composition");
  return *layer;
}

Effect& stepEffect(const Comp& comp, const std::string& layerName, int effect,
                   const SceneSpec& parsed, const std::string& path) {
  Layer& layer = namedLayer(comp, layerName, parsed, path);
  if (effect < 0 || static_cast<size_t>(effect) >= layer.effects.size())
    fail(parsed, path + ".effect",
         "layer \"" + layerName + "\" has no effect " + std::to_string(effect));
  return *layer.effects[effect];
}

Effect& changedEffect(const Comp& comp, const ChangeStep& c, const SceneSpec& parsed,
                      const std::string& path) {
  return stepEffect(comp, c.layer, c.effect, parsed, path);
}

void deleteMask(Host& host, const DeleteMaskStep& d, const SceneSpec& parsed,
                const std::string& path) {
  Layer& layer = namedLayer(theComp(host), d.layer, parsed, path);
  for (const Mask& mask : layer.masks) {
    if (mask.name == d.mask) {
      host.deleteMask(layer, mask.id);
      return;
    }
  }
  fail(parsed, path + ".mask", "\"" + d.mask + "\" names no mask of layer \"" + d.layer + "\"");
}

void setTime(Host& host, const TimeStep& t, StepReport& report) {
  Comp& comp = const_cast<Comp&>(theComp(host));
  std::optional<A_Time> now = secondsToTime(t.time, comp.currentTime.scale);
  if (!now)
    throw HostError("the time cannot be counted");
  comp.currentTime = *now;
  report.time = t.time;
}

std::string stepPath(size_t i, const char* kind) {
  return "steps[" + std::to_string(i) + "]." + kind;
}

// As the user sets a control: the value, then the UI commands the host sends for it.
void change(Host& host, const ChangeStep& c, const SceneSpec& parsed, const std::string& path) {
  Effect& effect = changedEffect(theComp(host), c, parsed, path);
  setParam(host, effect, c.param, c.value, parsed, path + ".value", true);
  host.userChangedParam(effect, c.param);
}

void render(Host& host, const RenderStep& r, StepReport& report) {
  Comp& comp = const_cast<Comp&>(theComp(host));
  std::optional<A_Time> t = secondsToTime(r.time, comp.timeScale);
  if (!t)
    throw HostError("the render time cannot be counted");
  report.time = r.time;
  for (LayerFrame& frame : host.renderComp(comp, *t, r.downsampleX, r.downsampleY)) {
    if (frame.frame)
      report.frames.emplace_back(frame.layer->name, std::move(*frame.frame));
  }
}

template <class T>
std::vector<T> since(const std::vector<T>& all, size_t from) {
  return std::vector<T>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
}

}  // namespace

MeshReport readMeshRecord(const EngineRecord& record, size_t index) {
  const std::vector<unsigned char>& b = record.bytes;
  MeshReport m;
  if (const Effect* effect = lookup<Effect>(record.effect)) {
    m.layer = effect->layer ? effect->layer->name : std::string();
    m.effect = effectIndex(*effect);
  }
  m.record = index;
  m.slot = field<int32_t>(b, offsetof(MeshSlot, slotIndex));
  m.triangles = field<int32_t>(b, offsetof(MeshSlot, triangleCount));
  m.enabled = field<uint8_t>(b, offsetof(MeshSlot, meshEnabled)) != 0;
  m.uvRect = field<std::array<int32_t, 4>>(b, offsetof(MeshSlot, uvRect));
  m.color = field<std::array<uint8_t, 4>>(b, offsetof(MeshSlot, color));
  m.capFillFailed = field<uint8_t>(b, offsetof(MeshSlot, capFillFailed)) != 0;
  m.bbox = boundingBox(b, m.triangles);
  return m;
}

void checkSteps(Host& host, const Comp& comp, const SceneSpec& parsed) {
  for (size_t i = 0; i < parsed.steps.size(); ++i) {
    if (const auto* c = std::get_if<ChangeStep>(&parsed.steps[i])) {
      const std::string path = stepPath(i, "change");
      Effect& effect = changedEffect(comp, *c, parsed, path);
      setParam(host, effect, c->param, c->value, parsed, path + ".value", false);
    } else if (const auto* r = std::get_if<RenderStep>(&parsed.steps[i])) {
      if (!secondsToTime(r->time, comp.timeScale) || r->time < 0)
        fail(parsed, stepPath(i, "render") + ".time", "the time cannot be counted");
    } else if (const auto* ui = std::get_if<UiStep>(&parsed.steps[i])) {
      stepEffect(comp, ui->layer, ui->effect, parsed, stepPath(i, "ui"));
    }
  }
}

std::vector<StepReport> runSteps(Host& host, const SceneSpec& parsed,
                                 const std::string& scratchProject) {
  std::vector<Step> steps = parsed.steps;
  if (steps.empty())
    steps.push_back(RenderStep{});
  std::vector<StepReport> reports;
  for (size_t i = 0; i < steps.size(); ++i) {
    const HostLog& log = host.log();
    const HostLog before = log;
    const size_t records = host.engineRecords().size();
    const size_t violations = host.ledger().violations().size();
    StepReport report;
    if (const auto* c = std::get_if<ChangeStep>(&steps[i])) {
      report.kind = "change";
      change(host, *c, parsed, stepPath(i, "change"));
    } else if (const auto* r = std::get_if<RenderStep>(&steps[i])) {
      report.kind = "render";
      render(host, *r, report);
    } else if (const auto* idle = std::get_if<IdleStep>(&steps[i])) {
      report.kind = "idle";
      host.runIdle(idle->count);
    } else if (const auto* save = std::get_if<SaveStep>(&steps[i])) {
      report.kind = "save";
      host.saveProject(save->path.empty() ? scratchProject : resolveScenePath(parsed, save->path));
    } else if (const auto* open = std::get_if<OpenStep>(&steps[i])) {
      report.kind = "open";
      host.openProject(open->path.empty() ? scratchProject : resolveScenePath(parsed, open->path));
    } else if (const auto* ui = std::get_if<UiStep>(&steps[i])) {
      report.kind = "ui";
      host.updateParamsUI(
          stepEffect(theComp(host), ui->layer, ui->effect, parsed, stepPath(i, "ui")));
    } else if (const auto* d = std::get_if<DeleteMaskStep>(&steps[i])) {
      report.kind = "delete_mask";
      deleteMask(host, *d, parsed, stepPath(i, "delete_mask"));
    } else if (const auto* t = std::get_if<TimeStep>(&steps[i])) {
      report.kind = "time";
      setTime(host, *t, report);
    }
    report.status = since(log.sent, before.sent.size());
    report.scripts = since(log.scripts, before.scripts.size());
    report.alerts = since(log.alerts, before.alerts.size());
    report.commands = since(log.commands, before.commands.size());
    report.lightsCreated = since(log.lightsCreated, before.lightsCreated.size());
    report.lightsDeleted = since(log.lightsDeleted, before.lightsDeleted.size());
    report.paramUi = since(log.paramUi, before.paramUi.size());
    report.violations = since(host.ledger().violations(), violations);
    for (size_t r = records; r < host.engineRecords().size(); ++r)
      report.meshes.push_back(readMeshRecord(host.engineRecords()[r], r));
    reports.push_back(std::move(report));
  }
  return reports;
}

}  // namespace tb::scene
