// The testbed's project model: compositions, layers, effect instances. Host handles given to
// plug-ins point at these objects (or at reference objects naming them); each carries a magic
// number and is listed in a registry of live objects while it exists, so that a handle of the
// wrong kind or a stale one is answered with an error instead of being followed.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "testbed/world/LayerKind.h"
#include "testbed/world/Outline.h"
#include "testbed/world/Transform.h"
#include "testbed/world/World.h"

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
  kItemMagic = 0x4954454D,       // 'ITEM'
  kMaskRefMagic = 0x4D524546,    // 'MREF'
  kPathMagic = 0x50415448,       // 'PATH'
  kSegPrepMagic = 0x53505250,    // 'SPRP'
  kAddKeysMagic = 0x414B4559,    // 'AKEY'
  kParamOutMagic = 0x50434B4F,   // 'PCKO'
  kMemHandleMagic = 0x4D454D48,  // 'MEMH'
};

// Base of every object a handle may point at: registered as live from construction to
// destruction. Objects are made at addresses never used before and never used again, so that a
// handle kept past its object's end (a removed effect, a deleted layer) never finds a newer object.
struct HostObject {
  explicit HostObject(uint32_t m);
  virtual ~HostObject();
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  static void* operator new(size_t size);
  static void* operator new(size_t, void* storage) { return storage; }
  static void operator delete(void* object, size_t size);
  uint32_t magic;
};

bool isLive(const void* object);
// What a live object is, as violations name it ("layer", "effect reference", ...); empty for an
// address that is no live host object.
std::string kindOf(const void* object);

// The object behind a handle when it is live and of kind T, else null.
template <class T>
T* lookup(const void* handle) {
  if (!handle || !isLive(handle))
    return nullptr;
  auto* object = static_cast<HostObject*>(const_cast<void*>(handle));
  return object->magic == T::kMagic ? static_cast<T*>(object) : nullptr;
}

// A parameter's value from a time on, in seconds of the layer's own time.
struct ParamKey {
  double seconds = 0;
  PF_ParamDef value;
};

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
  // Per parameter: its keys in time order; none for a parameter that does not change over time.
  std::vector<std::vector<ParamKey>> keys;
  // The flags QUERY_DYNAMIC_FLAGS last answered; until then the module's global flags.
  std::optional<std::pair<PF_OutFlags, PF_OutFlags2>> dynamicFlags;
};

// A project item: a composition's own item, the footage a layer shows, or a folder.
struct Item : HostObject {
  static constexpr uint32_t kMagic = kItemMagic;
  Item(AEGP_ItemType t, Comp* c, Layer* l) : HostObject(kMagic), type(t), comp(c), layer(l) {}
  AEGP_ItemType type;
  Comp* comp;    // the composition, or the one the footage's layer lies in; none for project items
  Layer* layer;  // footage: the layer whose pixels it is; none for project items
  std::string name;
  A_long width = 0;  // footage that no layer shows
  A_long height = 0;
};

// A mask of a layer; the path id stays with it for its whole life and is never 0.
struct Mask {
  PF_PathID id = 0;
  std::string name;
  Outline outline;
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
  LayerKind kind = LayerKind::Solid;
  Transform transform;
  bool positionKeyAtZero = false;  // the time-0 position is itself a keyframe
  AEGP_LayerIDVal parentId = 0;    // 0: no parent
  AEGP_LayerFlags flags = AEGP_LayerFlag_VIDEO_ACTIVE | AEGP_LayerFlag_EFFECTS_ACTIVE;
  std::vector<Mask> masks;
  std::optional<World> pixels;  // solids, images and gradients
  AEGP_LightType lightType = AEGP_LightType_NONE;
  double intensity = 100;        // percent, lights only
  std::unique_ptr<Item> source;  // the footage item; none for lights
  A_Time start{0, 1};            // where the layer starts in its composition
};

