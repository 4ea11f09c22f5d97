// "ZEK TOLV_TestRules": a test-only effect that breaks one host rule on purpose, chosen by its
// "Rule" slider (see Rule below), and keeps every rule when the slider is 0. The rule is acted on
// in RENDER, and kept in the effect's sequence data for the commands that get no parameters.
#include <cstring>

#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "AE_Macros.h"
#include "common/EffectCommands.h"
#include "common/EntryGuard.h"

namespace {

enum Rule : A_long {
  kClean = 0,
  kSuiteKept = 1,            // a suite acquired and never released
  kEffectRefKept = 2,        // an effect reference never disposed
  kQuietLeftOn = 3,          // quiet-errors mode started and never ended
  kHandleLeaked = 4,         // a handle allocated and never disposed
  kHandleDisposedTwice = 5,  // a handle disposed, then disposed again
  kWrongPluginId = 6,        // a plug-in id the module was never given
  kSequenceKept = 7,         // sequence data still handed back after setdown
  kParamAddedLate = 8,       // add_param outside parameter setup
  kMessageUnterminated = 9,  // return_msg filled to its end without a terminator
  kFlatSizeWrong = 10,       // flat_sdata_size that does not match the sequence data
  kSuiteNeverAcquired = 11,  // a release of a suite the module never acquired
  kSequenceDisposed = 12,    // the instance's sequence data disposed outside setdown
  kPoisonReleased = 13,      // what a failed call left in its out-parameter released anyway
  kStaleRefUsed = 14,        // an effect reference used after it was disposed
  kLastRule = 14,
};

AEGP_PluginID pluginID = 0;
PF_Handle leaked = nullptr;  // kept so that the leak is the module's, not a lost pointer

constexpr A_long kRuleParam = 1;

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_ParamDef def = {};
  def.param_type = PF_Param_SLIDER;
  std::strcpy(def.name, "Rule");
  def.u.sd.valid_max = def.u.sd.slider_max = kLastRule;
  def.uu.id = 1;
  out_data->num_params = 2;
  return PF_ADD_PARAM(in_data, -1, &def);
}

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data) {
  PF_Handle rule = PF_NEW_HANDLE(sizeof(A_long));
  if (!rule)
    return PF_Err_OUT_OF_MEMORY;
  *static_cast<A_long*>(*rule) = kClean;
  out_data->sequence_data = rule;
  out_data->flat_sdata_size = sizeof(A_long);
  return PF_Err_NONE;
}

A_long StoredRule(PF_InData* in_data) {
  PF_Handle rule = in_data->sequence_data;
  if (!rule || PF_GET_HANDLE_SIZE(rule) != sizeof(A_long))
    return kClean;
  return *static_cast<const A_long*>(*rule);
}

PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data) {
  if (StoredRule(in_data) == kSequenceKept) {
    out_data->sequence_data = in_data->sequence_data;
    return PF_Err_NONE;
  }
  if (in_data->sequence_data)
    PF_DISPOSE_HANDLE(in_data->sequence_data);
  out_data->sequence_data = nullptr;
  return PF_Err_NONE;
}

template <class Suite>
PF_Err Acquire(PF_InData* in_data, const char* name, int version, const Suite** suite) {
  const void* found = nullptr;
  if (in_data->pica_basicP->AcquireSuite(name, version, &found) != kSPNoError || !found)
    return PF_Err_BAD_CALLBACK_PARAM;
  *suite = static_cast<const Suite*>(found);
  return PF_Err_NONE;
}

// Asks for the effect's own reference, with the given plug-in id, and disposes it unless told to
// keep it.
PF_Err TouchEffectRef(PF_InData* in_data, AEGP_PluginID id, bool keep) {
  const AEGP_PFInterfaceSuite1* pf = nullptr;
  const AEGP_EffectSuite3* effects = nullptr;
  PF_Err err = Acquire(in_data, kAEGPPFInterfaceSuite, 1, &pf);
  if (err)
    return err;
  err = Acquire(in_data, kAEGPEffectSuite, 3, &effects);
  if (!err) {
    AEGP_EffectRefH ref = nullptr;
    err = pf->AEGP_GetNewEffectForEffect(id, in_data->effect_ref, &ref);
    if (!err && !keep)
      err = effects->AEGP_DisposeEffect(ref);
    in_data->pica_basicP->ReleaseSuite(kAEGPEffectSuite, 3);
  }
  in_data->pica_basicP->ReleaseSuite(kAEGPPFInterfaceSuite, 1);
  return err;
}

// Asks for an effect the layer does not have, and disposes the answer whatever the status was.
PF_Err ReleasePoison(PF_InData* in_data) {
  const AEGP_PFInterfaceSuite1* pf = nullptr;
  const AEGP_EffectSuite3* effects = nullptr;
  PF_Err err = Acquire(in_data, kAEGPPFInterfaceSuite, 1, &pf);
  if (!err)
    err = Acquire(in_data, kAEGPEffectSuite, 3, &effects);
  AEGP_LayerH layer = nullptr;
  if (!err)
    err = pf->AEGP_GetEffectLayer(in_data->effect_ref, &layer);
  if (!err) {
    AEGP_EffectRefH ref = nullptr;
    effects->AEGP_GetLayerEffectByIndex(pluginID, layer, 1000, &ref);
    err = effects->AEGP_DisposeEffect(ref);
  }
  if (effects)
    in_data->pica_basicP->ReleaseSuite(kAEGPEffectSuite, 3);
  if (pf)
    in_data->pica_basicP->ReleaseSuite(kAEGPPFInterfaceSuite, 1);
  return err;
}

