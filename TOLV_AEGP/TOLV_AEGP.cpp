#include "TOLV_AEGP/TOLV_AEGP.h"

// Start-up work (idle hook, published suite) comes with the engine update companion; until then
// the plug-in loads and reports success.
A_Err EntryPointFunc(SPBasicSuite* pica_basicP, A_long major_versionL, A_long minor_versionL,
                     AEGP_PluginID aegp_plugin_id, AEGP_GlobalRefcon* global_refconP) {
  (void)pica_basicP;
  (void)major_versionL;
  (void)minor_versionL;
  (void)aegp_plugin_id;
  (void)global_refconP;
  return A_Err_NONE;
}
