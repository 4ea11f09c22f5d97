// The ExtendScript texts the mask effect runs in the host. Both act on the first selected layer of
// the active composition and swallow their own errors.
#pragma once

#include <string>

#include "A.h"

// Adds "ZEK TOLV_Engine" to the selected layer unless that layer already has one.
std::string EngineCheckScript();

// Adds the effect matchName to the selected layer and moves it to the 1-based position.
std::string LaunchScript(const std::string& matchName, A_long position);
