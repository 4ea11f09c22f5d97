// The follower light: a hidden, locked, shy point light of zero intensity parented to the layer of
// the colour "Source".
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// "Inherit source geometry" changed: when it is now checked and a colour source is chosen, a new
// follower light is created. Unchecking removes nothing.
void FollowerLightStep(const ChangeContext& c);
