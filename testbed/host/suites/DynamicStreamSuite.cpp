// "AEGP Dynamic Stream Suite" version 5: stream flags and the tree of streams.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

A_Err AEGP_GetDynamicStreamFlags(AEGP_StreamRefH streamH, AEGP_DynStreamFlags* flagsP) {
  TB_ENTER(flagsP);
  StreamRefObject* stream = streamOf(streamH);
  if (!stream || !flagsP)
    return A_Err_PARAMETER;
  *flagsP = asParamStream(stream) ? stream->effect->streamFlags[stream->index]
                                  : AEGP_DynStreamFlag_ACTIVE_EYEBALL;
  return A_Err_NONE;
}

A_Err AEGP_SetDynamicStreamFlag(AEGP_StreamRefH streamH, AEGP_DynStreamFlags one_flag, A_Boolean,
                                A_Boolean setB) {
  TB_ENTER();
  StreamRefObject* stream = paramStreamOf(streamH);
  if (!stream)
    return A_Err_PARAMETER;
  AEGP_DynStreamFlags& flags = stream->effect->streamFlags[stream->index];
  flags = setB ? (flags | one_flag) : (flags & ~one_flag);
  return A_Err_NONE;
}

// A parameter's parent is its effect; an effect's parent is its layer's effect group. The layer
// itself is not a stream in the testbed.
A_Err AEGP_GetNewParentStreamRef(AEGP_PluginID plugin_id, AEGP_StreamRefH streamH,
                                 AEGP_StreamRefH* parent_streamPH) {
  TB_ENTER_AS(plugin_id, parent_streamPH);
  StreamRefObject* stream = streamOf(streamH);
  if (!stream || !parent_streamPH || stream->kind == StreamRefObject::kEffectsOfLayer ||
      stream->kind == StreamRefObject::kLayerProperty)
    return A_Err_PARAMETER;
  StreamRefObject::Kind kind = stream->kind == StreamRefObject::kParam
                                   ? StreamRefObject::kEffectGroup
                                   : StreamRefObject::kEffectsOfLayer;
  *parent_streamPH = reinterpret_cast<AEGP_StreamRefH>(Host::current().newRef<StreamRefObject>(
      "stream ref", kind, stream->effect, stream->effect->layer, -1));
  return A_Err_NONE;
}

A_Err AEGP_GetStreamIndexInParent(AEGP_StreamRefH streamH, A_long* indexPL) {
  TB_ENTER(indexPL);
  StreamRefObject* stream = streamOf(streamH);
  if (!stream || !indexPL || stream->kind == StreamRefObject::kEffectsOfLayer ||
      stream->kind == StreamRefObject::kLayerProperty)
    return A_Err_PARAMETER;
  int index =
      stream->kind == StreamRefObject::kParam ? stream->index : effectIndex(*stream->effect);
  if (index < 0)
    return A_Err_PARAMETER;
  *indexPL = index;
  return A_Err_NONE;
}

const AEGP_DynamicStreamSuite5 kDynamicStream5 = {
    AEGP_GetDynamicStreamFlags,
    AEGP_SetDynamicStreamFlag,
    AEGP_GetNewParentStreamRef,
    AEGP_GetStreamIndexInParent,
};

}  // namespace

void registerDynamicStreamSuites(SuiteTable& table) {
  table.add(kAEGPDynamicStreamSuite, 5, &kDynamicStream5);
}

}  // namespace tb
