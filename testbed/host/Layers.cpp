// Composition timing, layers by id, parenting, lights, masks and idle hooks: the parts of the model
// the AEGP suites reach besides effects.
#include <algorithm>

#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

A_Time timeAt(double seconds, A_u_long scale, const char* what) {
  std::optional<A_Time> t = secondsToTime(seconds, scale);
  if (!t || seconds < 0)
    throw HostError(std::string("the composition's ") + what + " cannot be counted");
  return *t;
}

}  // namespace

void Host::setCompTiming(Comp& comp, double fps, double duration, double workStart,
                         double workDuration) {
  std::optional<A_u_long> scale = timeScaleForFps(fps);
  if (!scale)
    throw HostError("the frame rate " + std::to_string(fps) + " cannot be counted");
  comp.fps = fps;
  comp.timeScale = *scale;
  comp.duration = timeAt(duration, *scale, "duration");
  comp.workStart = timeAt(workStart, *scale, "work area start");
  comp.workDuration = timeAt(workDuration, *scale, "work area duration");
  comp.currentTime = A_Time{0, *scale};
}

Layer* Host::layerById(const Comp& comp, AEGP_LayerIDVal id) const {
  for (const auto& layer : comp.layers) {
    if (layer->id == id && id != 0)
      return layer.get();
  }
  return nullptr;
}

Layer* Host::parentOf(const Layer& layer) const {
  return layer.parentId ? layerById(*layer.comp, layer.parentId) : nullptr;
}

bool Host::setParent(Layer& layer, Layer* parent) {
  for (Layer* up = parent; up; up = parentOf(*up)) {
    if (up == &layer)
      return false;
  }
  if (parent && parent->comp != layer.comp)
    return false;
  layer.parentId = parent ? parent->id : 0;
  return true;
}

A_Matrix4 Host::layerToWorld(const Layer& layer, double seconds) const {
  std::vector<const Transform*> chain;
  // setParent refuses cycles; the bound keeps a damaged chain from looping anyway.
  const Layer* at = &layer;
  for (size_t n = 0; at && n <= layer.comp->layers.size(); ++n) {
    chain.push_back(&at->transform);
    at = parentOf(*at);
  }
  return tb::layerToWorld(chain, seconds);
}

Layer& Host::createLight(Comp& comp, const std::string& name, A_FloatPoint center) {
  auto layer = std::make_unique<Layer>();
  layer->id = project_.nextLayerId++;
  layer->name = name;
  layer->comp = &comp;
  layer->width = comp.width;
  layer->height = comp.height;
  layer->kind = LayerKind::Light;
  layer->lightType = AEGP_LightType_POINT;
  layer->flags |= AEGP_LayerFlag_LAYER_IS_3D;
  layer->transform.position = {center.x, center.y, 0};
  comp.layers.insert(comp.layers.begin(), std::move(layer));
  log_.lightsCreated.push_back(name);
  return *comp.layers.front();
}

void Host::deleteLayer(Layer& layer) {
  while (!layer.effects.empty())
    removeEffect(*layer.effects.back());
  Comp& comp = *layer.comp;
  for (auto& other : comp.layers) {
    if (other->parentId == layer.id)
      other->parentId = 0;
  }
  if (layer.kind == LayerKind::Light)
    log_.lightsDeleted.push_back(layer.name);
  auto it = std::find_if(comp.layers.begin(), comp.layers.end(),
                         [&](const auto& l) { return l.get() == &layer; });
  comp.layers.erase(it);
}

PF_PathID Host::addMask(Layer& layer, const std::string& name, const Outline& outline) {
  Mask mask;
  mask.id = project_.nextPathId++;
  mask.name = name;
  mask.outline = outline;
  layer.masks.push_back(std::move(mask));
  return layer.masks.back().id;
}

// Each hook runs as a command of its own, so that what it leaves held is reported with its status.
void Host::runIdle(int rounds) {
  for (int round = 0; round < rounds; ++round) {
    const std::vector<IdleHookEntry> hooks = idleHooks_;
    for (const IdleHookEntry& entry : hooks) {
      A_Err err = A_Err_NONE;
      A_long max_sleep = SentCommand::kDefaultMaxSleep;
      CommandReport report = runCommand({entry.module, nullptr}, "idle hook", [&] {
        err = entry.hook(entry.module ? entry.module->globalRefcon : nullptr, entry.refcon,
                         &max_sleep);
      });
      SentCommand sent;
      sent.matchName = entry.module ? entry.module->name() : std::string();
      sent.cmd = SentCommand::kIdleHook;
      sent.err = err;
      sent.maxSleep = max_sleep;
      sent.held = report.held;
      log_.sent.push_back(std::move(sent));
    }
  }
}

}  // namespace tb
