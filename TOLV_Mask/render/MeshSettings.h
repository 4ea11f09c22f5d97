// The controls the second half of the mask pipeline reads: terrain, caps, colour, source geometry
// and the fields of the mesh record. Read once from the parameter array of the call.
#pragma once

#include <cstdint>

#include "AE_Effect.h"

namespace mask {

// "Terrain mode" items.
enum TerrainMode : A_long { kAfterMaskWarping = 1, kBeforeMaskWarping = 2 };
// "Z range" items.
enum ZRange : A_long { kMinusOneToOne = 1, kZeroToOne = 2 };
// "Fill masks" items.
enum FillMasks : A_long { kFillNone = 1, kFillLast = 2, kFillFirst = 3, kFillLastAndFirst = 4 };
// "Mask filling algorithm:" items.
enum FillAlgorithm : A_long { kFillEar = 1, kFillFan = 2, kFillEarThenFan = 3 };

struct MeshSettings {
  uint32_t terrainSource = 0;  // first word of the layer parameter; non-zero when one is chosen
  double zDisplace = 0;
  A_long terrainMode = kAfterMaskWarping;
  A_long zRange = kMinusOneToOne;
  A_long fillMasks = kFillNone;
  A_long fillAlgorithm = kFillEarThenFan;
  A_u_char closedShape = 1;
  uint32_t colorSource = 0;
  uint32_t bumpSource = 0;
  double bumpAmount = 100;  // percent
  PF_Pixel color = {255, 255, 255, 255};
  double alpha = 100;  // percent
  bool inheritGeometry = false;
  bool meshOn = true;  // "Mesh" is "On"

  // "Inherit source geometry" is checked and the colour "Source" names a layer.
  bool inheritsGeometry() const { return inheritGeometry && colorSource != 0; }
  // The terrain is pushed into the grid only with a distance, a layer and the mesh on.
  bool displacesTerrain() const { return zDisplace != 0 && terrainSource != 0 && meshOn; }
};

// The first 32-bit word of a layer parameter's value, as the host delivers it.
uint32_t LayerWord(const PF_ParamDef& param);

MeshSettings ReadMeshSettings(PF_ParamDef* const params[]);

// The colour's alpha byte: "Alpha" as a fraction of 255, truncated, held to 0 … 255 (NaN gives 0).
A_u_char AlphaByte(double alphaPercent);

// "Bump amount" as a fraction, in single precision.
float BumpFraction(double bumpPercent);

}  // namespace mask
