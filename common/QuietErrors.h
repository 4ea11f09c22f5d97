// The host's quiet-errors mode for the length of a scope: QuietErrors stands with the other scope
// guards in HostStatus.h.
#pragma once

#include "common/HostStatus.h"
