// One line of text per registered parameter, as `tolv-testbed inspect` prints them.
#pragma once

#include <string>

#include "AE_Effect.h"

namespace tb {

// `param N: TYPE "name" ...fields... flags=NAMES id=K`; the fields depend on the type.
std::string describeParam(int index, const PF_ParamDef& def);

// The PF_ParamFlag names joined with "|", NONE when none, unknown bits in hex.
std::string paramFlagNames(PF_ParamFlags flags);

}  // namespace tb
