// A plug-in outside the system asking for an engine update cycle: it acquires "AEGP TOLV Suite"
// version 1 through the basic suite, calls its one function and releases the suite.
#pragma once

#include "A.h"

namespace tb {

class Host;

// The suite function's answer, or the broker's when the suite is not published. Runs as a command
// of its own, so that the acquisition is counted and checked like a module's.
A_Err requestEngineUpdate(Host& host, A_Boolean pending);

}  // namespace tb
