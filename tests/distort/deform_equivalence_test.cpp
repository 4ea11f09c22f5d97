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

}  // namespace
