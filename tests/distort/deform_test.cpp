// The deformers on their own: the values read from the controls and the geometric cases, with
// expectations worked out here independently of the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TOLV_Distort/deform/MeshDeformer.h"
#include "tests/distort/DeformCases.h"

namespace {

using dtest::Defaults;
using dtest::Degrees;
using dtest::Fixed;
using dtest::kHeight;
using dtest::kWidth;

bool Finite(const point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool SameBits(const point3& a, const point3& b) {
  return std::memcmp(&a, &b, sizeof(point3)) == 0;
}

triangle FlatTriangle(point3 a, point3 b, point3 c) {
  triangle t;
  std::memset(&t, 0, sizeof t);
  t.vertexA = a;
  t.vertexB = b;
  t.vertexC = c;
  t.faceNormal = t.normalA = {0.0f, 0.0f, 1.0f};
  t.normalB = {1.0f, 0.0f, 0.0f};
  t.normalC = {0.0f, 1.0f, 0.0f};
  t.uvB = {0.5, 0.75};
  t.reserved = 9.0f;
  return t;
}

TEST(DeformValues, percentFactorsUseTheWidenedSinglePrecisionHundredth) {
  DeformInputs in = Defaults();
  in.scaleX = 50;
  in.twistYRange = 30;
  const DeformValues v = MakeDeformValues(in);
  EXPECT_EQ(v.sx, static_cast<float>(50 * 0.009999999776482582));
  EXPECT_EQ(v.gY, static_cast<float>(30 * 0.009999999776482582));
}

TEST(DeformValues, tinyScalesAreFlooredWithTheirSignAndZeroCountsAsPositive) {
  DeformInputs in = Defaults();
  in.scaleX = 0;
  in.scaleY = -0.0001;
  in.scaleZ = -0.0;
  const DeformValues v = MakeDeformValues(in);
  EXPECT_EQ(v.sx, 1e-5f);
  EXPECT_EQ(v.sy, -1e-5f);
  EXPECT_EQ(v.sz, 1e-5f);
  // σ is −1 (one negative factor), so every direction factor is −1 / s.
  EXPECT_EQ(v.nx, -1.0f / 1e-5f);
  EXPECT_EQ(v.ny, -1.0f / -1e-5f);
}

TEST(DeformValues, aMirrorTurnsTheNormalFactors) {
  DeformInputs in = Defaults();
  in.scaleX = -100;
  const DeformValues v = MakeDeformValues(in);
  EXPECT_EQ(v.sx, -1.0f);
  EXPECT_EQ(v.nx, 1.0f);
  EXPECT_EQ(v.ny, -1.0f);
  EXPECT_EQ(v.nz, -1.0f);
}

TEST(DeformValues, anglesAreNegatedExceptTheBendsAndPointsScaleWithDownsampling) {
  DeformInputs in = Defaults();
  in.rotationX = Degrees(90);
  in.twistBack = Degrees(-10);
  in.bendHorizontal = Degrees(45);
  in.anchorX = Fixed(100);
  in.downsampleXDen = 2;
  in.rotationY = -2147483647 - 1;
  const DeformValues v = MakeDeformValues(in);
  EXPECT_EQ(v.rx, -90.0f * 65536.0f);
  EXPECT_EQ(v.tB, 10.0f * 65536.0f);
  EXPECT_EQ(v.bH, 45.0f * 65536.0f);
  EXPECT_EQ(v.ax, 200.0);
  EXPECT_EQ(v.ry, 2147483648.0f);
}

TEST(DeformValues, anExplodeModeOutsideTheItemsFollowsTheNormal) {
  DeformInputs in = Defaults();
  in.explodeMode = 3;
  EXPECT_FALSE(MakeDeformValues(in).fromCenter);
  in.explodeMode = 2;
  EXPECT_TRUE(MakeDeformValues(in).fromCenter);
}

TEST(MeshDeformer, defaultsLeaveEveryVertexAndNormalUnchanged) {
  const MeshDeformer d(MakeDeformValues(Defaults()));
  const triangle before =
      FlatTriangle({12.5f, 7.25f, 0.0f}, {600.0f, 3.0f, -40.5f}, {320.0f, 359.0f, 17.0f});
  triangle t = before;
  d.deformTriangle(&t, {0, 0, 0});
  EXPECT_EQ(std::memcmp(&t, &before, sizeof t), 0);
}

TEST(MeshDeformer, positionMovedRightMovesEveryVertexAndNoNormal) {
  DeformInputs in = Defaults();
  in.positionX = Fixed(kWidth / 2 + 10);
  const MeshDeformer d(MakeDeformValues(in));
  triangle t = FlatTriangle({12.5f, 7.25f, 0.0f}, {600.0f, 3.0f, -40.5f}, {320.0f, 359.0f, 17.0f});
  const triangle before = t;
  d.deformTriangle(&t, {0, 0, 0});
  EXPECT_EQ(t.vertexA.x, 22.5f);
  EXPECT_EQ(t.vertexB.x, 610.0f);
  EXPECT_EQ(t.vertexC.y, 359.0f);
  EXPECT_EQ(t.vertexB.z, -40.5f);
  EXPECT_TRUE(SameBits(t.faceNormal, before.faceNormal));
  EXPECT_TRUE(SameBits(t.normalB, before.normalB));
}

TEST(MeshDeformer, positionZLowersEveryVertex) {
  DeformInputs in = Defaults();
  in.positionZ = 100;
  const MeshDeformer d(MakeDeformValues(in));
  EXPECT_EQ(d.deformPoint({5.0f, 6.0f, 7.0f}).z, -93.0f);
  EXPECT_EQ(d.deformPoint({5.0f, 6.0f, 0.0f}).z, -100.0f);
}

TEST(MeshDeformer, rotationXNinetyTurnsDownIntoTheScreen) {
  DeformInputs in = Defaults();
  in.rotationX = Degrees(90);
  const MeshDeformer d(MakeDeformValues(in));
  const point3 p = d.deformPoint({kWidth / 2.0f, kHeight / 2.0f + 1.0f, 0.0f});
  EXPECT_NEAR(p.x - kWidth / 2.0f, 0.0f, 1e-5f);
  EXPECT_NEAR(p.y - kHeight / 2.0f, 0.0f, 1e-5f);
  EXPECT_NEAR(p.z, -1.0f, 1e-5f);
}

// Rx of angle a (row vectors): (x, y, z) → (x, y·c − z·s, y·s + z·c).
point3 TurnAboutX(point3 p, double degrees, double cy) {
  const double a = degrees * 3.141592653589793 / 180.0;
  const double y = p.y - cy;
  return {p.x, static_cast<float>(y * std::cos(a) - p.z * std::sin(a) + cy),
          static_cast<float>(y * std::sin(a) + p.z * std::cos(a))};
}

TEST(MeshDeformer, equalLeftAndRightTwistsAreOneRotationAboutTheCentreLine) {
  DeformInputs in = Defaults();
  in.twistLeft = in.twistRight = Degrees(30);
  const MeshDeformer d(MakeDeformValues(in));
  for (point3 p : {point3{0, 0, 0}, point3{100, 50, 20}, point3{639, 359, -80}}) {
    const point3 got = d.deformPoint(p);
    const point3 want = TurnAboutX(p, -30, kHeight / 2.0);
    EXPECT_NEAR(got.x, want.x, 1e-3f);
    EXPECT_NEAR(got.y, want.y, 1e-3f);
    EXPECT_NEAR(got.z, want.z, 1e-3f);
  }
}

TEST(MeshDeformer, aHalfRangeTwistHasThreeZones) {
  DeformInputs in = Defaults();
  in.twistLeft = Degrees(90);
  in.twistXRange = 50;
  const MeshDeformer d(MakeDeformValues(in));
  const point3 left{kWidth / 4.0f - 10, 300, 0};
  const point3 right{3 * kWidth / 4.0f + 10, 300, 0};
  const point3 middle{kWidth / 2.0f, 300, 0};
  const point3 full = TurnAboutX(left, -90, kHeight / 2.0);
  EXPECT_NEAR(d.deformPoint(left).y, full.y, 1e-3f);
  EXPECT_NEAR(d.deformPoint(left).z, full.z, 1e-3f);
  EXPECT_EQ(d.deformPoint(right).y, 300.0f);
  EXPECT_EQ(d.deformPoint(right).z, 0.0f);
  // Half way: the mean of the turned position and the untouched one.
  const point3 turned = TurnAboutX(middle, -90, kHeight / 2.0);
  EXPECT_NEAR(d.deformPoint(middle).y, (turned.y + 300.0f) / 2, 1e-3f);
  EXPECT_NEAR(d.deformPoint(middle).z, turned.z / 2, 1e-3f);
}

TEST(MeshDeformer, scaleXZeroFloorsAndPullsNormalsOntoTheXAxis) {
  DeformInputs in = Defaults();
  in.scaleX = 0;
  const MeshDeformer d(MakeDeformValues(in));
  EXPECT_NEAR(d.deformPoint({kWidth / 2.0f + 1000, 0, 0}).x, kWidth / 2.0f + 0.01f, 1e-4f);
  triangle t = FlatTriangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
  t.normalA = {0.6f, 0.0f, 0.8f};
  d.deformTriangle(&t, {0, 0, 0});
  EXPECT_NEAR(t.normalA.x, 1.0f, 1e-6f);
  EXPECT_NEAR(t.normalA.z, 0.8f / (0.6f * 100000.0f), 1e-7f);
}

// "Scale X" -100 mirrors positions about the anchor in x; the normal factors (1, -1, -1) turn the
// normals round with the mirrored surface.
TEST(MeshDeformer, aMirrorInXFlipsPositionsAndTurnsNormalsRound) {
  DeformInputs in = Defaults();
  in.scaleX = -100;
  const MeshDeformer d(MakeDeformValues(in));
  triangle t = FlatTriangle({kWidth / 2.0f + 10, kHeight / 2.0f + 5, 7}, {0, 0, 0}, {1, 2, 3});
  t.normalA = {0.6f, 0.0f, 0.8f};
  d.deformTriangle(&t, {0, 0, 0});
  EXPECT_EQ(t.vertexA.x, kWidth / 2.0f - 10);
  EXPECT_EQ(t.vertexA.y, kHeight / 2.0f + 5);
  EXPECT_EQ(t.vertexA.z, 7.0f);
  EXPECT_EQ(t.vertexB.x, static_cast<float>(kWidth));
  EXPECT_NEAR(t.normalA.x, 0.6f, 1e-6f);
  EXPECT_NEAR(t.normalA.z, -0.8f, 1e-6f);
  EXPECT_EQ(t.faceNormal.z, -1.0f);
  EXPECT_EQ(t.normalC.y, -1.0f);
  EXPECT_EQ(t.normalB.x, 1.0f);
}

TEST(MeshDeformer, explodeFollowsTheFaceNormal) {
  DeformInputs in = Defaults();
  in.explode = 10;
  const MeshDeformer d(MakeDeformValues(in));
  triangle t = FlatTriangle({10, 10, 0}, {20, 10, 0}, {10, 30, 0});
  t.faceNormal = {0.0f, 0.6f, 0.8f};
  d.deformTriangle(&t, {0, 0, 0});
  EXPECT_EQ(t.vertexA.y, 10.0f + 10.0f * t.faceNormal.y);
  EXPECT_EQ(t.vertexB.z, 10.0f * t.faceNormal.z);
  EXPECT_NEAR(t.vertexC.z, 8.0f, 1e-5f);
}

TEST(MeshDeformer, explodeFromCentreMovesAlongTheDirectionFromTheMeshCentre) {
  DeformInputs in = Defaults();
  in.explode = 10;
  in.explodeMode = 2;
  const MeshDeformer d(MakeDeformValues(in));
  triangle t = FlatTriangle({30, 0, 0}, {33, 0, 0}, {30, 0, 0});  // centroid (31, 0, 0)
  d.deformTriangle(&t, {31, -4, 3});                              // unit direction (0, 0.8, -0.6)
  EXPECT_NEAR(t.vertexA.y, 8.0f, 1e-5f);
  EXPECT_NEAR(t.vertexB.z, -6.0f, 1e-5f);
  EXPECT_EQ(t.vertexB.x, 33.0f);
}

TEST(MeshDeformer, texturesAndReservedAreNeverTouched) {
  std::mt19937 rng(3);
  const MeshDeformer d(MakeDeformValues(dtest::EveryDeformer(rng, true)));
  const triangle before = dtest::RandomTriangle(rng, 1);
  triangle t = before;
  d.deformTriangle(&t, {1, 2, 3});
  EXPECT_EQ(std::memcmp(&t.uvA, &before.uvA, sizeof(triangle) - offsetof(triangle, uvA)), 0);
}

TEST(MeshDeformer, bendKeepsTheAnchorColumnAndBendsTheRest) {
  DeformInputs in = Defaults();
  in.bendHorizontal = Degrees(90);
  const MeshDeformer d(MakeDeformValues(in));
  const point3 anchor_column = d.deformPoint({kWidth / 2.0f, 40.0f, 0.0f});
  EXPECT_NEAR(anchor_column.x, kWidth / 2.0f, 1e-3f);
  EXPECT_NEAR(anchor_column.z, 0.0f, 1e-3f);
  const point3 edge = d.deformPoint({0.0f, 40.0f, 0.0f});
  EXPECT_GT(std::fabs(edge.z), 1.0f);
}

// Left open by the deformation's arithmetic: these inputs divided by zero. The bend step is
// skipped and a zero extent weighs 0, so the meshes stay finite.
TEST(MeshDeformer, anAnchorOnTheBendsEdgeSkipsThatStep) {
  DeformInputs in = Defaults();
  in.anchorX = in.positionX = 0;
  in.bendHorizontal = Degrees(60);
  const MeshDeformer horizontal(MakeDeformValues(in));
  EXPECT_TRUE(SameBits(horizontal.deformPoint({5, 6, 7}), point3{5, 6, 7}));
  in = Defaults();
  in.anchorY = in.positionY = 0;
  in.bendVertical = Degrees(60);
  in.bendHorizontal = Degrees(30);
  const MeshDeformer both(MakeDeformValues(in));
  triangle t = FlatTriangle({5, 6, 7}, {50, 60, 70}, {0, 0, 0});
  both.deformTriangle(&t, {0, 0, 0});
  for (const point3* p : {&t.vertexA, &t.vertexB, &t.vertexC, &t.faceNormal, &t.normalA})
    EXPECT_TRUE(Finite(*p));
}

TEST(MeshDeformer, aTwistOverAnEmptyLayerUsesTheFirstAngle) {
  DeformInputs in = Defaults();
  in.width = in.height = 0;
  in.twistLeft = Degrees(90);
  in.twistUp = Degrees(20);
  in.twistFront = Degrees(45);
  const MeshDeformer d(MakeDeformValues(in));
  triangle t = FlatTriangle({5, 6, 7}, {50, 60, 70}, {0, 0, 0});
  d.deformTriangle(&t, {0, 0, 0});
  for (const point3* p : {&t.vertexA, &t.vertexB, &t.vertexC, &t.faceNormal, &t.normalC})
    EXPECT_TRUE(Finite(*p));
  in.twistUp = in.twistFront = 0;
  const MeshDeformer left_only(MakeDeformValues(in));
  // Weight 0: the whole left turn about the centre line, here the layer's corner.
  const point3 p = left_only.deformPoint({0, 1, 0});
  EXPECT_NEAR(p.y, 0.0f, 1e-5f);
  EXPECT_NEAR(p.z, -1.0f, 1e-5f);
}

TEST(MeshCentre, isTheMeanCentroidAndNeedsTriangles) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  slot->triangles[0] = FlatTriangle({0, 0, 0}, {3, 0, 0}, {0, 3, 0});
  slot->triangles[1] = FlatTriangle({3, 3, 3}, {6, 3, 3}, {3, 6, 3});
  slot->triangleCount = 2;
  const point3 c = MeshCentre(*slot);
  EXPECT_EQ(c.x, 2.5f);
  EXPECT_EQ(c.y, 2.5f);
  EXPECT_EQ(c.z, 1.5f);
  slot->triangleCount = 0;
  EXPECT_TRUE(SameBits(MeshCentre(*slot), point3{0, 0, 0}));
  slot->triangleCount = -5;
  EXPECT_TRUE(SameBits(MeshCentre(*slot), point3{0, 0, 0}));
  slot->triangleCount = 1 << 30;
  EXPECT_TRUE(Finite(MeshCentre(*slot)));
}

}  // namespace
