// Writing the finished mesh and its settings into the effect's own mesh record, in place.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/render/GridTriangles.h"
#include "TOLV_Mask/render/MeshSettings.h"
#include "TOLV_Mask/render/RenderState.h"
#include "common/MeshSlot.h"

namespace mask {

// The texture coordinate as the record carries it: unchanged while the texture rectangle lies
// within the layer of width × height pixels, otherwise as a fraction of the rectangle, formed in
// single precision (the rectangle's extent in double, so that no 32-bit difference overflows). A
// rectangle without width or height puts every coordinate on that axis at 0. Taken by value: in
// the packed record a coordinate may sit where a reference to it could not.
A_FloatPoint SlotUv(A_FloatPoint uv, const UvRect& rect, A_long width, A_long height);

// Everything the record says about the mesh besides its triangles.
struct SlotTrailer {
  A_long ordinal;  // the effect's rank among the mask effects of its layer, from the top
  UvRect uvRect;
  A_u_char capFillFailed;
};

// The mesh in the order the record holds it: the first cap, the grid's own triangles, the last
// cap.
struct MeshTriangles {
  const std::vector<triangle>& front;
  GridMesh grid;
  const std::vector<triangle>& back;

  size_t size() const { return front.size() + grid.triangleCount() + back.size(); }
};

// Fills the record: at most 20,000 of the mesh's triangles, written in place, with their texture
// coordinates re-expressed and reserved 0, their count, and the trailer fields.
void WriteMeshSlot(MeshSlot& slot, const MeshTriangles& mesh, const SlotTrailer& trailer,
                   const MeshSettings& settings, A_long width, A_long height);

}  // namespace mask
