#include "testbed/host/suites/Suites.h"

namespace tb {

void registerAllSuites(SuiteTable& table) {
  registerUtilitySuites(table);
  registerAnsiSuites(table);
  registerPFInterfaceSuites(table);
  registerEffectSuites(table);
  registerStreamSuites(table);
  registerDynamicStreamSuites(table);
  registerCompSuites(table);
  registerItemSuites(table);
  registerLayerSuites(table);
  registerMaskSuites(table);
  registerPathQuerySuites(table);
  registerPathDataSuites(table);
  registerSampling8Suites(table);
  registerLightSuites(table);
  registerKeyframeSuites(table);
  registerCommandSuites(table);
  registerRegisterSuites(table);
  registerParamUtilsSuites(table);
  registerSuitesSuites(table);
}

}  // namespace tb
