// The fast path against the plain step-by-step reference, on random meshes with every deformer on:
// the deformed triangles must agree byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "TOLV_Distort/deform/MeshDeformer.h"
#include "tests/distort/DeformCases.h"
#include "tests/distort/DeformReference.h"

namespace {

// Both fast paths, one triangle at a time and the whole slot at once, against the reference.
void ExpectSameDeformation(const DeformInputs& inputs, const MeshSlot& slot) {
  const DeformValues values = MakeDeformValues(inputs);
  const MeshDeformer fast(values);
  const point3 fast_centre = MeshCentre(slot);
  const point3 reference_centre = reference::MeshCentre(slot);
  ASSERT_EQ(std::memcmp(&fast_centre, &reference_centre, sizeof(point3)), 0);
  auto whole = std::make_unique<MeshSlot>();
  std::memcpy(whole.get(), &slot, sizeof(MeshSlot));
  fast.deformTriangles(whole->triangles, slot.triangleCount, fast_centre);
  for (int i = 0; i < slot.triangleCount; ++i) {
    triangle a = slot.triangles[i];
    triangle b = slot.triangles[i];
    fast.deformTriangle(&a, fast_centre);
    reference::DeformTriangle(values, &b, reference_centre);
    ASSERT_EQ(std::memcmp(&a, &b, sizeof(triangle)), 0) << "triangle " << i;
    ASSERT_EQ(std::memcmp(&whole->triangles[i], &b, sizeof(triangle)), 0) << "slot triangle " << i;
  }
}

TEST(DeformEquivalence, everyDeformerOnRandomMeshesMatchesTheReferenceToTheBit) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto slot = dtest::RandomSlot(rng, 200);
    ExpectSameDeformation(dtest::EveryDeformer(rng, round % 2 == 1), *slot);
  }
}

// Grids share every vertex and its normal between triangles, so the slot path mostly looks its
// corners up rather than working them out; what it looks up must be what it would have computed.
TEST(DeformEquivalence, everyDeformerOnGridMeshesMatchesTheReferenceToTheBit) {
  std::mt19937 rng(1207);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto slot = dtest::GridSlot(rng, 24 + round, 16, round % 3 == 0);
    ExpectSameDeformation(dtest::EveryDeformer(rng, round % 2 == 1), *slot);
  }
}

// A grid large enough that the memo fills past its trial, mixed with random triangles whose
// corners never repeat, and a slot of random triangles alone, where the memo stands aside.
TEST(DeformEquivalence, largeSlotsMatchTheReferenceWhetherCornersRepeatOrNot) {
  std::mt19937 rng(99);
  auto grid = dtest::GridSlot(rng, 40, 30, false);
  for (int i = 0; i < 1500; ++i)
    grid->triangles[grid->triangleCount + i] = dtest::RandomTriangle(rng, i);
  grid->triangleCount += 1500;
  ExpectSameDeformation(dtest::EveryDeformer(rng, false), *grid);
  auto random = dtest::RandomSlot(rng, 2000);
  ExpectSameDeformation(dtest::EveryDeformer(rng, true), *random);
}

// The memo keys on bits: +0 and -0 positions, and a vertex repeated with different normals,
// are different corners.
TEST(DeformEquivalence, signedZerosAndRepeatedVerticesWithOtherNormalsStayApart) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  const point3 positions[] = {{0.0f, 0.0f, 0.0f}, {-0.0f, 0.0f, 0.0f}, {0.0f, -0.0f, -0.0f}};
  const point3 normals[] = {{0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -0.0f}, {-0.0f, 1.0f, 0.0f}};
  int n = 0;
  for (const point3& p : positions) {
    for (const point3& q : normals) {
      triangle& t = slot->triangles[n++];
      t.vertexA = t.vertexB = t.vertexC = p;
      t.faceNormal = t.normalA = q;
      t.normalB = normals[n % 3];
      t.normalC = normals[(n + 1) % 3];
    }
  }
  slot->triangleCount = n;
  DeformInputs in = dtest::Defaults();
  in.bendHorizontal = dtest::Degrees(60);
  in.bendVertical = dtest::Degrees(30);
  in.twistUp = dtest::Degrees(20);
  in.rotationX = dtest::Degrees(90);
  ExpectSameDeformation(in, *slot);
}

TEST(DeformEquivalence, singleDeformersAloneMatchTheReference) {
  std::mt19937 rng(7);
  auto slot = dtest::RandomSlot(rng, 64);
  DeformInputs in = dtest::Defaults();
  ExpectSameDeformation(in, *slot);
  in.bendHorizontal = dtest::Degrees(75);
  ExpectSameDeformation(in, *slot);
  in = dtest::Defaults();
  in.bendVertical = dtest::Degrees(-40);
  ExpectSameDeformation(in, *slot);
  in = dtest::Defaults();
  in.twistFront = dtest::Degrees(33);
  ExpectSameDeformation(in, *slot);
  in = dtest::Defaults();
  in.scaleY = -250;
  in.rotationZ = dtest::Degrees(12.5);
  ExpectSameDeformation(in, *slot);
}

