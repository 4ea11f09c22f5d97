#include "testbed/host/Model.h"

#include <unordered_set>

namespace tb {

namespace {
std::unordered_set<const void*>& registry() {
  static std::unordered_set<const void*> live;
  return live;
}
}  // namespace

HostObject::HostObject(uint32_t m) : magic(m) {
  registry().insert(this);
}

HostObject::~HostObject() {
  registry().erase(this);
  magic = 0;
}

bool isLive(const void* object) {
  return registry().count(object) != 0;
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
