#include "TOLV_Mask/lights/LightLayer.h"

#include <cmath>
#include <limits>
#include <vector>

#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/OwnEffect.h"
#include "TOLV_Mask/lights/LightName.h"

namespace {

constexpr AEGP_LayerIDVal kNoLayerId = -1;

void SetIntensityZero(const ChangeContext& c, AEGP_LayerH light) {
  StreamRef intensity(c.status, c.suites.StreamSuite9());
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewLayerStream(
        pluginID, light, AEGP_LayerStream_INTENSITY, intensity.put());
  });
  AEGP_StreamValue2 zero = {};
  zero.streamH = intensity.get();
  zero.val.one_d = 0;
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_SetStreamValue(pluginID, intensity.get(), &zero);
  });
}

}  // namespace

AEGP_CompH LayerComp(const ChangeContext& c, AEGP_LayerH layer) {
  AEGP_CompH comp = nullptr;
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_GetLayerParentComp(layer, &comp); });
  return c.status.ok() ? comp : nullptr;
}

AEGP_LayerH CreateZeroLight(const ChangeContext& c, AEGP_CompH comp, const A_char* ending) {
  EffectNameBuffer effectName;
  ReadOwnEffectName(c, effectName);
  const std::vector<A_UTF16Char> name = LightName(effectName, ending);
  const A_FloatPoint origin = {0, 0};
  AEGP_LayerH light = nullptr;
  c.status.call([&] {
    return c.suites.CompSuite15()->AEGP_CreateLightInComp(comp, name.data(), &origin, &light);
  });
  if (!c.status.ok())
    return nullptr;
  c.status.call(
      [&] { return c.suites.LightSuite2()->AEGP_SetLightType(light, AEGP_LightType_POINT); });
  SetIntensityZero(c, light);
  return light;
}

AEGP_LayerH LayerFromId(const ChangeContext& c, AEGP_CompH comp, AEGP_LayerIDVal id) {
  AEGP_LayerH layer = nullptr;
  c.status.call(
      [&] { return c.suites.LayerSuite13()->AEGP_GetLayerFromLayerID(comp, id, &layer); });
  return c.status.ok() ? layer : nullptr;
}

bool IsLight(const ChangeContext& c, AEGP_LayerH layer) {
  AEGP_ObjectType type = AEGP_ObjectType_NONE;
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_GetLayerObjectType(layer, &type); });
  return c.status.ok() && type == AEGP_ObjectType_LIGHT;
}

void DeleteLayer(const ChangeContext& c, AEGP_LayerH layer) {
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_DeleteLayer(layer); });
}

AEGP_LayerIDVal SweepValueToLayerId(double value) {
  const double id = std::trunc(value);
  if (!(id >= std::numeric_limits<AEGP_LayerIDVal>::min() &&
        id <= std::numeric_limits<AEGP_LayerIDVal>::max()))
    return kNoLayerId;
  return static_cast<AEGP_LayerIDVal>(id);
}
