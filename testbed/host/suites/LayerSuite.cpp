// "AEGP Layer Suite" versions 12 and 13: layers of a composition, their flags, ids, parents and
// layer-to-world matrices.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

// Flags a plug-in may set; the rest describe the layer and are the host's.
constexpr AEGP_LayerFlags kSettableFlags =
    AEGP_LayerFlag_VIDEO_ACTIVE | AEGP_LayerFlag_AUDIO_ACTIVE | AEGP_LayerFlag_EFFECTS_ACTIVE |
    AEGP_LayerFlag_MOTION_BLUR | AEGP_LayerFlag_FRAME_BLENDING | AEGP_LayerFlag_LOCKED |
    AEGP_LayerFlag_SHY | AEGP_LayerFlag_LAYER_IS_3D;

bool isSingleFlag(AEGP_LayerFlags flag) {
  return flag != 0 && (flag & (flag - 1)) == 0;
}

A_Err AEGP_GetCompNumLayers(AEGP_CompH compH, A_long* num_layersPL) {
  TB_ENTER(num_layersPL);
  Comp* comp = compOf(compH);
  if (!comp || !num_layersPL)
    return A_Err_PARAMETER;
  *num_layersPL = static_cast<A_long>(comp->layers.size());
  return A_Err_NONE;
}

A_Err AEGP_GetCompLayerByIndex(AEGP_CompH compH, A_long layer_indexL, AEGP_LayerH* layerPH) {
  TB_ENTER(layerPH);
  Comp* comp = compOf(compH);
  if (!comp || !layerPH || layer_indexL < 0 ||
      static_cast<size_t>(layer_indexL) >= comp->layers.size())
    return A_Err_PARAMETER;
  *layerPH = reinterpret_cast<AEGP_LayerH>(comp->layers[layer_indexL].get());
  return A_Err_NONE;
}

A_Err AEGP_GetLayerSourceItem(AEGP_LayerH layerH, AEGP_ItemH* source_itemPH) {
  TB_ENTER(source_itemPH);
  Layer* layer = layerOf(layerH);
  if (!layer || !source_itemPH || !layer->source)
    return A_Err_PARAMETER;
  *source_itemPH = reinterpret_cast<AEGP_ItemH>(layer->source.get());
  return A_Err_NONE;
}

A_Err AEGP_GetLayerParentComp(AEGP_LayerH layerH, AEGP_CompH* compPH) {
  TB_ENTER(compPH);
  Layer* layer = layerOf(layerH);
  if (!layer || !compPH)
    return A_Err_PARAMETER;
  *compPH = reinterpret_cast<AEGP_CompH>(layer->comp);
  return A_Err_NONE;
}

A_Err AEGP_GetLayerFlags(AEGP_LayerH layerH, AEGP_LayerFlags* layer_flagsP) {
  TB_ENTER(layer_flagsP);
  Layer* layer = layerOf(layerH);
  if (!layer || !layer_flagsP)
    return A_Err_PARAMETER;
  *layer_flagsP = layer->flags;
  return A_Err_NONE;
}

A_Err AEGP_SetLayerFlag(AEGP_LayerH layerH, AEGP_LayerFlags single_flag, A_Boolean valueB) {
  TB_ENTER();
  Layer* layer = layerOf(layerH);
  if (!layer || !isSingleFlag(single_flag) || !(single_flag & kSettableFlags))
    return A_Err_PARAMETER;
  layer->flags = valueB ? (layer->flags | single_flag) : (layer->flags & ~single_flag);
  return A_Err_NONE;
}

// A time that cannot be turned into seconds (no scale) is refused rather than read as 0.
A_Err worldMatrix(AEGP_LayerH layerH, const A_Time* timeP, A_Matrix4* transform) {
  Layer* layer = layerOf(layerH);
  if (!layer || !timeP || !transform || timeP->scale == 0)
    return A_Err_PARAMETER;
  *transform = Host::current().layerToWorld(*layer, timeToSeconds(*timeP));
  return A_Err_NONE;
}

