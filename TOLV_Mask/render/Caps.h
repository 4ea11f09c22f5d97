// Caps over the first and last mask of a tube: ear clipping of the outline, or a fan from the
// centre of its bounding box, or the first with the second where it fails.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/render/RenderState.h"
#include "common/MeshSlot.h"

namespace mask {

// The grid and the rows a cap is built from.
struct CapInput {
  const std::vector<vecNor>& vecNors;        // the grid as displaced: the cap's corners
  const std::vector<A_FloatPoint>& texture;  // one per grid vertex
  const MaskRow& row;                        // the mask's row as placed: outline and fan centre
  size_t base;                               // grid index of the row's first vertex
};

// One cap, in the order its triangles are made. The outline is always triangulated; with the ear
// result (unless the fan is asked for) each corner gets the normalised sum of the normals of its
// cap triangles. Otherwise the fan closes the outline around the bounding-box centre of the row,
// except that "Ear (no self-intersecting mask)" builds nothing and sets capFillFailed. A row that
// does not fit in the grid gives no cap.
std::vector<triangle> BuildCap(const CapInput& cap, A_long algorithm, A_u_char& capFillFailed);

// The caps of a tube, in their places around the grid's own triangles.
struct CapTriangles {
  std::vector<triangle> front;  // the first cap, in the reverse of the order it was made
  std::vector<triangle> back;   // the last cap, in the order it was made
};

// The caps that "Fill masks" asks for, for a grid of two or more masks whose rows have cols + 1
// points: the last cap is made first, then the first cap. Each triangle of the first cap goes to
// the front of the mesh as it is made, so the mesh starts with that cap reversed and ends with the
// last cap. A row of another length than the grid's gets no cap.
CapTriangles BuildCaps(A_long fillMasks, A_long algorithm, A_long cols, const RenderState& state,
                       A_u_char& capFillFailed);

}  // namespace mask
