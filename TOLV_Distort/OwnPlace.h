// The distort effect's own handle and place on its layer, as its parameter commands look them up:
// an abort poll after each step, whose answer replaces the status.
#pragma once

#include "Util/AEGP_SuiteHandler.h"
#include "common/EffectPlace.h"
#include "common/HostStatus.h"

// Fills self and place. Returns false when the user cancelled (the status holds the answer).
// place.known is set only when the host gave the layer, the count and the index.
bool LocateSelf(HostStatus& status, const AEGP_SuiteHandler& suites, EffectRef* self,
                EffectPlace* place);
