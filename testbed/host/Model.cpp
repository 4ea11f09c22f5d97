#include "testbed/host/Model.h"

#include <unordered_set>

namespace tb {

namespace {
std::unordered_set<const void*>& registry() {
  static std::unordered_set<const void*> live;
  return live;
}

// The object last found live: a module sampling a layer asks about the same effect thousands of
// times in a row. An object forgets it when it goes.
const void* lastFound = nullptr;
}  // namespace

HostObject::HostObject(uint32_t m) : magic(m) {
  registry().insert(this);
}

HostObject::~HostObject() {
  registry().erase(this);
  if (lastFound == this)
    lastFound = nullptr;
  magic = 0;
}

bool isLive(const void* object) {
  if (object && object == lastFound)
    return true;
  if (registry().count(object) == 0)
    return false;
  lastFound = object;
  return true;
}

int effectIndex(const Effect& effect) {
  if (!effect.layer)
    return -1;
  const auto& effects = effect.layer->effects;
  for (size_t i = 0; i < effects.size(); ++i) {
    if (effects[i].get() == &effect)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tb
