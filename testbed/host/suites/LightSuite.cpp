// "AEGP Light Suite" version 2: the type of a light layer.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

Layer* lightOf(AEGP_LayerH layerH) {
  Layer* layer = layerOf(layerH);
  return layer && layer->kind == LayerKind::Light ? layer : nullptr;
}

A_Err AEGP_GetLightType(AEGP_LayerH light_layerH, AEGP_LightType* light_typeP) {
  TB_ENTER(light_typeP);
  Layer* light = lightOf(light_layerH);
  if (!light || !light_typeP)
    return A_Err_PARAMETER;
  *light_typeP = light->lightType;
  return A_Err_NONE;
}

A_Err AEGP_SetLightType(AEGP_LayerH light_layerH, AEGP_LightType light_type) {
  TB_ENTER();
  Layer* light = lightOf(light_layerH);
  if (!light || light_type < AEGP_LightType_PARALLEL || light_type > AEGP_LightType_AMBIENT)
    return A_Err_PARAMETER;
  light->lightType = light_type;
  return A_Err_NONE;
}

const AEGP_LightSuite2 kLight2 = {AEGP_GetLightType, AEGP_SetLightType};

}  // namespace

void registerLightSuites(SuiteTable& table) {
  table.add(kAEGPLightSuite, 2, &kLight2);
}

}  // namespace tb
