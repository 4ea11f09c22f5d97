// The general plug-in "TOLV_AEGP".
#pragma once

#include "AE_GeneralPlug.h"
#include "AE_Macros.h"

extern "C" DllExport A_Err EntryPointFunc(SPBasicSuite* pica_basicP, A_long major_versionL,
                                          A_long minor_versionL, AEGP_PluginID aegp_plugin_id,
                                          AEGP_GlobalRefcon* global_refconP);
