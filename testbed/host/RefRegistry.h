// The reference objects the host hands to plug-ins (effect and stream references, stream values,
// masks, checked-out paths and parameters, prepared segments, add-keyframes sessions). Each gets a
// serial, and the memory of a disposed one stays reserved for the host's life, so that a freed
// address never passes for a newer reference: a stale or doubled disposal finds nothing live.
#pragma once

#include <cstdint>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "testbed/host/Model.h"

namespace tb {

class RefRegistry {
 public:
  RefRegistry() = default;
  ~RefRegistry();
  RefRegistry(const RefRegistry&) = delete;
  RefRegistry& operator=(const RefRegistry&) = delete;

  template <class T, class... Args>
  T* make(Args&&... args) {
    void* storage = ::operator new(sizeof(T));
    T* ref = nullptr;
    try {
      ref = new (storage) T(std::forward<Args>(args)...);
    } catch (...) {
      ::operator delete(storage);
      throw;
    }
    live_[ref] = {++lastSerial_, ref, storage};
    return ref;
  }
  // Ends a live reference; false when ref is not one (stale, doubled or foreign).
  bool dispose(const void* ref);
  // Every live reference, in address order.
  template <class F>
  void forEach(F f) const {
    for (const auto& [key, entry] : live_)
      f(key);
  }
  // 0 when ref is not live.
  uint64_t serial(const void* ref) const;
  size_t liveCount() const { return live_.size(); }
  // Ends every live reference.
  void clear();

 private:
  struct Entry {
    uint64_t serial;
    HostObject* object;
    void* storage;
  };
  std::map<const void*, Entry> live_;
  std::vector<void*> retired_;  // storage of disposed references, never handed out again
  uint64_t lastSerial_ = 0;
};

}  // namespace tb
