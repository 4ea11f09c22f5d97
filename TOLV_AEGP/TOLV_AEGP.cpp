#include "TOLV_AEGP/TOLV_AEGP.h"

#include "SPSuites.h"
#include "TOLV_AEGP/AEGP_TOLVSuite.h"
#include "TOLV_AEGP/EngineUpdate.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EntryGuard.h"
#include "common/HostStatus.h"

namespace {

const AEGP_TOLVSuite1 sTOLVSuite1 = {SetEngineUpdatePending};

// Publishes "AEGP TOLV Suite" through "SP Suites Suite", which is taken from the broker directly
// and given back on every path once it was obtained.
void PublishTOLVSuite(const SPBasicSuite* basic, HostStatus& status) {
  const void* procs = nullptr;
  status.call([&] { return basic->AcquireSuite(kSPSuitesSuite, kSPSuitesSuiteVersion, &procs); });
  if (!status.ok())
    return;
  if (procs) {
    const auto* suites = static_cast<const SPSuitesSuite*>(procs);
    SPSuiteRef added = nullptr;
    status.call([&] {
      return suites->AddSuite(nullptr, nullptr, kAEGPTOLVSuite, kAEGPTOLVSuiteVersion1,
                              kAEGPTOLVSuiteInternalVersion1, &sTOLVSuite1, &added);
    });
  } else {
    // An acquisition that succeeds without a suite publishes nothing; saying so beats success.
    status.fail(PF_Err_BAD_CALLBACK_PARAM);
  }
  status.release([&] { return basic->ReleaseSuite(kSPSuitesSuite, kSPSuitesSuiteVersion); });
}

A_Err StartUp(SPBasicSuite* pica_basicP, AEGP_PluginID aegp_plugin_id) {
  AEGP_SuiteHandler suites(pica_basicP);
  HostStatus status(nullptr);  // a general plug-in has no abort poll to ask
  status.call([&] {
    return suites.RegisterSuite6()->AEGP_RegisterIdleHook(aegp_plugin_id, EngineUpdateIdleHook,
                                                          nullptr);
  });
  if (status.ok())
    PublishTOLVSuite(pica_basicP, status);
  return status.err();
}

}  // namespace

// A missing suite is answered with the value thrown for it; nothing unwinds into the host.
A_Err EntryPointFunc(SPBasicSuite* pica_basicP, A_long, A_long, AEGP_PluginID aegp_plugin_id,
                     AEGP_GlobalRefcon*) {
  g_pluginID = aegp_plugin_id;
  g_basicSuite = pica_basicP;
  return GuardedCommand([&]() -> A_Err {
    try {
      return StartUp(pica_basicP, aegp_plugin_id);
    } catch (PF_Err thrown) {
      return thrown;
    }
  });
}
