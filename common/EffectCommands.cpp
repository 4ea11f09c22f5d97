#include "common/EffectCommands.h"

#include "Util/AEGP_SuiteHandler.h"

PF_Err AboutText(PF_InData* in_data, PF_OutData* out_data, const A_char* format, const A_char* name,
                 A_long major, A_long minor, const A_char* description) {
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  suites.ANSICallbacksSuite1()->sprintf(out_data->return_msg, format, name, major, minor,
                                        description);
  return PF_Err_NONE;
}

PF_Err GlobalSetupEffect(PF_InData* in_data, PF_OutData* out_data, PF_OutFlags out_flags,
                         PF_OutFlags2 out_flags2, const A_char* match_name,
                         AEGP_PluginID* plugin_id) {
  out_data->my_version = kEffectVersion;
  out_data->out_flags = out_flags;
  out_data->out_flags2 = out_flags2;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  return suites.UtilitySuite11()->AEGP_RegisterWithAEGP(nullptr, match_name, plugin_id);
}
