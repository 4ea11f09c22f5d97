// "AEGP Keyframe Suite" version 4: position keyframes of layers.
//
// A layer's position stream has keys at increasing times; the time-0 position counts as a key once
// one has been added there. Key indices run from 0 over the keys in time order.
#include <algorithm>
#include <cmath>

#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

StreamRefObject* positionStreamOf(AEGP_StreamRefH streamH) {
  StreamRefObject* stream = layerStreamOf(streamH);
  return stream && stream->index == AEGP_LayerStream_POSITION ? stream : nullptr;
}

// Adds a key at `seconds` holding the position there (an existing key is kept); its index.
A_long addKey(Transform& t, bool& keyAtZero, double seconds) {
  if (seconds == 0) {
    keyAtZero = true;
    return 0;
  }
  const A_FloatPoint3 value = positionAt(t, seconds);
  auto it = std::lower_bound(t.positionKeys.begin(), t.positionKeys.end(), seconds,
                             [](const PositionKey& k, double s) { return k.time < s; });
  if (it == t.positionKeys.end() || it->time != seconds)
    it = t.positionKeys.insert(it, PositionKey{seconds, value});
  return static_cast<A_long>(it - t.positionKeys.begin()) + (keyAtZero ? 1 : 0);
}

A_Err AEGP_SetKeyframeValue(AEGP_StreamRefH streamH, AEGP_KeyframeIndex key_index,
                            const AEGP_StreamValue2* valueP) {
  TB_ENTER();
  StreamRefObject* stream = positionStreamOf(streamH);
  if (!stream || !valueP)
    return A_Err_PARAMETER;
  Layer& layer = *stream->layer;
  const A_long zero = layer.positionKeyAtZero ? 1 : 0;
  const A_long count = static_cast<A_long>(layer.transform.positionKeys.size()) + zero;
  if (key_index < 0 || key_index >= count)
    return A_Err_PARAMETER;
  const AEGP_ThreeDVal& v = valueP->val.three_d;
  const A_FloatPoint3 p{v.x, v.y, v.z};
  if (zero && key_index == 0)
    layer.transform.position = p;
  else
    layer.transform.positionKeys[key_index - zero].value = p;
  return A_Err_NONE;
}

A_Err AEGP_StartAddKeyframes(AEGP_StreamRefH streamH, AEGP_AddKeyframesInfoH* akPH) {
  TB_ENTER(akPH);
  StreamRefObject* stream = positionStreamOf(streamH);
  if (!stream || !akPH)
    return A_Err_PARAMETER;
  *akPH = reinterpret_cast<AEGP_AddKeyframesInfoH>(
      Host::current().newRef<AddKeysObject>("add-keyframes info", stream->layer));
  return A_Err_NONE;
}

// Layers start at composition time 0, so layer and composition times are the same. Keys before
// the start are refused.
A_Err AEGP_AddKeyframes(AEGP_AddKeyframesInfoH akH, AEGP_LTimeMode, const A_Time* timePT,
                        A_long* key_indexPL) {
  TB_ENTER(key_indexPL);
  AddKeysObject* adding = resolve<AddKeysObject>(akH, "add-keyframes info");
  if (!adding || !lookup<Layer>(adding->layer) || !timePT || !key_indexPL || timePT->scale == 0)
    return A_Err_PARAMETER;
  const double seconds = static_cast<double>(timePT->value) / timePT->scale;
  if (!std::isfinite(seconds) || seconds < 0)
    return A_Err_PARAMETER;
  adding->times.push_back(seconds);
  // The index is the one the key has once added; keys are added at the end of the batch.
  Transform probe = adding->layer->transform;
  bool probeAtZero = adding->layer->positionKeyAtZero;
  for (double t : adding->times)
    *key_indexPL = addKey(probe, probeAtZero, t);
  return A_Err_NONE;
}

A_Err AEGP_EndAddKeyframes(A_Boolean addB, AEGP_AddKeyframesInfoH akH) {
  TB_ENTER();
  AddKeysObject* adding = resolveToEnd<AddKeysObject>(akH, "add-keyframes info");
  if (!adding)
    return A_Err_PARAMETER;
  if (addB && lookup<Layer>(adding->layer)) {
    for (double t : adding->times)
      addKey(adding->layer->transform, adding->layer->positionKeyAtZero, t);
  }
  return disposeRefChecked(akH, "add-keyframes info");
}

const AEGP_KeyframeSuite4 kKeyframe4 = {
    AEGP_SetKeyframeValue,
    AEGP_StartAddKeyframes,
    AEGP_AddKeyframes,
    AEGP_EndAddKeyframes,
};

}  // namespace

void registerKeyframeSuites(SuiteTable& table) {
  table.add(kAEGPKeyframeSuite, 4, &kKeyframe4);
}

}  // namespace tb
