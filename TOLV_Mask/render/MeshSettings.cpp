#include "TOLV_Mask/render/MeshSettings.h"

#include <cstring>

#include "TOLV_Mask/Params.h"

namespace mask {

namespace {

// Percent controls turn into fractions through the single-precision 0.01.
constexpr float kPercent = 0.01f;

}  // namespace

uint32_t LayerWord(const PF_ParamDef& param) {
  uint32_t word = 0;
  std::memcpy(&word, &param.u.ld, sizeof word);
  return word;
}

MeshSettings ReadMeshSettings(PF_ParamDef* const params[]) {
  MeshSettings s;
  s.terrainSource = LayerWord(*params[MASK_TERRAIN_SOURCE]);
  s.zDisplace = params[MASK_Z_DISPLACE]->u.fs_d.value;
  s.terrainMode = params[MASK_TERRAIN_MODE]->u.pd.value;
  s.zRange = params[MASK_Z_RANGE]->u.pd.value;
  s.fillMasks = params[MASK_FILL_MASKS]->u.pd.value;
  s.fillAlgorithm = params[MASK_FILL_ALGORITHM]->u.pd.value;
  s.closedShape = static_cast<A_u_char>(params[MASK_CLOSED_SHAPE]->u.bd.value);
  s.colorSource = LayerWord(*params[MASK_COLOR_SOURCE]);
  s.bumpSource = LayerWord(*params[MASK_BUMP_SOURCE]);
  s.bumpAmount = params[MASK_BUMP_AMOUNT]->u.fs_d.value;
  s.color = params[MASK_COLOR]->u.cd.value;
  s.alpha = params[MASK_ALPHA]->u.fs_d.value;
  s.inheritGeometry = params[MASK_INHERIT_GEOMETRY]->u.bd.value != 0;
  s.meshOn = params[MASK_MESH]->u.pd.value == 1;
  return s;
}

A_u_char AlphaByte(double alphaPercent) {
  const double scaled = alphaPercent * kPercent * 255;
  if (!(scaled > 0))
    return 0;
  if (scaled >= 255)
    return 255;
  return static_cast<A_u_char>(scaled);
}

float BumpFraction(double bumpPercent) {
  return static_cast<float>(bumpPercent * kPercent);
}

}  // namespace mask
