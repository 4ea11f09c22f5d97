// The "Update:" popup: a rebuild of the mesh on demand.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// Issues host command 2372, rebuilds and sends the mesh through Render without touching the
// output world, sets "Update:" back to "...", and steps the hidden "Update slider" (modulo 100000)
// so that the host sees a change.
void UpdateAction(const ChangeContext& c);

constexpr AEGP_Command kUpdateCommand = 2372;