// Disposes the effect's own reference, then asks it for the effect's installed key.
PF_Err UseStaleRef(PF_InData* in_data) {
  const AEGP_PFInterfaceSuite1* pf = nullptr;
  const AEGP_EffectSuite3* effects = nullptr;
  PF_Err err = Acquire(in_data, kAEGPPFInterfaceSuite, 1, &pf);
  if (!err)
    err = Acquire(in_data, kAEGPEffectSuite, 3, &effects);
  AEGP_EffectRefH ref = nullptr;
  if (!err)
    err = pf->AEGP_GetNewEffectForEffect(pluginID, in_data->effect_ref, &ref);
  if (!err)
    err = effects->AEGP_DisposeEffect(ref);
  AEGP_InstalledEffectKey key = 0;
  if (!err)
    err = effects->AEGP_GetInstalledKeyFromLayerEffect(ref, &key);
  if (effects)
    in_data->pica_basicP->ReleaseSuite(kAEGPEffectSuite, 3);
  if (pf)
    in_data->pica_basicP->ReleaseSuite(kAEGPPFInterfaceSuite, 1);
  return err;
}

PF_Err QuietErrors(PF_InData* in_data, bool end) {
  const AEGP_UtilitySuite11* utility = nullptr;
  PF_Err err = Acquire(in_data, kAEGPUtilitySuite, 11, &utility);
  if (err)
    return err;
  AEGP_ErrReportState state{};
  err = utility->AEGP_StartQuietErrors(&state);
  if (!err && end)
    err = utility->AEGP_EndQuietErrors(false, &state);
  in_data->pica_basicP->ReleaseSuite(kAEGPUtilitySuite, 11);
  return err;
}

PF_Err Break(A_long rule, PF_InData* in_data, PF_OutData* out_data) {
  switch (rule) {
    case kSuiteKept: {
      const AEGP_UtilitySuite11* utility = nullptr;
      return Acquire(in_data, kAEGPUtilitySuite, 11, &utility);
    }
    case kEffectRefKept:
      return TouchEffectRef(in_data, pluginID, true);
    case kQuietLeftOn:
      return QuietErrors(in_data, false);
    case kHandleLeaked:
      leaked = PF_NEW_HANDLE(16);
      return leaked ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY;
    case kHandleDisposedTwice: {
      PF_Handle h = PF_NEW_HANDLE(16);
      if (!h)
        return PF_Err_OUT_OF_MEMORY;
      PF_DISPOSE_HANDLE(h);
      PF_DISPOSE_HANDLE(h);
      return PF_Err_NONE;
    }
    case kWrongPluginId:
      return TouchEffectRef(in_data, pluginID + 1000, false);
    case kParamAddedLate: {
      PF_ParamDef def = {};
      def.param_type = PF_Param_CHECKBOX;
      def.uu.id = 2;
      return PF_ADD_PARAM(in_data, -1, &def);
    }
    case kMessageUnterminated:
      std::memset(out_data->return_msg, 'x', sizeof out_data->return_msg);
      return PF_Err_NONE;
    case kFlatSizeWrong:
      out_data->flat_sdata_size = 1;
      return PF_Err_NONE;
    case kSequenceDisposed:
      PF_DISPOSE_HANDLE(in_data->sequence_data);
      return PF_Err_NONE;
    case kPoisonReleased:
      return ReleasePoison(in_data);
    case kStaleRefUsed:
      return UseStaleRef(in_data);
    case kSuiteNeverAcquired:
      in_data->pica_basicP->ReleaseSuite(kAEGPUtilitySuite, 11);
      return PF_Err_NONE;
    default:
      // The clean run uses the same host calls and gives everything back.
      if (PF_Err err = TouchEffectRef(in_data, pluginID, false))
        return err;
      return QuietErrors(in_data, true);
  }
}

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]) {
  const A_long rule = params[kRuleParam]->u.sd.value;
  if (in_data->sequence_data && PF_GET_HANDLE_SIZE(in_data->sequence_data) == sizeof(A_long))
    *static_cast<A_long*>(*in_data->sequence_data) = rule;
  return Break(rule, in_data, out_data);
}

PF_Err Dispatch(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                void* extra) {
  (void)extra;
  switch (cmd) {
    case PF_Cmd_GLOBAL_SETUP:
      return GlobalSetupEffect(in_data, out_data, PF_OutFlag_NONE, PF_OutFlag2_NONE,
                               "ZEK TOLV_TestRules", &pluginID);
    case PF_Cmd_PARAMS_SETUP:
      return ParamsSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETUP:
      return SequenceSetup(in_data, out_data);
    case PF_Cmd_SEQUENCE_SETDOWN:
      return SequenceSetdown(in_data, out_data);
    case PF_Cmd_RENDER:
      return Render(in_data, out_data, params);
    default:
      return PF_Err_NONE;
  }
}

}  // namespace

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output,
                                           void* extra) {
  (void)output;
  return GuardedCommand([&] { return Dispatch(cmd, in_data, out_data, params, extra); });
}
