#include "TOLV_Mask/render/SourceGeometry.h"

#include "TOLV_Mask/Params.h"

namespace mask {

namespace {

float AxisScale(A_long source, A_long layer) {
  if (layer == 0)
    return 1.0f;
  return static_cast<float>(source) / static_cast<float>(layer);
}

// The layer that the colour "Source" parameter names, in the composition of the mask layer; null
// when it names none there. The effect, stream and value are given back at once.
AEGP_LayerH SourceLayer(HostStatus& status, const AEGP_SuiteHandler& suites,
                        AEGP_PluginID plugin_id, AEGP_LayerH mask_layer) {
  PF_ProgPtr effect_ref = status.in_data()->effect_ref;
  AEGP_CompH comp = nullptr;
  AEGP_LayerH source = nullptr;
  status.call([&] { return suites.LayerSuite13()->AEGP_GetLayerParentComp(mask_layer, &comp); });

  EffectRef effect(status, suites.EffectSuite2());
  StreamRef stream(status, suites.StreamSuite9());
  StreamValue value(status, suites.StreamSuite9());
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(plugin_id, effect_ref,
                                                                  effect.put());
  });
  status.call([&] {
    return suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(plugin_id, effect.get(),
                                                                 MASK_COLOR_SOURCE, stream.put());
  });
  const A_Time zero = {0, 1};
  value.read(plugin_id, stream.get(), AEGP_LTimeMode_LayerTime, zero, false);
  if (value.held()) {
    const AEGP_LayerIDVal id = value.value().val.layer_id;
    status.call([&] { return suites.LayerSuite13()->AEGP_GetLayerFromLayerID(comp, id, &source); });
  }
  return status.ok() ? source : nullptr;
}

}  // namespace

void InheritSourceGeometry(std::vector<point3>& vertices, const SourceGeometry& source,
                           A_long width, A_long height) {
  const float sx = AxisScale(source.width, width);
  const float sy = AxisScale(source.height, height);
  const A_Matrix4& m = source.toWorld;
  for (point3& v : vertices) {
    const double x = v.x * sx;
    const double y = v.y * sy;
    const double z = -v.z;
    const double X = x * m.mat[0][0] + y * m.mat[1][0] + z * m.mat[2][0] + m.mat[3][0];
    const double Y = x * m.mat[0][1] + y * m.mat[1][1] + z * m.mat[2][1] + m.mat[3][1];
    const double Z = x * m.mat[0][2] + y * m.mat[1][2] + z * m.mat[2][2] + m.mat[3][2];
    v = {static_cast<float>(X), static_cast<float>(Y), static_cast<float>(-Z)};
  }
}

bool FindSourceGeometry(HostStatus& status, const AEGP_SuiteHandler& suites,
                        AEGP_PluginID plugin_id, AEGP_LayerH mask_layer, SourceGeometry& source) {
  AEGP_LayerH layer = SourceLayer(status, suites, plugin_id, mask_layer);
  if (status.aborted() || !layer)
    return false;
  PF_InData* in_data = status.in_data();
  AEGP_ItemH item = nullptr;
  A_Time comp_time = {0, 1};
  status.call([&] { return suites.LayerSuite13()->AEGP_GetLayerSourceItem(layer, &item); });
  status.call([&] {
    return suites.ItemSuite13()->AEGP_GetItemDimensions(item, &source.width, &source.height);
  });
  status.call([&] {
    return suites.PFInterfaceSuite1()->AEGP_ConvertEffectToCompTime(
        in_data->effect_ref, in_data->current_time, in_data->time_scale, &comp_time);
  });
  status.call([&] {
    return suites.LayerSuite13()->AEGP_GetLayerToWorldXformFromView(layer, &comp_time, &comp_time,
                                                                    &source.toWorld);
  });
  return !status.aborted();
}

}  // namespace mask