A_Err AEGP_GetLayerToWorldXform(AEGP_LayerH aegp_layerH, const A_Time* comp_timeP,
                                A_Matrix4* transform) {
  TB_ENTER(transform);
  return worldMatrix(aegp_layerH, comp_timeP, transform);
}

// The testbed has no camera, so the view does not move the world: the view time is checked and
// the matrix is that of the composition time.
A_Err AEGP_GetLayerToWorldXformFromView(AEGP_LayerH aegp_layerH, const A_Time* view_timeP,
                                        const A_Time* comp_timeP, A_Matrix4* transform) {
  TB_ENTER(transform);
  if (!view_timeP || view_timeP->scale == 0)
    return A_Err_PARAMETER;
  return worldMatrix(aegp_layerH, comp_timeP, transform);
}

A_Err AEGP_GetLayerID(AEGP_LayerH layerH, AEGP_LayerIDVal* id_valP) {
  TB_ENTER(id_valP);
  Layer* layer = layerOf(layerH);
  if (!layer || !id_valP)
    return A_Err_PARAMETER;
  *id_valP = layer->id;
  return A_Err_NONE;
}

// An id no layer of the composition has is not an error: the answer is no layer.
A_Err AEGP_GetLayerFromLayerID(AEGP_CompH parent_compH, AEGP_LayerIDVal id, AEGP_LayerH* layerPH) {
  TB_ENTER(layerPH);
  Comp* comp = compOf(parent_compH);
  if (!comp || !layerPH)
    return A_Err_PARAMETER;
  *layerPH = reinterpret_cast<AEGP_LayerH>(Host::current().layerById(*comp, id));
  return A_Err_NONE;
}

A_Err AEGP_SetLayerParent(AEGP_LayerH layerH, const AEGP_LayerH parent_layerH0) {
  TB_ENTER();
  Layer* layer = layerOf(layerH);
  Layer* parent = parent_layerH0 ? layerOf(parent_layerH0) : nullptr;
  if (!layer || (parent_layerH0 && !parent))
    return A_Err_PARAMETER;
  return Host::current().setParent(*layer, parent) ? A_Err_NONE : A_Err_PARAMETER;
}

A_Err AEGP_DeleteLayer(AEGP_LayerH layerH) {
  TB_ENTER();
  Layer* layer = layerOf(layerH);
  if (!layer)
    return A_Err_PARAMETER;
  // A layer whose effect is running cannot be taken from under it.
  Effect* running = Host::current().currentTarget().effect;
  if (running && lookup<Effect>(running) && running->layer == layer)
    return A_Err_PARAMETER;
  Host::current().deleteLayer(*layer);
  return A_Err_NONE;
}

A_Err AEGP_GetLayerObjectType(AEGP_LayerH layerH, AEGP_ObjectType* object_typeP) {
  TB_ENTER(object_typeP);
  Layer* layer = layerOf(layerH);
  if (!layer || !object_typeP)
    return A_Err_PARAMETER;
  *object_typeP = layer->kind == LayerKind::Light ? AEGP_ObjectType_LIGHT : AEGP_ObjectType_AV;
  return A_Err_NONE;
}

template <class Suite>
Suite layerSuite() {
  return {AEGP_GetCompNumLayers,     AEGP_GetCompLayerByIndex,
          AEGP_GetLayerSourceItem,   AEGP_GetLayerParentComp,
          AEGP_GetLayerFlags,        AEGP_SetLayerFlag,
          AEGP_GetLayerToWorldXform, AEGP_GetLayerToWorldXformFromView,
          AEGP_GetLayerID,           AEGP_GetLayerFromLayerID,
          AEGP_SetLayerParent,       AEGP_DeleteLayer,
          AEGP_GetLayerObjectType};
}

const AEGP_LayerSuite12 kLayer12 = layerSuite<AEGP_LayerSuite12>();
const AEGP_LayerSuite13 kLayer13 = layerSuite<AEGP_LayerSuite13>();

}  // namespace

void registerLayerSuites(SuiteTable& table) {
  table.add(kAEGPLayerSuite, 12, &kLayer12);
  table.add(kAEGPLayerSuite, 13, &kLayer13);
}

}  // namespace tb
