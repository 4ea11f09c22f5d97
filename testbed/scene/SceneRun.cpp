#include "testbed/scene/SceneRun.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "common/MeshSlot.h"
#include "testbed/host/EngineRequest.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamValues.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/world/Time.h"

namespace tb::scene {

namespace {

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

Layer& namedLayer(const Comp& comp, const std::string& name, const KeyPath& at) {
  Layer* layer = layerNamed(comp, name);
  if (!layer)
    at.key("layer").fail("\"" + name + "\" names no layer of the composition");
  return *layer;
}

Effect& stepEffect(const Comp& comp, const std::string& layerName, int effect, const KeyPath& at) {
  Layer& layer = namedLayer(comp, layerName, at);
  if (effect < 0 || static_cast<size_t>(effect) >= layer.effects.size())
    at.key("effect").fail("layer \"" + layerName + "\" has no effect " + std::to_string(effect));
  return *layer.effects[effect];
}

Effect& changedEffect(const Comp& comp, const ChangeStep& c, const KeyPath& at) {
  return stepEffect(comp, c.layer, c.effect, at);
}

void deleteMask(Host& host, const DeleteMaskStep& d, const KeyPath& at) {
  Layer& layer = namedLayer(theComp(host), d.layer, at);
  for (const Mask& mask : layer.masks) {
    if (mask.name == d.mask) {
      host.deleteMask(layer, mask.id);
      return;
    }
  }
  at.key("mask").fail("\"" + d.mask + "\" names no mask of layer \"" + d.layer + "\"");
}

void setTime(Host& host, const TimeStep& t, StepReport& report) {
  Comp& comp = const_cast<Comp&>(theComp(host));
  std::optional<A_Time> now = secondsToTime(t.time, comp.currentTime.scale);
  if (!now)
    throw HostError("the time cannot be counted");
  comp.currentTime = *now;
  report.time = t.time;
}

KeyPath stepPath(const SceneSpec& parsed, size_t i, const char* kind) {
  return KeyPath(parsed.file).key("steps").item(i).key(kind);
}

// As the user sets a control: the value, then the UI commands the host sends for it.
void change(Host& host, const ChangeStep& c, const KeyPath& at) {
  Effect& effect = changedEffect(theComp(host), c, at);
  setParam(host, effect, c.param, c.value, at.key("value"), true);
  host.userChangedParam(effect, c.param);
}

void render(Host& host, const RenderStep& r, A_Time t, StepReport& report) {
  Comp& comp = const_cast<Comp&>(theComp(host));
  // A single time is reported as the scene gives it, a frame of a range by its start.
  report.time = r.range ? timeToSeconds(t) : r.time;
  for (LayerFrame& frame : host.renderComp(comp, t, r.downsampleX, r.downsampleY)) {
    if (frame.frame)
      report.frames.emplace_back(frame.layer->name, std::move(*frame.frame));
  }
}

size_t frameCount(const std::vector<Step>& steps, const Comp& comp) {
  size_t total = 0;
  for (const Step& step : steps) {
    if (const auto* r = std::get_if<RenderStep>(&step))
      total += renderTimes(*r, comp).size();
  }
  return total;
}

template <class T>
std::vector<T> since(const std::vector<T>& all, size_t from) {
  return std::vector<T>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
}

// Every step but a render; `i` places it in the scene for messages.
void runOther(Host& host, const SceneSpec& parsed, const Step& step, size_t i,
              const std::string& scratchProject, StepReport& report) {
  if (const auto* c = std::get_if<ChangeStep>(&step)) {
    report.kind = "change";
    change(host, *c, stepPath(parsed, i, "change"));
  } else if (const auto* idle = std::get_if<IdleStep>(&step)) {
    report.kind = "idle";
    host.runIdle(idle->count);
  } else if (const auto* request = std::get_if<EngineRequestStep>(&step)) {
    report.kind = "request_engine_update";
    report.result = requestEngineUpdate(host, static_cast<A_Boolean>(request->pending));
  } else if (const auto* save = std::get_if<SaveStep>(&step)) {
    report.kind = "save";
    host.saveProject(save->path.empty() ? scratchProject : resolveScenePath(parsed, save->path));
  } else if (const auto* open = std::get_if<OpenStep>(&step)) {
    report.kind = "open";
    host.openProject(open->path.empty() ? scratchProject : resolveScenePath(parsed, open->path));
  } else if (const auto* ui = std::get_if<UiStep>(&step)) {
    report.kind = "ui";
    host.updateParamsUI(
        stepEffect(theComp(host), ui->layer, ui->effect, stepPath(parsed, i, "ui")));
  } else if (const auto* d = std::get_if<DeleteMaskStep>(&step)) {
    report.kind = "delete_mask";
    deleteMask(host, *d, stepPath(parsed, i, "delete_mask"));
  } else if (const auto* t = std::get_if<TimeStep>(&step)) {
    report.kind = "time";
    setTime(host, *t, report);
  }
}

// Runs one step through `act` and gathers what the host saw while it ran.
template <class Act>
StepReport runStep(Host& host, const Act& act) {
  const HostLog& log = host.log();
  const HostLog before = log;
  const size_t records = host.engineRecords().size();
  const size_t violations = host.ledger().violations().size();
  StepReport report;
  act(report);
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
  return report;
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

std::vector<A_Time> renderTimes(const RenderStep& r, const Comp& comp) {
  if (!r.range) {
    const std::optional<A_Time> t = secondsToTime(r.time, comp.timeScale);
    return t ? std::vector<A_Time>{*t} : std::vector<A_Time>{};
  }
  const A_Time frame = frameDuration(comp.fps);
  if (frame.value <= 0 || frame.scale == 0)
    return {};
  // Frame k starts at k frame durations; a tolerance keeps a range end given in seconds that
  // falls on a frame start from missing or gaining that frame by rounding.
  const double seconds = static_cast<double>(frame.value) / frame.scale;
  const double first = std::ceil(r.from / seconds - 1e-9);
  const double end = std::ceil(r.to / seconds - 1e-9);
  if (end * frame.value > static_cast<double>(std::numeric_limits<A_long>::max()))
    return {};
  std::vector<A_Time> times;
  for (double k = first; k < end; ++k)
    times.push_back({static_cast<A_long>(k) * frame.value, frame.scale});
  return times;
}

void checkSteps(Host& host, const Comp& comp, const SceneSpec& parsed) {
  for (size_t i = 0; i < parsed.steps.size(); ++i) {
    if (const auto* c = std::get_if<ChangeStep>(&parsed.steps[i])) {
      const KeyPath at = stepPath(parsed, i, "change");
      Effect& effect = changedEffect(comp, *c, at);
      setParam(host, effect, c->param, c->value, at.key("value"), false);
    } else if (const auto* r = std::get_if<RenderStep>(&parsed.steps[i])) {
      if (renderTimes(*r, comp).empty() || r->time < 0) {
        const KeyPath at = stepPath(parsed, i, "render");
        (r->range ? at : at.key("time"))
            .fail(r->range ? "no frame starts in the range" : "the time cannot be counted");
      }
    } else if (const auto* ui = std::get_if<UiStep>(&parsed.steps[i])) {
      stepEffect(comp, ui->layer, ui->effect, stepPath(parsed, i, "ui"));
    }
  }
}

std::vector<StepReport> runSteps(Host& host, const SceneSpec& parsed,
                                 const std::string& scratchProject, const FrameProgress& progress) {
  std::vector<Step> steps = parsed.steps;
  if (steps.empty())
    steps.push_back(RenderStep{});
  const size_t total = frameCount(steps, theComp(host));
  size_t done = 0;
  std::vector<StepReport> reports;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (const auto* r = std::get_if<RenderStep>(&steps[i])) {
      for (A_Time t : renderTimes(*r, theComp(host))) {
        reports.push_back(runStep(host, [&](StepReport& report) {
          report.kind = "render";
          render(host, *r, t, report);
        }));
        if (progress)
          progress(++done, total);
      }
      continue;
    }
    reports.push_back(runStep(host, [&](StepReport& report) {
      runOther(host, parsed, steps[i], i, scratchProject, report);
    }));
  }
  return reports;
}

}  // namespace tb::scene
