#include "testbed/host/RefRegistry.h"

namespace tb {

RefRegistry::~RefRegistry() {
  clear();
  for (void* storage : retired_)
    ::operator delete(storage);
}

bool RefRegistry::dispose(const void* ref) {
  auto it = live_.find(ref);
  if (it == live_.end())
    return false;
  Entry entry = it->second;
  live_.erase(it);
  entry.object->~HostObject();
  retired_.push_back(entry.storage);
  return true;
}

uint64_t RefRegistry::serial(const void* ref) const {
  auto it = live_.find(ref);
  return it == live_.end() ? 0 : it->second.serial;
}

void RefRegistry::clear() {
  while (!live_.empty())
    dispose(live_.begin()->first);
}

}  // namespace tb
