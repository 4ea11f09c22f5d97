// Terrain displacement: every vertex is pushed along its normal by a height read from the terrain
// "Source" layer at the vertex's texture coordinate, like a height map.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/render/MeshSettings.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

namespace mask {

struct FixedPoint {
  PF_Fixed x, y;
};

// Where a texture coordinate samples a layer of width × height pixels, in 16.16 fixed point: the
// coordinate held one pixel in from each edge, scaled to pixels, rounded half away from zero. A
// layer one pixel across is sampled in its middle, since it has no pixel one in from both edges; a
// NaN coordinate samples the near edge; a position beyond the fixed-point range its nearest end.
FixedPoint TerrainSamplePoint(const A_FloatPoint& uv, A_long width, A_long height);

// The height of a pixel, from the sum of its red, green and blue: −1 … 1 for "-1 to 1", 0 … 1 for
// every other "Z range" value. Alpha plays no part.
double TerrainHeight(const PF_Pixel& pixel, A_long zRange);

// Reads one pixel of the terrain layer at a fixed-point position.
class PixelSource {
 public:
  virtual ~PixelSource() = default;
  virtual PF_Err sample(FixedPoint at, PF_Pixel& pixel) = 0;
};

// Moves vertex i by its normal times zDisplace × height, for every vertex that has a texture
// coordinate, the layer being width × height pixels. After the first failed sample no more are
// asked for: the last pixel read (transparent black before any) serves the remaining vertices,
// and the failure is returned. A layer without pixels moves nothing.
PF_Err DisplaceByTerrain(std::vector<vecNor>& vecNors, const std::vector<A_FloatPoint>& texture,
                         A_long width, A_long height, double zDisplace, A_long zRange,
                         PixelSource& layer);

// The host side: checks the terrain layer out at the call's time, displaces the grid with
// subpixel_sample, checks the layer back in, and then computes the normals of the displaced grid
// of cols × rows cells afresh. A failed sample becomes the status after the check-in.
void ApplyTerrain(HostStatus& status, const AEGP_SuiteHandler& suites, const MeshSettings& settings,
                  A_long cols, A_long rows, std::vector<vecNor>& vecNors,
                  std::vector<point3>& faceNormals, const std::vector<A_FloatPoint>& texture);

}  // namespace mask
