#include "TOLV_Mask/actions/EffectStreams.h"

#include "TOLV_Mask/Skeleton.h"

namespace {

void GetParamStream(const ChangeContext& c, PF_ParamIndex index, StreamRef& stream) {
  c.status.call([&] {
    return c.suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, c.self, index,
                                                                   stream.put());
  });
}

bool StreamHidden(const ChangeContext& c, const StreamRef& stream) {
  AEGP_DynStreamFlags flags = 0;
  c.status.call([&] {
    return c.suites.DynamicStreamSuite5()->AEGP_GetDynamicStreamFlags(stream.get(), &flags);
  });
  return c.status.ok() && (flags & AEGP_DynStreamFlag_HIDDEN);
}

void SetStreamHidden(const ChangeContext& c, const StreamRef& stream, bool hidden) {
  c.status.call([&] {
    return c.suites.DynamicStreamSuite5()->AEGP_SetDynamicStreamFlag(
        stream.get(), AEGP_DynStreamFlag_HIDDEN, false, hidden);
  });
}

}  // namespace

void SetParamValue(const ChangeContext& c, PF_ParamIndex index, double value) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  GetParamStream(c, index, stream);
  AEGP_StreamValue2 v = {};
  v.streamH = stream.get();
  v.val.one_d = value;
  c.status.call(
      [&] { return c.suites.StreamSuite9()->AEGP_SetStreamValue(pluginID, stream.get(), &v); });
}

void SetParamHidden(const ChangeContext& c, PF_ParamIndex index, bool hidden) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  GetParamStream(c, index, stream);
  SetStreamHidden(c, stream, hidden);
}

bool IsParamHidden(const ChangeContext& c, PF_ParamIndex index) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  GetParamStream(c, index, stream);
  return StreamHidden(c, stream);
}

void HideParamUnlessHidden(const ChangeContext& c, PF_ParamIndex index) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  GetParamStream(c, index, stream);
  if (!StreamHidden(c, stream))
    SetStreamHidden(c, stream, true);
}

void ShowParamIfHidden(const ChangeContext& c, PF_ParamIndex index) {
  StreamRef stream(c.status, c.suites.StreamSuite9());
  GetParamStream(c, index, stream);
  if (StreamHidden(c, stream))
    SetStreamHidden(c, stream, false);
}
