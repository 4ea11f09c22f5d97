// The vecNor list of the grid and its normals: computed over the surface, or one flat direction
// when the terrain is to be pushed straight along the depth axis.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/render/MeshSettings.h"

namespace mask {

enum class NormalsKind { kSurface, kFlat };

// Which normals the grid gets before the terrain: the surface's after a mask warp (masks or an
// inherited geometry), flat ones whenever a terrain distance is to be applied, the surface's
// otherwise. A NaN distance counts as one.
NormalsKind ChooseNormals(const MeshSettings& settings, A_long maskCount);

// Every vertex with a zero normal, in order.
std::vector<vecNor> MakeVecNors(const std::vector<point3>& vertices);

// Flat normals: (0, 0, 1) facing the viewer for the flat sheet, (0, 0, −1) for a mask grid; the
// same direction goes to the face list once per vertex.
void SetFlatNormals(std::vector<vecNor>& vecNors, std::vector<point3>& faceNormals,
                    A_long maskCount);

// Zeroes every normal, empties the face list and computes both from the positions of the grid of
// cols × rows cells. The caller has made sure the list holds the whole grid.
PF_Err RecomputeNormals(A_long cols, A_long rows, std::vector<vecNor>& vecNors,
                        std::vector<point3>& faceNormals, A_u_char closedShape);

}  // namespace mask
