// "AEGP Stream Suite" version 9: effect parameter streams and their values.
#include "testbed/host/StreamValues.h"
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// Layer streams (transform, light properties) are not part of the testbed's model yet.
A_Err AEGP_GetNewLayerStream(AEGP_PluginID, AEGP_LayerH layerH, AEGP_LayerStream,
                             AEGP_StreamRefH* streamPH) {
  TB_ENTER();
  if (!lookup<Layer>(layerH) || !streamPH)
    return A_Err_PARAMETER;
  return A_Err_GENERIC;
}

A_Err AEGP_GetEffectNumParamStreams(AEGP_EffectRefH effect_refH, A_long* num_paramsPL) {
  TB_ENTER();
  Effect* effect = effectOf(effect_refH);
  if (!effect || !num_paramsPL)
    return A_Err_PARAMETER;
  *num_paramsPL = static_cast<A_long>(effect->params.size());
  return A_Err_NONE;
}

A_Err AEGP_GetNewEffectStreamByIndex(AEGP_PluginID, AEGP_EffectRefH effect_refH,
                                     PF_ParamIndex param_index, AEGP_StreamRefH* streamPH) {
  TB_ENTER();
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
  StreamRefObject* stream = lookup<StreamRefObject>(streamH);
  if (!stream || stream->forValue) {
    Host::current().ledger().violation("AEGP_DisposeStream: not a live stream reference");
    return A_Err_PARAMETER;
  }
  return disposeRefChecked(streamH, "AEGP_DisposeStream");
}

// Keyframes are not modelled: a parameter has one value at every time.
A_Err AEGP_GetNewStreamValue(AEGP_PluginID, AEGP_StreamRefH streamH, AEGP_LTimeMode,
                             const A_Time* timePT, A_Boolean, AEGP_StreamValue2* valueP) {
  TB_ENTER();
  StreamRefObject* stream = paramStreamOf(streamH);
  if (!stream || !timePT || !valueP || timePT->scale == 0)
    return A_Err_PARAMETER;
  AEGP_StreamVal2 val;
  if (!readStreamValue(*stream->effect, stream->index, &val))
    return A_Err_PARAMETER;
  StreamRefObject* held = Host::current().newRef<StreamRefObject>(
      "stream value", StreamRefObject::kParam, stream->effect, stream->layer, stream->index);
  held->forValue = true;
  valueP->streamH = reinterpret_cast<AEGP_StreamRefH>(held);
  valueP->val = val;
  return A_Err_NONE;
}

A_Err AEGP_DisposeStreamValue(AEGP_StreamValue2* valueP) {
  TB_ENTER();
  StreamRefObject* held = valueP ? lookup<StreamRefObject>(valueP->streamH) : nullptr;
  if (!held || !held->forValue) {
    Host::current().ledger().violation("AEGP_DisposeStreamValue: not a live stream value");
    return A_Err_PARAMETER;
  }
  return disposeRefChecked(valueP->streamH, "AEGP_DisposeStreamValue");
}

A_Err AEGP_SetStreamValue(AEGP_PluginID, AEGP_StreamRefH streamH, AEGP_StreamValue2* valueP) {
  TB_ENTER();
  StreamRefObject* stream = paramStreamOf(streamH);
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
