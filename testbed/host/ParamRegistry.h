// The host's side of parameter registration: what add_param keeps of each record, and the checks
// that make a damaged record show instead of passing silently.
#pragma once

#include "AE_Effect.h"
#include "testbed/host/Module.h"

namespace tb {

// Starts a module's parameter list over with the input layer at index 0, as the host supplies it.
void beginParamsSetup(Module& module);

// Stores a copy of def as parameter index (-1 appends; any other index must be the next one).
// Texts the record points at (popup items, checkbox label) are copied into the module. A name
// not terminated inside its field, and values that do not fit the record's own ranges, are added
// to module.paramProblems. Types the host does not know are refused.
PF_Err registerParam(Module& module, PF_ParamIndex index, const PF_ParamDef* def);

// Checks a finished list against the count the module declared; problems go to paramProblems.
void endParamsSetup(Module& module);

}  // namespace tb
