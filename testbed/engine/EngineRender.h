// The stand-in renderer's PF_Cmd_RENDER and the check on records it is handed.
#pragma once

#include "AE_Effect.h"
#include "common/MeshSlot.h"

// A record is kept only when it names a slot of the store (0..9) and announces 0..20,000
// triangles; any other is ignored whole rather than clamped, so nothing half-valid is drawn.
bool AcceptsRecord(const MeshSlot& record);

// Clears the output to transparent black and draws every drawable stored mesh with the
// composition's default camera (the layer's size standing for the composition's), textured from the
// layer in colour-source parameter 19 + s, checked out at the current time. A failed check-out or
// check-in is the status and ends the drawing; what was checked out is checked in on every path.
PF_Err RenderMeshes(PF_InData* in_data, PF_LayerDef* output);
