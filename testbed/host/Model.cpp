#include "testbed/host/Model.h"

#include <cstdint>
#include <mutex>
#include <unordered_set>

#include "testbed/host/AddressArena.h"
#include "testbed/host/Sanitizer.h"

namespace tb {

namespace {
std::unordered_set<const void*>& registry() {
  static std::unordered_set<const void*> live;
  return live;
}

// Shared by every host the process runs in turn, and never destroyed: an object may outlive the
// host that made it only until its owner lets it go, after which its address stays unused.
AddressArena& modelArena() {
  static AddressArena* arena = new AddressArena();
  return *arena;
}

std::mutex& arenaLock() {
  static std::mutex lock;
  return lock;
}

// Objects lately found live, each in a place chosen by its address: a module sampling a layer or
// walking a path asks about the same few objects thousands of times, in turn, and often about one
// just made. An object takes its place when it is made and leaves it when it goes.
constexpr int kRecentBits = 4;
const void* recentlyFound[size_t{1} << kRecentBits] = {};

// The arena hands out addresses on coarse boundaries, so their low bits tell objects apart
// poorly; a multiplicative hash brings the high bits down.
const void*& recentPlace(const void* object) {
  const uint64_t mixed =
      static_cast<uint64_t>(reinterpret_cast<uintptr_t>(object)) * 0x9E3779B97F4A7C15ull;
  return recentlyFound[mixed >> (64 - kRecentBits)];
}
}  // namespace

void* HostObject::operator new(size_t size) {
  std::lock_guard<std::mutex> hold(arenaLock());
  return modelArena().take(size);
}

void HostObject::operator delete(void* object, size_t size) {
  std::lock_guard<std::mutex> hold(arenaLock());
  modelArena().give(object, size);
  // The address is never handed out again, so the sanitizer can keep catching a read through it.
  poison(object, size);
}

HostObject::HostObject(uint32_t m) : magic(m) {
  registry().insert(this);
  recentPlace(this) = this;
}

HostObject::~HostObject() {
  registry().erase(this);
  if (recentPlace(this) == this)
    recentPlace(this) = nullptr;
  magic = 0;
}

bool isLive(const void* object) {
  const void*& place = recentPlace(object);
  if (object && object == place)
    return true;
  if (registry().count(object) == 0)
    return false;
  place = object;
  return true;
}

std::string kindOf(const void* object) {
  if (!object || !isLive(object))
    return std::string();
  switch (static_cast<const HostObject*>(object)->magic) {
    case kEffectMagic:
      return "effect";
    case kLayerMagic:
      return "layer";
    case kCompMagic:
      return "composition";
    case kEffectRefMagic:
      return "effect reference";
    case kStreamRefMagic:
      return static_cast<const StreamRefObject*>(object)->forValue ? "stream value"
                                                                   : "stream reference";
    case kItemMagic:
      return "item";
    case kMaskRefMagic:
      return "mask reference";
    case kPathMagic:
      return "checked-out path";
    case kSegPrepMagic:
      return "prepared segment";
    case kAddKeysMagic:
      return "add-keyframes info";
    case kParamOutMagic:
      return "checked-out parameter";
    case kMemHandleMagic:
      return "memory handle";
    default:
      return "host object";
  }
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
