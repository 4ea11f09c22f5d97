// Shared checks of the AEGP suites: the handles plug-ins pass in, resolved to live model objects.
#pragma once

#include "AE_GeneralPlug.h"
#include "testbed/host/Host.h"

namespace tb {

// The effect behind an effect reference, or null when the reference or its effect is gone.
inline Effect* effectOf(AEGP_EffectRefH ref) {
  EffectRefObject* object = lookup<EffectRefObject>(ref);
  return object ? lookup<Effect>(object->effect) : nullptr;
}

inline StreamRefObject* streamOf(AEGP_StreamRefH ref) {
  StreamRefObject* stream = lookup<StreamRefObject>(ref);
  if (!stream)
    return nullptr;
  bool of_layer = stream->kind == StreamRefObject::kEffectsOfLayer ||
                  stream->kind == StreamRefObject::kLayerProperty;
  bool owner_alive = of_layer ? lookup<Layer>(stream->layer) != nullptr
                              : lookup<Effect>(stream->effect) != nullptr;
  return owner_alive ? stream : nullptr;
}

// A stream of a layer's own property (position, intensity, ...) whose layer still exists.
inline StreamRefObject* layerStreamOf(AEGP_StreamRefH ref) {
  StreamRefObject* stream = streamOf(ref);
  return stream && stream->kind == StreamRefObject::kLayerProperty ? stream : nullptr;
}

inline Layer* layerOf(AEGP_LayerH layerH) {
  return lookup<Layer>(layerH);
}

inline Comp* compOf(AEGP_CompH compH) {
  return lookup<Comp>(compH);
}

inline Item* itemOf(AEGP_ItemH itemH) {
  return lookup<Item>(itemH);
}

// A parameter stream whose parameter still exists.
inline StreamRefObject* paramStreamOf(AEGP_StreamRefH ref) {
  StreamRefObject* stream = streamOf(ref);
  if (!stream || stream->kind != StreamRefObject::kParam)
    return nullptr;
  return static_cast<size_t>(stream->index) < stream->effect->params.size() ? stream : nullptr;
}

inline Effect* effectOf(PF_ProgPtr effect_ref) {
  return lookup<Effect>(effect_ref);
}

// Disposes a reference made for a plug-in; a stale or doubled disposal is a violation.
inline A_Err disposeRefChecked(const void* ref, const char* what) {
  if (Host::current().disposeRef(ref))
    return A_Err_NONE;
  Host::current().ledger().violation(std::string(what) + ": not a live reference");
  return A_Err_PARAMETER;
}

}  // namespace tb
