// The testbed's project model: compositions, layers, effect instances. Host handles given to
// plug-ins point at these objects (or at reference objects naming them); each carries a magic
// number and is listed in a registry of live objects while it exists, so that a handle of the
// wrong kind or a stale one is answered with an error instead of being followed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"

namespace tb {

class Module;
struct Layer;
struct Comp;

enum Magic : uint32_t {
  kEffectMagic = 0x45464654,     // 'EFFT'
  kLayerMagic = 0x4C415952,      // 'LAYR'
  kCompMagic = 0x434F4D50,       // 'COMP'
  kEffectRefMagic = 0x45524546,  // 'EREF'
  kStreamRefMagic = 0x53524546,  // 'SREF'
};

// Base of every object a handle may point at: registered as live from construction to
// destruction.
struct HostObject {
  explicit HostObject(uint32_t m);
  virtual ~HostObject();
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  uint32_t magic;
};

bool isLive(const void* object);

// The object behind a handle when it is live and of kind T, else null.
template <class T>
T* lookup(const void* handle) {
  if (!handle || !isLive(handle))
    return nullptr;
  auto* object = static_cast<HostObject*>(const_cast<void*>(handle));
  return object->magic == T::kMagic ? static_cast<T*>(object) : nullptr;
}

struct Effect : HostObject {
  static constexpr uint32_t kMagic = kEffectMagic;
  Effect() : HostObject(kMagic) {}
  Module* module = nullptr;
  Layer* layer = nullptr;
  PF_Handle sequenceData = nullptr;
  A_long flatSize = 0;              // flat_sdata_size the module declared
  std::vector<PF_ParamDef> params;  // current values; index 0 is the input layer
  // Per parameter: the chosen layer's id for layer parameters (0: none), and the dynamic stream
  // flags (hidden, disabled, ...).
  std::vector<AEGP_LayerIDVal> layerIds;
  std::vector<AEGP_DynStreamFlags> streamFlags;
};

struct Layer : HostObject {
  static constexpr uint32_t kMagic = kLayerMagic;
  Layer() : HostObject(kMagic) {}
  AEGP_LayerIDVal id = 0;
  std::string name;
  Comp* comp = nullptr;
  A_long width = 0;
  A_long height = 0;
  std::vector<std::unique_ptr<Effect>> effects;  // top of the stack first
};

struct Comp : HostObject {
  static constexpr uint32_t kMagic = kCompMagic;
  Comp() : HostObject(kMagic) {}
  std::string name;
  A_long width = 0;
  A_long height = 0;
  std::vector<std::unique_ptr<Layer>> layers;  // top first
};

struct Project {
  std::vector<std::unique_ptr<Comp>> comps;
  AEGP_LayerIDVal nextLayerId = 1;
};

// An AEGP_EffectRefH: the host's reference to an effect on a layer, disposed by the plug-in.
struct EffectRefObject : HostObject {
  static constexpr uint32_t kMagic = kEffectRefMagic;
  explicit EffectRefObject(Effect* e) : HostObject(kMagic), effect(e) {}
  Effect* effect;
};

// An AEGP_StreamRefH: a parameter of an effect, the effect itself (the parameters' group), or a
// layer's effect group.
struct StreamRefObject : HostObject {
  enum Kind { kParam, kEffectGroup, kEffectsOfLayer };
  static constexpr uint32_t kMagic = kStreamRefMagic;
  StreamRefObject(Kind k, Effect* e, Layer* l, int i)
      : HostObject(kMagic), kind(k), effect(e), layer(l), index(i) {}
  Kind kind;
  Effect* effect;         // kParam, kEffectGroup
  Layer* layer;           // kEffectsOfLayer
  int index;              // kParam: the parameter index
  bool forValue = false;  // the stream held by a stream value
};

// Index of the effect in its layer's stack, -1 when it is not there.
int effectIndex(const Effect& effect);

}  // namespace tb
