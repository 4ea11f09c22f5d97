// The working state of one Render call: what each phase of the mask pipeline hands to the next.
// Everything here lives for one call; only the MeshSlot it points at survives.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/math/normals.h"
#include "common/MeshSlot.h"
#include "common/point3.h"

namespace mask {

constexpr int kMaxMasks = 10;
constexpr A_u_long kNoPath = 0xFFFFFFFFu;

// A mask's row as sampled and placed in 3-D, kept for the caps.
struct MaskRow {
  std::vector<point3> points;
  std::vector<A_FloatPoint> uvs;
};

// left, top, right, bottom of the area the texture coordinates span, in layer pixels.
struct UvRect {
  A_long left = 0, top = 0, right = 0, bottom = 0;
};

struct RenderState {
  MeshSlot* slot = nullptr;  // null when the instance has no usable sequence data
  A_long columns = 0;        // column gaps C: samples per mask row minus one, or "X subdivide"
                             // for the flat grid
  A_long rows = 0;           // row gaps of the grid
  A_long maxSegments = 1;
  float invDx = 1.0f, invDy = 1.0f;
  UvRect uvRect;
  A_u_char capFillFailed = 0;
  A_long maskCount = 0;
  A_u_long maskPathId[kMaxMasks] = {};
  A_u_long referencePathId[kMaxMasks] = {kNoPath, kNoPath, kNoPath, kNoPath, kNoPath,
                                         kNoPath, kNoPath, kNoPath, kNoPath, kNoPath};

  std::vector<point3> vertices;       // the grid, row-major, (columns + 1) per row
  std::vector<A_FloatPoint> texture;  // one texture coordinate per vertex
  MaskRow firstRow, lastRow;

  std::vector<vecNor> vecNors;
  std::vector<point3> faceNormals;
  // The caps, which the mesh lays around the grid's own triangles: the first cap at the front in
  // the reverse of the order it was made, the last cap at the end. The grid's triangles are
  // written straight into the slot from the lists above.
  std::vector<triangle> frontCap, backCap;
};

}  // namespace mask
