// Handlers that both effects share: the ABOUT text and global setup.
#pragma once

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"

// Writes the ABOUT text with the host's sprintf: format receives name, major, minor, description.
PF_Err AboutText(PF_InData* in_data, PF_OutData* out_data, const A_char* format, const A_char* name,
                 A_long major, A_long minor, const A_char* description);

// Sets version and flags, then registers with the AEGP layer under the match name. The flags stay
// set when registration fails; its error is the result.
PF_Err GlobalSetupEffect(PF_InData* in_data, PF_OutData* out_data, PF_OutFlags out_flags,
                         PF_OutFlags2 out_flags2, const A_char* match_name,
                         AEGP_PluginID* plugin_id);

// The version both effects report to the host: 2.0.0, develop stage, build 0.
constexpr A_u_long kEffectVersion = PF_VERSION(2, 0, 0, PF_Stage_DEVELOP, 0);
static_assert(kEffectVersion == 0x00100000, "packed effect version");
