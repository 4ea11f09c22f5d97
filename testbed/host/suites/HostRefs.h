// Shared checks of the AEGP suites: the handles plug-ins pass in, resolved to live model objects.
#pragma once

#include "AE_GeneralPlug.h"
#include "testbed/host/Host.h"

namespace tb {

// The live object of kind T behind a handle a plug-in passed, or null. A handle that is not null
// but no live T (a stale or foreign address, an object of another kind, poison) is a violation of
// the call in progress, naming what was expected.
template <class T>
T* resolve(const void* handle, const char* what) {
  if (!handle)
    return nullptr;
  if (T* object = lookup<T>(handle))
    return object;
  Host::current().refusedHandle(handle, what);
  return nullptr;
}

// The same for a handle the call ends: null is no reference either.
template <class T>
T* resolveToEnd(const void* handle, const char* what) {
  if (!handle)
    Host::current().refusedHandle(handle, what);
  return resolve<T>(handle, what);
}

// The effect behind an effect reference, or null when the reference or its effect is gone.
inline Effect* effectOf(AEGP_EffectRefH ref) {
  EffectRefObject* object = resolve<EffectRefObject>(ref, "effect reference");
  return object ? lookup<Effect>(object->effect) : nullptr;
}

inline StreamRefObject* streamOf(AEGP_StreamRefH ref) {
  StreamRefObject* stream = resolve<StreamRefObject>(ref, "stream reference");
  if (!stream)
    return nullptr;
  bool of_layer = stream->kind == StreamRefObject::kEffectsOfLayer ||
                  stream->kind == StreamRefObject::kLayerProperty;
  bool owner_alive = of_layer ? lookup<Layer>(stream->layer) != nullptr
                              : lookup<Effect>(stream->effect) != nullptr;
  return owner_alive ? stream : nullptr;
}

// A stream of a layer's own property (position, intensity, ...) whose layer still exists.
inline StreamRefObject* asLayerStream(StreamRefObject* stream) {
  return stream && stream->kind == StreamRefObject::kLayerProperty ? stream : nullptr;
}

inline StreamRefObject* layerStreamOf(AEGP_StreamRefH ref) {
  return asLayerStream(streamOf(ref));
}

inline Layer* layerOf(AEGP_LayerH layerH) {
  return resolve<Layer>(layerH, "layer");
}

inline Comp* compOf(AEGP_CompH compH) {
  return resolve<Comp>(compH, "composition");
}

inline Item* itemOf(AEGP_ItemH itemH) {
  return resolve<Item>(itemH, "item");
}

// A parameter stream whose parameter still exists.
inline StreamRefObject* asParamStream(StreamRefObject* stream) {
  if (!stream || stream->kind != StreamRefObject::kParam)
    return nullptr;
  return static_cast<size_t>(stream->index) < stream->effect->params.size() ? stream : nullptr;
}

inline StreamRefObject* paramStreamOf(AEGP_StreamRefH ref) {
  return asParamStream(streamOf(ref));
}

inline Effect* effectOf(PF_ProgPtr effect_ref) {
  return resolve<Effect>(effect_ref, "effect");
}

// Ends a reference the call was given, once it was resolved as live.
inline A_Err disposeRefChecked(const void* ref, const char* what) {
  if (Host::current().disposeRef(ref))
    return A_Err_NONE;
  Host::current().refusedHandle(ref, what);
  return A_Err_PARAMETER;
}

}  // namespace tb
