#include "testbed/host/suites/Suites.h"

namespace tb {

void registerAllSuites(SuiteTable& table) {
  registerUtilitySuites(table);
  registerAnsiSuites(table);
  registerPFInterfaceSuites(table);
  registerEffectSuites(table);
  registerStreamSuites(table);
  registerDynamicStreamSuites(table);
}

}  // namespace tb
