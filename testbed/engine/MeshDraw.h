// Drawing one stored mesh into an 8-bit world: projection, depth buffer and shading together.
#pragma once

#include "AE_Effect.h"
#include "common/MeshSlot.h"
#include "testbed/engine/Camera.h"
#include "testbed/engine/Rasterizer.h"
#include "testbed/engine/Shading.h"

namespace viewer {

// A record is drawn only when it names the slot it is kept in (0..9), holds a count of 0..20,000
// triangles and is enabled; anything else is ignored, so a damaged store never reads past a slot.
bool IsDrawable(const MeshSlot& slot, int slot_index);

// Draws the record's first triangleCount triangles into out (whose pixels the depth buffer
// covers), each pixel the texture (or, without one, the record's colour) lit by LightIntensity,
// with the colour's alpha times the texel's alpha as opacity. A triangle with a corner not in
// front of the eye is left out whole.
void DrawMesh(const MeshSlot& slot, const ViewCamera& camera, const TextureView* texture,
              const TextureFrame& frame, DepthBuffer& depth, PF_EffectWorld& out);

// Every pixel of the world transparent black.
void ClearWorld(PF_EffectWorld& world);

}  // namespace viewer
