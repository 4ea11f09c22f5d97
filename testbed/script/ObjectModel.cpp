// The engine unwinds a thrown script error with longjmp, past any C++ destructor: every function
// the engine calls keeps only plain values on its own frame when it throws, and does its C++ work
// (strings, host calls that may throw) in helpers that have returned by then.
#include "testbed/script/ObjectModel.h"

#include <cmath>
#include <exception>
#include <string>

#include "testbed/host/Host.h"
#include "testbed/host/Module.h"
#include "testbed/host/StreamValues.h"

namespace tb {

namespace {

const char* const kTarget = DUK_HIDDEN_SYMBOL("target");
const char* const kIndex = DUK_HIDDEN_SYMBOL("index");
const char* const kHost = DUK_HIDDEN_SYMBOL("host");
const char* const kGone = "Object is invalid";

Host& hostOf(duk_context* ctx) {
  duk_push_global_stash(ctx);
  duk_get_prop_string(ctx, -1, kHost);
  auto* host = static_cast<Host*>(duk_get_pointer(ctx, -1));
  duk_pop_2(ctx);
  return *host;
}

void setHidden(duk_context* ctx, duk_idx_t object, const char* key, const void* target) {
  object = duk_normalize_index(ctx, object);
  duk_push_pointer(ctx, const_cast<void*>(target));
  duk_put_prop_string(ctx, object, key);
}

void* hiddenOf(duk_context* ctx, duk_idx_t object, const char* key) {
  if (!duk_is_object(ctx, object))
    return nullptr;
  duk_get_prop_string(ctx, object, key);
  void* p = duk_get_pointer(ctx, -1);
  duk_pop(ctx);
  return p;
}

template <class T>
T* thisAs(duk_context* ctx) {
  duk_push_this(ctx);
  void* p = hiddenOf(ctx, -1, kTarget);
  duk_pop(ctx);
  return lookup<T>(p);
}

void defineGetter(duk_context* ctx, duk_idx_t object, const char* name, duk_c_function getter) {
  object = duk_normalize_index(ctx, object);
  duk_push_string(ctx, name);
  duk_push_c_function(ctx, getter, 0);
  duk_def_prop(ctx, object, DUK_DEFPROP_HAVE_GETTER | DUK_DEFPROP_SET_ENUMERABLE);
}

void defineMethod(duk_context* ctx, duk_idx_t object, const char* name, duk_c_function method,
                  duk_idx_t nargs) {
  object = duk_normalize_index(ctx, object);
  duk_push_c_function(ctx, method, nargs);
  duk_put_prop_string(ctx, object, name);
}

void putString(duk_context* ctx, duk_idx_t object, const char* name, const std::string& value) {
  object = duk_normalize_index(ctx, object);
  duk_push_lstring(ctx, value.data(), value.size());
  duk_put_prop_string(ctx, object, name);
}

// A whole number from 1 to count at argument `arg`, else 0.
int oneBasedIndex(duk_context* ctx, duk_idx_t arg, size_t count) {
  if (!duk_is_number(ctx, arg))
    return 0;
  const double i = duk_get_number(ctx, arg);
  if (!(i >= 1 && i <= static_cast<double>(count)) || i != std::floor(i))
    return 0;
  return static_cast<int>(i);
}

// Parameters.

int paramIndexOfThis(duk_context* ctx) {
  duk_push_this(ctx);
  void* p = hiddenOf(ctx, -1, kIndex);
  duk_pop(ctx);
  return static_cast<int>(reinterpret_cast<intptr_t>(p));
}

int layerIndex(const Effect& effect, AEGP_LayerIDVal id) {
  const Comp* comp = effect.layer ? effect.layer->comp : nullptr;
  for (size_t i = 0; comp && id != 0 && i < comp->layers.size(); ++i) {
    if (comp->layers[i]->id == id)
      return static_cast<int>(i + 1);
  }
  return 0;
}

// Reads the script's value for parameter `index`; false when it has the wrong shape.
bool scriptValue(duk_context* ctx, const Effect& effect, int index, AEGP_StreamVal2* value) {
  *value = {};
  const PF_ParamType type = effect.params[index].param_type;
  if (duk_is_boolean(ctx, 0) && type == PF_Param_CHECKBOX) {
    value->one_d = duk_get_boolean(ctx, 0) ? 1 : 0;
    return true;
  }
  if (duk_is_number(ctx, 0)) {
    const double v = duk_get_number(ctx, 0);
    if (type != PF_Param_LAYER) {
      value->one_d = v;
      return std::isfinite(v);
    }
    const Comp* comp = effect.layer ? effect.layer->comp : nullptr;
    if (!comp || v != std::floor(v) || v < 0 || v > static_cast<double>(comp->layers.size()))
      return false;
    value->layer_id = v == 0 ? 0 : comp->layers[static_cast<size_t>(v) - 1]->id;
    return true;
  }
  if (!duk_is_array(ctx, 0))
    return false;
  const duk_size_t length = duk_get_length(ctx, 0);
  double v[4] = {0, 0, 0, 1};
  for (duk_size_t k = 0; k < length && k < 4; ++k) {
    duk_get_prop_index(ctx, 0, static_cast<duk_uarridx_t>(k));
    v[k] = duk_is_number(ctx, -1) ? duk_get_number(ctx, -1) : NAN;
    duk_pop(ctx);
    if (!std::isfinite(v[k]))
      return false;
  }
  if (type == PF_Param_POINT && length == 2) {
    value->two_d = {v[0], v[1]};
    return true;
  }
  if (type == PF_Param_COLOR && (length == 3 || length == 4)) {
    value->color = {v[3], v[0], v[1], v[2]};
    return true;
  }
  return false;
}

duk_ret_t paramSetValue(duk_context* ctx) {
  Effect* effect = thisAs<Effect>(ctx);
  const int index = paramIndexOfThis(ctx);
  if (!effect || index < 1 || static_cast<size_t>(index) >= effect->params.size())
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  AEGP_StreamVal2 value;
  if (!scriptValue(ctx, *effect, index, &value) || !writeStreamValue(*effect, index, value))
    return duk_error(ctx, DUK_ERR_TYPE_ERROR, "Value is not valid for property %d", index);
  return 0;
}

duk_ret_t paramValue(duk_context* ctx) {
  Effect* effect = thisAs<Effect>(ctx);
  const int index = paramIndexOfThis(ctx);
  if (!effect || index < 1 || static_cast<size_t>(index) >= effect->params.size())
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  AEGP_StreamVal2 v;
  if (!readStreamValue(*effect, index, &v)) {
    duk_push_undefined(ctx);
    return 1;
  }
  switch (effect->params[index].param_type) {
    case PF_Param_LAYER:
      duk_push_int(ctx, layerIndex(*effect, v.layer_id));
      return 1;
    case PF_Param_POINT:
      duk_push_array(ctx);
      duk_push_number(ctx, v.two_d.x);
      duk_put_prop_index(ctx, -2, 0);
      duk_push_number(ctx, v.two_d.y);
      duk_put_prop_index(ctx, -2, 1);
      return 1;
    case PF_Param_COLOR: {
      const double rgba[4] = {v.color.redF, v.color.greenF, v.color.blueF, v.color.alphaF};
      duk_push_array(ctx);
      for (duk_uarridx_t k = 0; k < 4; ++k) {
        duk_push_number(ctx, rgba[k]);
        duk_put_prop_index(ctx, -2, k);
      }
      return 1;
    }
    default:
      duk_push_number(ctx, v.one_d);
      return 1;
  }
}

void pushParam(duk_context* ctx, const Effect& effect, int index) {
  duk_push_object(ctx);
  setHidden(ctx, -1, kTarget, &effect);
  setHidden(ctx, -1, kIndex, reinterpret_cast<void*>(static_cast<intptr_t>(index)));
  putString(ctx, -1, "name", effect.params[index].name);
  defineGetter(ctx, -1, "value", paramValue);
  defineMethod(ctx, -1, "setValue", paramSetValue, 1);
}

// Effects.

duk_ret_t effectNumProperties(duk_context* ctx) {
  Effect* effect = thisAs<Effect>(ctx);
  if (!effect)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  duk_push_uint(ctx, static_cast<duk_uint_t>(effect->params.size() - 1));
  return 1;
}

duk_ret_t effectProperty(duk_context* ctx) {
  Effect* effect = thisAs<Effect>(ctx);
  if (!effect)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  const int index = oneBasedIndex(ctx, 0, effect->params.size() - 1);
  if (index == 0) {
    duk_push_null(ctx);
    return 1;
  }
  pushParam(ctx, *effect, index);
  return 1;
}

bool moveEffect(Host& host, Effect& effect, int index) {
  try {
    host.moveEffect(effect, index);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

duk_ret_t effectMoveTo(duk_context* ctx) {
  Effect* effect = thisAs<Effect>(ctx);
  if (!effect || effectIndex(*effect) < 0)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  const int index = oneBasedIndex(ctx, 0, effect->layer->effects.size());
  if (index == 0 || !moveEffect(hostOf(ctx), *effect, index - 1))
    return duk_error(ctx, DUK_ERR_RANGE_ERROR, "Value %s out of range 1 to %d",
                     duk_safe_to_string(ctx, 0), static_cast<int>(effect->layer->effects.size()));
  return 0;
}

void pushEffect(duk_context* ctx, const Effect& effect) {
  duk_push_object(ctx);
  setHidden(ctx, -1, kTarget, &effect);
  putString(ctx, -1, "matchName", effect.module->matchName());
  putString(ctx, -1, "name", effect.module->name());
  defineGetter(ctx, -1, "numProperties", effectNumProperties);
  defineMethod(ctx, -1, "property", effectProperty, 1);
  defineMethod(ctx, -1, "moveTo", effectMoveTo, 1);
}

// A layer's effect group.

Layer* groupLayer(duk_context* ctx, duk_idx_t group) {
  return lookup<Layer>(hiddenOf(ctx, group, kTarget));
}

duk_ret_t pushEffectAt(duk_context* ctx, Layer* layer) {
  if (!layer)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  const int index = oneBasedIndex(ctx, 0, layer->effects.size());
  if (index == 0) {
    duk_push_null(ctx);
    return 1;
  }
  pushEffect(ctx, *layer->effects[static_cast<size_t>(index) - 1]);
  return 1;
}

// Effects(i): the group called as a function.
duk_ret_t effectsCall(duk_context* ctx) {
  duk_push_current_function(ctx);
  Layer* layer = groupLayer(ctx, -1);
  duk_pop(ctx);
  return pushEffectAt(ctx, layer);
}

duk_ret_t effectsProperty(duk_context* ctx) {
  duk_push_this(ctx);
  Layer* layer = groupLayer(ctx, -1);
  duk_pop(ctx);
  return pushEffectAt(ctx, layer);
}

duk_ret_t effectsNumProperties(duk_context* ctx) {
  duk_push_this(ctx);
  Layer* layer = groupLayer(ctx, -1);
  duk_pop(ctx);
  if (!layer)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  duk_push_uint(ctx, static_cast<duk_uint_t>(layer->effects.size()));
  return 1;
}

// Null when no loaded module has the match name or the host could not apply it.
Effect* applyByMatchName(Host& host, Layer& layer, const char* matchName) {
  try {
    Module* module = host.moduleByMatchName(matchName);
    return module ? &host.applyEffect(layer, *module) : nullptr;
  } catch (const std::exception&) {
    return nullptr;
  }
}

duk_ret_t effectsAddProperty(duk_context* ctx) {
  duk_push_this(ctx);
  Layer* layer = groupLayer(ctx, -1);
  duk_pop(ctx);
  if (!layer)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  const char* name = duk_get_string(ctx, 0);
  Effect* added = name ? applyByMatchName(hostOf(ctx), *layer, name) : nullptr;
  if (!added || !lookup<Effect>(added))
    return duk_error(ctx, DUK_ERR_ERROR, "Can not add a property with name \"%s\" to this group",
                     duk_safe_to_string(ctx, 0));
  pushEffect(ctx, *added);
  return 1;
}

void pushEffectsGroup(duk_context* ctx, const Layer& layer) {
  duk_push_c_function(ctx, effectsCall, 1);
  setHidden(ctx, -1, kTarget, &layer);
  defineGetter(ctx, -1, "numProperties", effectsNumProperties);
  defineMethod(ctx, -1, "property", effectsProperty, 1);
  defineMethod(ctx, -1, "addProperty", effectsAddProperty, 1);
}

// Layers.

duk_ret_t layerEffects(duk_context* ctx) {
  Layer* layer = thisAs<Layer>(ctx);
  if (!layer)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  if (layer->kind == LayerKind::Light)
    duk_push_null(ctx);
  else
    pushEffectsGroup(ctx, *layer);
  return 1;
}

void pushLayer(duk_context* ctx, const Layer& layer) {
  duk_push_object(ctx);
  setHidden(ctx, -1, kTarget, &layer);
  putString(ctx, -1, "name", layer.name);
  defineGetter(ctx, -1, "Effects", layerEffects);
}

// Items.

Comp* thisComp(duk_context* ctx) {
  Item* item = thisAs<Item>(ctx);
  return item && item->type == AEGP_ItemType_COMP ? lookup<Comp>(item->comp) : nullptr;
}

duk_ret_t compNumLayers(duk_context* ctx) {
  Comp* comp = thisComp(ctx);
  if (!comp)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  duk_push_uint(ctx, static_cast<duk_uint_t>(comp->layers.size()));
  return 1;
}

duk_ret_t compLayer(duk_context* ctx) {
  Comp* comp = thisComp(ctx);
  if (!comp)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  const int index = oneBasedIndex(ctx, 0, comp->layers.size());
  if (index == 0)
    return duk_error(ctx, DUK_ERR_RANGE_ERROR, "Value %s out of range 1 to %d",
                     duk_safe_to_string(ctx, 0), static_cast<int>(comp->layers.size()));
  pushLayer(ctx, *comp->layers[static_cast<size_t>(index) - 1]);
  return 1;
}

duk_ret_t compSelectedLayers(duk_context* ctx) {
  Comp* comp = thisComp(ctx);
  if (!comp)
    return duk_error(ctx, DUK_ERR_REFERENCE_ERROR, kGone);
  duk_push_array(ctx);
  duk_uarridx_t n = 0;
  for (AEGP_LayerIDVal id : comp->selected) {
    if (const Layer* layer = hostOf(ctx).layerById(*comp, id)) {
      pushLayer(ctx, *layer);
      duk_put_prop_index(ctx, -2, n++);
    }
  }
  return 1;
}

const char* itemTypeName(AEGP_ItemType type) {
  switch (type) {
    case AEGP_ItemType_COMP:
      return "Composition";
    case AEGP_ItemType_FOLDER:
      return "Folder";
    default:
      return "Footage";
  }
}

void pushItem(duk_context* ctx, const Item& item) {
  duk_push_object(ctx);
  setHidden(ctx, -1, kTarget, &item);
  duk_push_string(ctx, itemTypeName(item.type));
  duk_put_prop_string(ctx, -2, "typeName");
  if (item.type != AEGP_ItemType_COMP) {
    putString(ctx, -1, "name", item.name);
    return;
  }
  putString(ctx, -1, "name", item.comp->name);
  defineGetter(ctx, -1, "numLayers", compNumLayers);
  defineGetter(ctx, -1, "selectedLayers", compSelectedLayers);
  defineMethod(ctx, -1, "layer", compLayer, 1);
}

duk_ret_t projectActiveItem(duk_context* ctx) {
  const Item* item = lookup<Item>(hostOf(ctx).project().activeItem);
  if (item)
    pushItem(ctx, *item);
  else
    duk_push_null(ctx);
  return 1;
}

void logAlert(Host& host, const char* text) {
  host.log().alerts.push_back(text);
}

duk_ret_t alert(duk_context* ctx) {
  logAlert(hostOf(ctx), duk_safe_to_string(ctx, 0));
  return 0;
}

}  // namespace

void installObjectModel(duk_context* ctx, Host& host) {
  duk_push_global_stash(ctx);
  setHidden(ctx, -1, kHost, &host);
  duk_pop(ctx);

  duk_push_global_object(ctx);
  duk_push_object(ctx);  // app
  duk_push_object(ctx);  // app.project
  defineGetter(ctx, -1, "activeItem", projectActiveItem);
  duk_put_prop_string(ctx, -2, "project");
  duk_put_prop_string(ctx, -2, "app");
  defineMethod(ctx, -1, "alert", alert, 1);
  duk_pop(ctx);
}

}  // namespace tb
