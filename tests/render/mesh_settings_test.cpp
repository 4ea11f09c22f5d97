// The controls the second half reads, the alpha byte and the choice of normals.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/render/MeshSettings.h"
#include "TOLV_Mask/render/VertexNormals.h"

namespace {

using mask::AlphaByte;
using mask::ChooseNormals;
using mask::MeshSettings;
using mask::NormalsKind;

TEST(AlphaByte, isTheTruncatedFractionOf255) {
  EXPECT_EQ(AlphaByte(50), 127);
  EXPECT_EQ(AlphaByte(0), 0);
  EXPECT_EQ(AlphaByte(10), 25);
}

TEST(AlphaByte, valuesOutsideTheByteAreHeldToItsEnds) {
  EXPECT_EQ(AlphaByte(1e12), 255);
  EXPECT_EQ(AlphaByte(-40), 0);
  EXPECT_EQ(AlphaByte(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(AlphaByte(std::numeric_limits<double>::infinity()), 255);
}

TEST(ReadMeshSettings, takesEachControlFromItsIndex) {
  std::vector<PF_ParamDef> defs(MASK_NUM_PARAMS);
  std::memset(defs.data(), 0, defs.size() * sizeof(PF_ParamDef));
  std::vector<PF_ParamDef*> params;
  for (PF_ParamDef& d : defs)
    params.push_back(&d);
  const uint32_t word = 0xCAFE0001;
  std::memcpy(&defs[MASK_TERRAIN_SOURCE].u.ld, &word, sizeof word);
  defs[MASK_Z_DISPLACE].u.fs_d.value = 12.5;
  defs[MASK_TERRAIN_MODE].u.pd.value = 2;
  defs[MASK_Z_RANGE].u.pd.value = 2;
  defs[MASK_FILL_MASKS].u.pd.value = 4;
  defs[MASK_FILL_ALGORITHM].u.pd.value = 1;
  defs[MASK_CLOSED_SHAPE].u.bd.value = 1;
  defs[MASK_BUMP_AMOUNT].u.fs_d.value = 30;
  defs[MASK_COLOR].u.cd.value = {1, 2, 3, 4};
  defs[MASK_ALPHA].u.fs_d.value = 60;
  defs[MASK_INHERIT_GEOMETRY].u.bd.value = 1;
  defs[MASK_MESH].u.pd.value = 2;
  const MeshSettings s = mask::ReadMeshSettings(params.data());
  EXPECT_EQ(s.terrainSource, word);
  EXPECT_EQ(s.colorSource, 0u);
  EXPECT_EQ(s.zDisplace, 12.5);
  EXPECT_EQ(s.terrainMode, 2);
  EXPECT_EQ(s.zRange, 2);
  EXPECT_EQ(s.fillMasks, 4);
  EXPECT_EQ(s.fillAlgorithm, 1);
  EXPECT_EQ(s.closedShape, 1);
  EXPECT_EQ(s.bumpAmount, 30);
  EXPECT_EQ(s.color.blue, 4);
  EXPECT_EQ(s.alpha, 60);
  EXPECT_TRUE(s.inheritGeometry);
  EXPECT_FALSE(s.inheritsGeometry());  // no colour source
  EXPECT_FALSE(s.meshOn);
  EXPECT_FALSE(s.displacesTerrain());  // "Mesh" is off
}

MeshSettings terrain(A_long mode, double displace, uint32_t source) {
  MeshSettings s;
  s.terrainMode = mode;
  s.zDisplace = displace;
  s.terrainSource = source;
  return s;
}

TEST(ChooseNormals, afterMaskWarpingUsesTheSurfaceOfAMaskGrid) {
  EXPECT_EQ(ChooseNormals(terrain(mask::kAfterMaskWarping, 50, 1), 2), NormalsKind::kSurface);
}

TEST(ChooseNormals, afterMaskWarpingOnTheFlatSheetWithADistanceIsFlat) {
  EXPECT_EQ(ChooseNormals(terrain(mask::kAfterMaskWarping, 50, 1), 0), NormalsKind::kFlat);
  EXPECT_EQ(ChooseNormals(terrain(mask::kAfterMaskWarping, 50, 0), 1), NormalsKind::kFlat);
}

TEST(ChooseNormals, anInheritedGeometryCountsAsWarped) {
  MeshSettings s = terrain(mask::kAfterMaskWarping, 50, 1);
  s.inheritGeometry = true;
  s.colorSource = 7;
  EXPECT_EQ(ChooseNormals(s, 0), NormalsKind::kSurface);
}

TEST(ChooseNormals, beforeMaskWarpingIsFlatOnlyWithASource) {
  EXPECT_EQ(ChooseNormals(terrain(mask::kBeforeMaskWarping, 50, 1), 3), NormalsKind::kFlat);
  EXPECT_EQ(ChooseNormals(terrain(mask::kBeforeMaskWarping, 50, 0), 3), NormalsKind::kSurface);
}

TEST(ChooseNormals, noDistanceMeansSurfaceAndNanCountsAsADistance) {
  EXPECT_EQ(ChooseNormals(terrain(mask::kBeforeMaskWarping, 0, 1), 0), NormalsKind::kSurface);
  EXPECT_EQ(ChooseNormals(
                terrain(mask::kBeforeMaskWarping, std::numeric_limits<double>::quiet_NaN(), 1), 0),
            NormalsKind::kFlat);
}

TEST(DisplacesTerrain, needsADistanceASourceAndTheMeshOn) {
  MeshSettings s = terrain(mask::kAfterMaskWarping, 50, 1);
  EXPECT_TRUE(s.displacesTerrain());
  s.meshOn = false;
  EXPECT_FALSE(s.displacesTerrain());
  EXPECT_FALSE(terrain(mask::kAfterMaskWarping, 0, 1).displacesTerrain());
  EXPECT_FALSE(terrain(mask::kAfterMaskWarping, 50, 0).displacesTerrain());
}

}  // namespace
