// "AEGP Stream Suite" version 9: effect parameter streams and their values.
#include "testbed/host/ParamKeys.h"
#include "testbed/host/StreamValues.h"
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

// Layer streams: position (keyframable) and a light's intensity.
bool servesLayerStream(const Layer& layer, AEGP_LayerStream which) {
  return which == AEGP_LayerStream_POSITION ||
         (which == AEGP_LayerStream_INTENSITY && layer.kind == LayerKind::Light);
}

A_Err AEGP_GetNewLayerStream(AEGP_PluginID plugin_id, AEGP_LayerH layerH,
                             AEGP_LayerStream which_stream, AEGP_StreamRefH* streamPH) {
  TB_ENTER_AS(plugin_id, streamPH);
  Layer* layer = layerOf(layerH);
  if (!layer || !streamPH || !servesLayerStream(*layer, which_stream))
    return A_Err_PARAMETER;
  *streamPH = reinterpret_cast<AEGP_StreamRefH>(Host::current().newRef<StreamRefObject>(
      "stream ref", StreamRefObject::kLayerProperty, nullptr, layer, which_stream));
  return A_Err_NONE;
}

void readLayerStream(const Layer& layer, int which, double seconds, AEGP_StreamVal2* val) {
  if (which == AEGP_LayerStream_INTENSITY) {
    val->one_d = layer.intensity;
    return;
  }
  const A_FloatPoint3 p = positionAt(layer.transform, seconds);
  val->three_d = {p.x, p.y, p.z};
}

// Setting a keyed stream's value outside a keyframe is refused, as the host does.
bool writeLayerStream(Layer& layer, int which, const AEGP_StreamVal2& val) {
  if (which == AEGP_LayerStream_INTENSITY) {
    layer.intensity = val.one_d;
    return true;
  }
  if (!layer.transform.positionKeys.empty() || layer.positionKeyAtZero)
    return false;
  layer.transform.position = {val.three_d.x, val.three_d.y, val.three_d.z};
  return true;
}

A_Err AEGP_GetEffectNumParamStreams(AEGP_EffectRefH effect_refH, A_long* num_paramsPL) {
  TB_ENTER(num_paramsPL);
  Effect* effect = effectOf(effect_refH);
  if (!effect || !num_paramsPL)
    return A_Err_PARAMETER;
  *num_paramsPL = static_cast<A_long>(effect->params.size());
  return A_Err_NONE;
}

A_Err AEGP_GetNewEffectStreamByIndex(AEGP_PluginID plugin_id, AEGP_EffectRefH effect_refH,
                                     PF_ParamIndex param_index, AEGP_StreamRefH* streamPH) {
  TB_ENTER_AS(plugin_id, streamPH);
  Effect* effect = effectOf(effect_refH);
  if (!effect || !streamPH)
    return A_Err_PARAMETER;
  if (param_index < 0 || static_cast<size_t>(param_index) >= effect->params.size())
    return A_Err_PARAMETER;
  *streamPH = reinterpret_cast<AEGP_StreamRefH>(Host::current().newRef<StreamRefObject>(
      "stream ref", StreamRefObject::kParam, effect, effect->layer, param_index));
  return A_Err_NONE;
}

A_Err AEGP_DisposeStream(AEGP_StreamRefH streamH) {
  TB_ENTER();
  StreamRefObject* stream = resolveToEnd<StreamRefObject>(streamH, "stream reference");
  if (!stream)
    return A_Err_PARAMETER;
  if (stream->forValue) {
    Host::current().refusedHandle(streamH, "stream reference");
    return A_Err_PARAMETER;
  }
  return disposeRefChecked(streamH, "stream reference");
}

// An effect parameter's value is taken at the time asked for, in the layer's time or the
// composition's as the time mode says.
A_Err AEGP_GetNewStreamValue(AEGP_PluginID plugin_id, AEGP_StreamRefH streamH,
                             AEGP_LTimeMode time_mode, const A_Time* timePT, A_Boolean,
                             AEGP_StreamValue2* valueP) {
  TB_ENTER_AS(plugin_id, valueP);
  StreamRefObject* any = streamOf(streamH);
  StreamRefObject* stream = asParamStream(any);
  StreamRefObject* layerStream = asLayerStream(any);
  if ((!stream && !layerStream) || !timePT || !valueP || timePT->scale == 0)
    return A_Err_PARAMETER;
  AEGP_StreamVal2 val;
  if (layerStream) {
    readLayerStream(*layerStream->layer, layerStream->index, timeToSeconds(*timePT), &val);
    stream = layerStream;
  } else {
    const Effect& effect = *stream->effect;
    const double seconds = time_mode == AEGP_LTimeMode_CompTime && effect.layer
                               ? layerSeconds(*effect.layer, *timePT)
                               : timeToSeconds(*timePT);
    if (!readStreamValue(effect, stream->index, seconds, &val))
      return A_Err_PARAMETER;
  }
  StreamRefObject* held = Host::current().newRef<StreamRefObject>(
      "stream value", stream->kind, stream->effect, stream->layer, stream->index);
  held->forValue = true;
  valueP->streamH = reinterpret_cast<AEGP_StreamRefH>(held);
  valueP->val = val;
  return A_Err_NONE;
}

A_Err AEGP_DisposeStreamValue(AEGP_StreamValue2* valueP) {
  TB_ENTER();
  const AEGP_StreamRefH streamH = valueP ? valueP->streamH : nullptr;
  StreamRefObject* held = resolveToEnd<StreamRefObject>(streamH, "stream value");
  if (!held)
    return A_Err_PARAMETER;
  if (!held->forValue) {
    Host::current().refusedHandle(streamH, "stream value");
    return A_Err_PARAMETER;
  }
  return disposeRefChecked(streamH, "stream value");
}

A_Err AEGP_SetStreamValue(AEGP_PluginID plugin_id, AEGP_StreamRefH streamH,
                          AEGP_StreamValue2* valueP) {
  TB_ENTER_AS(plugin_id);
  StreamRefObject* any = streamOf(streamH);
  if (StreamRefObject* layerStream = asLayerStream(any)) {
    if (!valueP)
      return A_Err_PARAMETER;
    return writeLayerStream(*layerStream->layer, layerStream->index, valueP->val) ? A_Err_NONE
                                                                                  : A_Err_PARAMETER;
  }
  StreamRefObject* stream = asParamStream(any);
  if (!stream || !valueP)
    return A_Err_PARAMETER;
  return writeStreamValue(*stream->effect, stream->index, valueP->val) ? A_Err_NONE
                                                                       : A_Err_PARAMETER;
}

const AEGP_StreamSuite9 kStream9 = {
    AEGP_GetNewLayerStream, AEGP_GetEffectNumParamStreams, AEGP_GetNewEffectStreamByIndex,
    AEGP_DisposeStream,     AEGP_GetNewStreamValue,        AEGP_DisposeStreamValue,
    AEGP_SetStreamValue,
};

}  // namespace

void registerStreamSuites(SuiteTable& table) {
  table.add(kAEGPStreamSuite, 9, &kStream9);
}

}  // namespace tb
