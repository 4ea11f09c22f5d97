#include "TOLV_Mask/ui/UpdateParamsUI.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace {

constexpr PF_ParamFlags kLightPathFlags = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
static_assert(kLightPathFlags == 0x42, "flags of the light-path checkbox");

struct UiContext {
  HostStatus& status;
  const AEGP_SuiteHandler& suites;
  PF_InData* in_data;
  PF_ParamDef** params;
};

void PublishParam(const UiContext& u, PF_ParamIndex index) {
  u.status.call([&] {
    return u.suites.ParamUtilsSuite3()->PF_UpdateParamUI(u.in_data->effect_ref, index,
                                                         u.params[index]);
  });
}

void GetEffect(const UiContext& u, EffectRef& effect) {
  u.status.call([&] {
    return u.suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginID, u.in_data->effect_ref,
                                                                    effect.put());
  });
}

void GetStream(const UiContext& u, const EffectRef& effect, PF_ParamIndex index,
               StreamRef& stream) {
  u.status.call([&] {
    return u.suites.StreamSuite9()->AEGP_GetNewEffectStreamByIndex(pluginID, effect.get(), index,
                                                                   stream.put());
  });
}

bool StreamHidden(const UiContext& u, const StreamRef& stream) {
  AEGP_DynStreamFlags flags = 0;
  u.status.call([&] {
    return u.suites.DynamicStreamSuite5()->AEGP_GetDynamicStreamFlags(stream.get(), &flags);
  });
  return (flags & AEGP_DynStreamFlag_HIDDEN) != 0;
}

void SetHidden(const UiContext& u, const StreamRef& stream, bool hidden) {
  u.status.call([&] {
    return u.suites.DynamicStreamSuite5()->AEGP_SetDynamicStreamFlag(
        stream.get(), AEGP_DynStreamFlag_HIDDEN, false, hidden);
  });
}

void HoldLightPathFlags(const UiContext& u) {
  PF_ParamDef& checkbox = *u.params[MASK_CREATE_LIGHT];
  if (checkbox.flags == kLightPathFlags)
    return;
  checkbox.flags = kLightPathFlags;
  PublishParam(u, MASK_CREATE_LIGHT);
}

bool LightPathInUse(const UiContext& u) {
  return u.params[MASK_CREATE_LIGHT]->u.bd.value == 1 &&
         u.params[MASK_SWEEP_INDEX]->u.sd.value != -1;
}

// Rows whose X rotation is hidden are not in use and keep whatever flags they had.
void SetDepthSliders(const UiContext& u, const EffectRef& effect, bool lightPath) {
  for (A_long row = 1; row <= kMaskRows; ++row) {
    StreamRef rotation(u.status, u.suites.StreamSuite9());
    GetStream(u, effect, MaskRotationXParam(row), rotation);
    const bool hidden = StreamHidden(u, rotation);
    if (!u.status.ok() || hidden)
      continue;
    PF_ParamDef& depth = *u.params[MaskDepthParam(row)];
    depth.ui_flags =
        lightPath ? (depth.ui_flags | PF_PUI_DISABLED) : (depth.ui_flags & ~PF_PUI_DISABLED);
    PublishParam(u, MaskDepthParam(row));
  }
}

void ShowOrientOnPath(const UiContext& u, const EffectRef& effect, bool lightPath) {
  StreamRef orient(u.status, u.suites.StreamSuite9());
  GetStream(u, effect, MASK_ORIENT_ON_PATH, orient);
  SetHidden(u, orient, !lightPath);
}

// Both sliders only carry values between the handlers; the user never sets them.
void HideInternalSliders(const UiContext& u) {
  EffectRef effect(u.status, u.suites.EffectSuite3());
  GetEffect(u, effect);
  StreamRef sweep(u.status, u.suites.StreamSuite9());
  StreamRef update(u.status, u.suites.StreamSuite9());
  GetStream(u, effect, MASK_SWEEP_INDEX, sweep);
  if (!StreamHidden(u, sweep))
    SetHidden(u, sweep, true);
  GetStream(u, effect, MASK_UPDATE_SLIDER, update);
  if (!StreamHidden(u, update))
    SetHidden(u, update, true);
}

void UpdateControls(const UiContext& u) {
  HoldLightPathFlags(u);
  const bool lightPath = LightPathInUse(u);
  {
    EffectRef effect(u.status, u.suites.EffectSuite3());
    GetEffect(u, effect);
    SetDepthSliders(u, effect, lightPath);
    ShowOrientOnPath(u, effect, lightPath);
  }
  HideInternalSliders(u);
}

}  // namespace

PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]) {
  (void)out_data;
  if (!params)
    return PF_Err_BAD_CALLBACK_PARAM;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  UpdateControls({status, suites, in_data, params});
  return status.err();
}
