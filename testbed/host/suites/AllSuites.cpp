#include "testbed/host/suites/Suites.h"

namespace tb {

void registerAllSuites(SuiteTable& table) {
  registerUtilitySuites(table);
  registerAnsiSuites(table);
}

}  // namespace tb