// Vertices on the anchor's column and row turn by a zero angle, whose sine is a signed zero; flat
// meshes carry exact zeros in every normal. Both must come out with the reference's signs.
TEST(DeformEquivalence, zeroTurnsAndSignedZerosMatchTheReference) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  const float ax = 100.0f, ay = 50.0f;
  const point3 corners[] = {{ax, ay, 0.0f},   {ax, 80.0f, -0.0f}, {30.0f, ay, 0.0f},
                            {ax, 0.0f, 5.0f}, {0.0f, ay, -5.0f},  {-0.0f, -0.0f, 0.0f}};
  int n = 0;
  for (const point3& a : corners) {
    for (const point3& b : corners) {
      triangle& t = slot->triangles[n++];
      t.vertexA = a;
      t.vertexB = b;
      t.vertexC = {ax, ay, -0.0f};
      t.faceNormal = {0.0f, 0.0f, 1.0f};
      t.normalA = {-0.0f, 0.0f, -1.0f};
      t.normalB = {1.0f, -0.0f, 0.0f};
      t.normalC = {0.0f, 1.0f, -0.0f};
    }
  }
  slot->triangleCount = n;
  for (A_long mode : {1, 2}) {
    DeformInputs in = dtest::Defaults();
    in.anchorX = in.positionX = dtest::Fixed(ax);
    in.anchorY = in.positionY = dtest::Fixed(ay);
    in.bendHorizontal = dtest::Degrees(90);
    in.bendVertical = dtest::Degrees(-45);
    in.explodeMode = mode;
    in.explode = 3;
    ExpectSameDeformation(in, *slot);
    in.twistLeft = dtest::Degrees(10);
    in.rotationY = dtest::Degrees(180);
    ExpectSameDeformation(in, *slot);
  }
}

// The same bits, or both NaN: a NaN's payload may come from either operand of the operation that
// made it.
bool SameOrBothNaN(float a, float b) {
  if (std::isnan(a) && std::isnan(b))
    return true;
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Both fast paths against the reference, value by value with NaNs alike.
void ExpectSameValues(const DeformInputs& inputs, const MeshSlot& slot) {
  const DeformValues values = MakeDeformValues(inputs);
  const MeshDeformer fast(values);
  const point3 centre = reference::MeshCentre(slot);
  auto whole = std::make_unique<MeshSlot>();
  std::memcpy(whole.get(), &slot, sizeof(MeshSlot));
  fast.deformTriangles(whole->triangles, slot.triangleCount, centre);
  for (int i = 0; i < slot.triangleCount; ++i) {
    triangle single = slot.triangles[i];
    triangle want = slot.triangles[i];
    fast.deformTriangle(&single, centre);
    reference::DeformTriangle(values, &want, centre);
    for (const triangle* got : {&single, &whole->triangles[i]}) {
      const float* g = &got->vertexA.x;
      const float* w = &want.vertexA.x;
      for (int k = 0; k < 21; ++k)  // the seven vectors, three floats each, in a row
        ASSERT_TRUE(SameOrBothNaN(g[k], w[k]))
            << "triangle " << i << " float " << k << ": " << g[k] << " against " << w[k];
    }
  }
}

// A damaged store may hold any float: infinities, NaNs, huge and subnormal values must go through
// the lanes as through the reference, with every deformer on and in both explode modes.
TEST(DeformEquivalence, nonFiniteAndExtremeValuesMatchTheReference) {
  const float specials[] = {
      std::numeric_limits<float>::infinity(),  -std::numeric_limits<float>::infinity(),
      std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::max(),
      -std::numeric_limits<float>::max(),      std::numeric_limits<float>::denorm_min(),
      -std::numeric_limits<float>::min(),      1e30f};
  std::mt19937 rng(1234);
  auto slot = dtest::RandomSlot(rng, 300);
  int n = 0;
  for (int i = 0; i < slot->triangleCount; i += 3) {
    float* words = &slot->triangles[i].vertexA.x;
    words[(i / 3) % 21] = specials[n++ % 8];
  }
  for (bool from_center : {false, true})
    ExpectSameValues(dtest::EveryDeformer(rng, from_center), *slot);
}

// Ranges at and beyond their clamps, and a layer without width or height (weight 0 everywhere).
TEST(DeformEquivalence, clampedRangesAndAnEmptyLayerMatchTheReference) {
  std::mt19937 rng(4321);
  auto slot = dtest::RandomSlot(rng, 150);
  for (double range : {0.0, 0.05, 1000.0, -20.0}) {
    DeformInputs in = dtest::EveryDeformer(rng, false);
    in.twistXRange = in.twistYRange = in.twistZRange = range;
    ExpectSameDeformation(in, *slot);
  }
  DeformInputs empty = dtest::EveryDeformer(rng, true);
  empty.width = 0;
  empty.height = 0;
  ExpectSameDeformation(empty, *slot);
}

}  // namespace