struct Comp : HostObject {
  static constexpr uint32_t kMagic = kCompMagic;
  Comp() : HostObject(kMagic) {}
  std::string name;
  A_long width = 0;
  A_long height = 0;
  std::vector<std::unique_ptr<Layer>> layers;  // top first
  double fps = 25;
  A_u_long timeScale = 2500;  // timeScaleForFps(fps)
  A_Time duration{0, 2500};
  A_Time workStart{0, 2500};
  A_Time workDuration{0, 2500};
  A_Time currentTime{0, 2500};
  std::unique_ptr<Item> item;
  std::vector<AEGP_LayerIDVal> selected;  // the layers selected in the composition
};

struct Project {
  std::vector<std::unique_ptr<Comp>> comps;
  AEGP_LayerIDVal nextLayerId = 1;
  PF_PathID nextPathId = 1;
  Item* activeItem = nullptr;
  std::vector<std::unique_ptr<Item>> items;  // footage and folders of the project panel
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
  enum Kind { kParam, kEffectGroup, kEffectsOfLayer, kLayerProperty };
  static constexpr uint32_t kMagic = kStreamRefMagic;
  StreamRefObject(Kind k, Effect* e, Layer* l, int i)
      : HostObject(kMagic), kind(k), effect(e), layer(l), index(i) {}
  Kind kind;
  Effect* effect;         // kParam, kEffectGroup
  Layer* layer;           // kEffectsOfLayer, kLayerProperty
  int index;              // kParam: the parameter index; kLayerProperty: the AEGP_LayerStream
  bool forValue = false;  // the stream held by a stream value
};

// An AEGP_MaskRefH: a mask of a layer, named by its path id so that a deleted mask shows.
struct MaskRefObject : HostObject {
  static constexpr uint32_t kMagic = kMaskRefMagic;
  MaskRefObject(Layer* l, PF_PathID i) : HostObject(kMagic), layer(l), id(i) {}
  Layer* layer;
  PF_PathID id;
};

// A PF_PathOutlinePtr: the outline of a mask checked out at one time, a copy of its own.
struct PathObject : HostObject {
  static constexpr uint32_t kMagic = kPathMagic;
  PathObject(Effect* e, PF_PathID i, OutlineShape s)
      : HostObject(kMagic), effect(e), id(i), shape(std::move(s)) {}
  Effect* effect;
  PF_PathID id;
  OutlineShape shape;
};

// A PF_PathSegPrepPtr: one segment of a checked-out outline prepared for length queries.
struct SegPrepObject : HostObject {
  static constexpr uint32_t kMagic = kSegPrepMagic;
  SegPrepObject(const PathObject* p, A_long s, SegmentLengths l)
      : HostObject(kMagic), path(p), segment(s), lengths(std::move(l)) {}
  const PathObject* path;
  A_long segment;
  SegmentLengths lengths;
};

// An AEGP_AddKeyframesInfoH: keyframes being added to a layer's position stream.
struct AddKeysObject : HostObject {
  static constexpr uint32_t kMagic = kAddKeysMagic;
  explicit AddKeysObject(Layer* l) : HostObject(kMagic), layer(l) {}
  Layer* layer;
  std::vector<double> times;  // seconds, in the order added
};

// A parameter checked out by an effect; a layer parameter's pixels live here until check-in.
struct CheckedOutParamObject : HostObject {
  static constexpr uint32_t kMagic = kParamOutMagic;
  explicit CheckedOutParamObject(const PF_ParamDef* p) : HostObject(kMagic), param(p) {}
  const PF_ParamDef* param;  // the record the effect passed, by address
  std::optional<World> pixels;
};

// An AEGP_MemHandle the host filled for a plug-in (a script's result or error text), owned by the
// host and held until disposed.
struct MemHandleObject : HostObject {
  static constexpr uint32_t kMagic = kMemHandleMagic;
  explicit MemHandleObject(std::string t) : HostObject(kMagic), text(std::move(t)) {}
  std::string text;  // with its terminator, as the plug-in reads it
};

// Index of the effect in its layer's stack, -1 when it is not there.
int effectIndex(const Effect& effect);

}  // namespace tb
