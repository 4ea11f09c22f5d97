// Compositions, layers and effect stacks, with the sequence commands the host sends as effects
// are applied, duplicated and removed.
#include <cstring>

#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamValues.h"

namespace tb {

Comp& Host::addComp(const std::string& name, A_long width, A_long height) {
  auto comp = std::make_unique<Comp>();
  comp->name = name;
  comp->width = width;
  comp->height = height;
  comp->item = std::make_unique<Item>(AEGP_ItemType_COMP, comp.get(), nullptr);
  project_.comps.push_back(std::move(comp));
  Comp& added = *project_.comps.back();
  setCompTiming(added, 25, 10, 0, 10);
  if (!project_.activeItem)
    project_.activeItem = added.item.get();
  return added;
}

Layer& Host::addLayer(Comp& comp, const std::string& name, A_long width, A_long height) {
  auto layer = std::make_unique<Layer>();
  layer->id = project_.nextLayerId++;
  layer->name = name;
  layer->comp = &comp;
  layer->width = width;
  layer->height = height;
  layer->source = std::make_unique<Item>(AEGP_ItemType_FOOTAGE, &comp, layer.get());
  comp.layers.push_back(std::move(layer));
  return *comp.layers.back();
}

CommandResult Host::sendToEffect(Effect& effect, PF_Cmd cmd, void* extra) {
  return send({effect.module, &effect}, cmd, nullptr, nullptr, extra);
}

CommandResult Host::sendToEffectAt(Effect& effect, PF_Cmd cmd, A_Time compTime, void* extra) {
  const std::optional<A_Time> outer = callTime_;
  callTime_ = compTime;
  CommandResult r = send({effect.module, &effect}, cmd, nullptr, nullptr, extra);
  callTime_ = outer;
  return r;
}

Effect& Host::applyEffect(Layer& layer, Module& module, CommandResult* setup) {
  if (!module.isEffect())
    throw HostError(module.path() + ": not an effect module");
  auto effect = std::make_unique<Effect>();
  effect->module = &module;
  effect->layer = &layer;
  initEffectParams(*effect);
  layer.effects.push_back(std::move(effect));
  Effect& applied = *layer.effects.back();
  CommandResult r = sendToEffect(applied, PF_Cmd_SEQUENCE_SETUP);
  if (setup)
    *setup = r;
  if (lookup<Effect>(&applied))
    queryDynamicFlags(applied);
  return applied;
}

Effect& Host::duplicateEffect(Effect& original, CommandResult* resetup) {
  Layer& layer = *original.layer;
  auto copy = std::make_unique<Effect>();
  copy->module = original.module;
  copy->layer = &layer;
  copy->params = original.params;
  copy->layerIds = original.layerIds;
  copy->streamFlags = original.streamFlags;
  copy->dynamicFlags = original.dynamicFlags;
  copy->keys = original.keys;
  copy->flatSize = original.flatSize;
  if (original.sequenceData) {
    A_u_longlong size = handleSize(original.sequenceData);
    copy->sequenceData = newHandle(size, original.module);
    if (!copy->sequenceData)
      throw HostError("no memory for the duplicate's sequence data");
    std::memcpy(*copy->sequenceData, *original.sequenceData, size);
  }
  auto at = layer.effects.begin() + effectIndex(original) + 1;
  Effect& dup = **layer.effects.insert(at, std::move(copy));
  CommandResult r = sendToEffect(dup, PF_Cmd_SEQUENCE_RESETUP);
  if (resetup)
    *resetup = r;
  return dup;
}

void Host::removeEffect(Effect& effect) {
  sendToEffect(effect, PF_Cmd_SEQUENCE_SETDOWN);
  Layer& layer = *effect.layer;
  layer.effects.erase(layer.effects.begin() + effectIndex(effect));
}

void Host::moveEffect(Effect& effect, int new_index) {
  auto& effects = effect.layer->effects;
  if (new_index < 0 || static_cast<size_t>(new_index) >= effects.size())
    throw HostError("effect index out of range");
  int from = effectIndex(effect);
  std::unique_ptr<Effect> moved = std::move(effects[from]);
  effects.erase(effects.begin() + from);
  effects.insert(effects.begin() + new_index, std::move(moved));
}

}  // namespace tb
