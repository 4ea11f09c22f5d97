// "PF ANSI Suite" version 1: the C library as the host hands it out.
#include "testbed/host/Callbacks.h"
#include "testbed/host/Host.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// The same functions as the ANSI callbacks of PF_InData.
const PF_ANSICallbacksSuite1* ansiSuite() {
  static const PF_ANSICallbacksSuite1 suite = [] {
    const PF_ANSICallbacks& a = utilCallbacks()->ansi;
    return PF_ANSICallbacksSuite1{a.atan, a.atan2,   a.ceil,   a.cos,   a.exp, a.fabs, a.floor,
                                  a.fmod, a.hypot,   a.log,    a.log10, a.pow, a.sin,  a.sqrt,
                                  a.tan,  a.sprintf, a.strcpy, a.asin,  a.acos};
  }();
  return &suite;
}

}  // namespace

void registerAnsiSuites(SuiteTable& table) {
  table.add(kPFANSISuite, 1, ansiSuite());
}

}  // namespace tb
