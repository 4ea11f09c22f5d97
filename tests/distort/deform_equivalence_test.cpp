// The fast path against the plain step-by-step reference, on random meshes with every deformer on:
// the deformed triangles must agree byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "TOLV_Distort/deform/MeshDeformer.h"
#include "tests/distort/DeformCases.h"
#include "tests/distort/DeformReference.h"

namespace {

void ExpectSameDeformation(const DeformInputs& inputs, const MeshSlot& slot) {
  const DeformValues values = MakeDeformValues(inputs);
  const MeshDeformer fast(values);
  const point3 fast_centre = MeshCentre(slot);
  const point3 reference_centre = reference::MeshCentre(slot);
  ASSERT_EQ(std::memcmp(&fast_centre, &reference_centre, sizeof(point3)), 0);
  for (int i = 0; i < slot.triangleCount; ++i) {
    triangle a = slot.triangles[i];
    triangle b = slot.triangles[i];
    fast.deformTriangle(&a, fast_centre);
    reference::DeformTriangle(values, &b, reference_centre);
    ASSERT_EQ(std::memcmp(&a, &b, sizeof(triangle)), 0) << "triangle " << i;
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

}  // namespace
