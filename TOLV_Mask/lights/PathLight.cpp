#include "TOLV_Mask/lights/PathLight.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/actions/OwnEffect.h"
#include "TOLV_Mask/lights/LightLayer.h"
#include "TOLV_Mask/lights/LightName.h"
#include "TOLV_Mask/lights/PathTime.h"

namespace {

constexpr double kNoSweepLayer = -1;

double RowDepth(const ChangeContext& c, A_long row) {
  return c.params[MaskDepthParam(row)]->u.fs_d.value;
}

void ReadCompTiming(const ChangeContext& c, AEGP_CompH comp, PathLight& light) {
  AEGP_ItemH item = nullptr;
  A_Time duration = {0, 1}, frame = {0, 1};
  c.status.call([&] { return c.suites.CompSuite15()->AEGP_GetItemFromComp(comp, &item); });
  c.status.call([&] {
    return c.suites.ItemSuite13()->AEGP_GetItemDimensions(item, &light.width, &light.height);
  });
  c.status.call([&] { return c.suites.ItemSuite13()->AEGP_GetItemDuration(item, &duration); });
  c.status.call([&] { return c.suites.CompSuite15()->AEGP_GetCompFrameDuration(comp, &frame); });
  if (c.status.ok())
    light.span = PathSpan(duration, frame);
}

void CreatePathLight(const ChangeContext& c, PathLight& light) {
  AEGP_CompH comp = LayerComp(c, EffectLayer(c));
  ReadCompTiming(c, comp, light);
  if (!c.status.ok())
    return;
  light.layer = CreateZeroLight(c, comp, kPathLightEnding);
  light.created = light.layer != nullptr;
  AEGP_LayerIDVal id = 0;
  c.status.call([&] { return c.suites.LayerSuite13()->AEGP_GetLayerID(light.layer, &id); });
  if (c.status.ok())
    SetParamValue(c, MASK_SWEEP_INDEX, id);
}

// After a copy of the effect to another composition the id may name a user's layer there: only a
// light is taken for the path light.
void DeletePathLight(const ChangeContext& c, AEGP_LayerIDVal id) {
  AEGP_CompH comp = LayerComp(c, EffectLayer(c));
  AEGP_LayerH layer = LayerFromId(c, comp, id);
  if (layer && IsLight(c, layer))
    DeleteLayer(c, layer);
  SetParamValue(c, MASK_SWEEP_INDEX, kNoSweepLayer);
}

// An AEGP_AddKeyframesInfoH: ended (keys added only when nothing failed) when the scope ends.
class AddingKeys {
 public:
  AddingKeys(const ChangeContext& c, AEGP_StreamRefH stream) : c_(c) {
    c_.status.call(
        [&] { return c_.suites.KeyframeSuite4()->AEGP_StartAddKeyframes(stream, &info_); });
    if (!c_.status.ok())
      info_ = nullptr;
  }
  ~AddingKeys() { end(); }
  AddingKeys(const AddingKeys&) = delete;
  AddingKeys& operator=(const AddingKeys&) = delete;

  AEGP_AddKeyframesInfoH get() const { return info_; }
  void end() {
    if (!info_)
      return;
    AEGP_AddKeyframesInfoH info = info_;
    info_ = nullptr;
    const A_Boolean add = c_.status.ok();
    c_.status.release([&] { return c_.suites.KeyframeSuite4()->AEGP_EndAddKeyframes(add, info); });
  }

 private:
  const ChangeContext& c_;
  AEGP_AddKeyframesInfoH info_ = nullptr;
};

void AddPositionKey(const ChangeContext& c, AEGP_LayerH layer, A_Time t,
                    const AEGP_ThreeDVal& position) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewLayerStream(pluginID, layer,
                                                           AEGP_LayerStream_POSITION, stream.put());
  });
  A_long key = 0;
  {
    AddingKeys adding(c, stream.get());
    c.status.call([&] {
      return c.suites.KeyframeSuite4()->AEGP_AddKeyframes(adding.get(), AEGP_LTimeMode_LayerTime,
                                                          &t, &key);
    });
  }
  AEGP_StreamValue2 value = {};
  value.streamH = stream.get();
  value.val.three_d = position;
  c.status.call(
      [&] { return c.suites.KeyframeSuite4()->AEGP_SetKeyframeValue(stream.get(), key, &value); });
}

}  // namespace

void PathLightStep(const ChangeContext& c, PathLight& light) {
  if (c.params[MASK_CREATE_LIGHT]->u.bd.value == 1) {
    CreatePathLight(c, light);
    return;
  }
  const A_long sweep = c.params[MASK_SWEEP_INDEX]->u.sd.value;
  if (sweep != -1)
    DeletePathLight(c, sweep);
}

void KeyPathLightRow(const ChangeContext& c, PathLight& light, A_long i, A_long rowsInUse) {
  if (i == 1) {
    light.firstDepth = RowDepth(c, 1);
    light.depthDiffers = false;
  }
  const double depth = RowDepth(c, i);
  const bool depthRises = RowDepth(c, 1) < RowDepth(c, rowsInUse);
  const A_Time t = RowKeyTime(light.span, i - 1, rowsInUse, depthRises);
  if (depth != light.firstDepth)
    light.depthDiffers = true;
  const AEGP_ThreeDVal position = {light.width * 0.5, light.height * 0.5, depth};
  AddPositionKey(c, light.layer, t, position);
}

void PathLightDepthCheck(const ChangeContext& c, const PathLight& light) {
  if (!light.created || light.depthDiffers)
    return;
  c.status.call([&] {
    return c.suites.UtilitySuite11()->AEGP_ExecuteScript(pluginID, kNoDepthAlert, true, nullptr,
                                                         nullptr);
  });
  StreamRef sweep(c.status, c.suites.StreamSuite9());
  StreamValue value(c.status, c.suites.StreamSuite9());
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, c.self,
                                                                   MASK_SWEEP_INDEX, sweep.put());
  });
  const A_Time now = {c.in_data->current_time, c.in_data->time_scale};
  value.read(pluginID, sweep.get(), AEGP_LTimeMode_LayerTime, now, false);
  const AEGP_LayerIDVal id = value.held() ? SweepValueToLayerId(value.value().val.one_d) : -1;
  value.reset();
  sweep.reset();
  AEGP_LayerH layer = LayerFromId(c, LayerComp(c, EffectLayer(c)), id);
  if (layer)
    DeleteLayer(c, layer);
  SetParamValue(c, MASK_SWEEP_INDEX, kNoSweepLayer);
  SetParamValue(c, MASK_CREATE_LIGHT, 0);
}
