// Controls and meshes for the deformer tests.
#pragma once

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "TOLV_Distort/deform/DeformValues.h"
#include "common/MeshSlot.h"

namespace dtest {

constexpr A_long kWidth = 640;
constexpr A_long kHeight = 360;

inline PF_Fixed Fixed(double pixels) {
  return static_cast<PF_Fixed>(pixels * 65536.0);
}

// The controls as a fresh effect has them: anchor and position at the layer centre.
inline DeformInputs Defaults() {
  DeformInputs in;
  in.anchorX = in.positionX = Fixed(kWidth / 2);
  in.anchorY = in.positionY = Fixed(kHeight / 2);
  in.width = kWidth;
  in.height = kHeight;
  return in;
}

inline A_long Degrees(double d) {
  return static_cast<A_long>(d * 65536.0);
}

inline float Random(std::mt19937& rng, float lo, float hi) {
  return std::uniform_real_distribution<float>(lo, hi)(rng);
}

inline point3 RandomPoint(std::mt19937& rng) {
  return {Random(rng, -50.0f, 700.0f), Random(rng, -50.0f, 400.0f), Random(rng, -300.0f, 300.0f)};
}

// A random triangle; every fourth one lies flat in z = 0 with axis normals, as masks give them, so
// that exact zeros pass through every step as well.
inline triangle RandomTriangle(std::mt19937& rng, int i) {
  triangle t;
  std::memset(&t, 0, sizeof t);
  t.vertexA = RandomPoint(rng);
  t.vertexB = RandomPoint(rng);
  t.vertexC = RandomPoint(rng);
  for (point3* n : {&t.faceNormal, &t.normalA, &t.normalB, &t.normalC})
    *n = {Random(rng, -1.0f, 1.0f), Random(rng, -1.0f, 1.0f), Random(rng, -1.0f, 1.0f)};
  if (i % 4 == 0) {
    t.vertexA.z = t.vertexB.z = t.vertexC.z = 0.0f;
    t.faceNormal = t.normalA = {0.0f, 0.0f, 1.0f};
    t.normalB = {0.0f, 1.0f, 0.0f};
    t.normalC = {-0.0f, 0.0f, -1.0f};
  }
  t.uvA = {0.25, 0.5};
  t.uvC = {1.0, 0.125};
  t.reserved = 3.5f;
  return t;
}

inline std::unique_ptr<MeshSlot> RandomSlot(std::mt19937& rng, int count) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  for (int i = 0; i < count; ++i)
    slot->triangles[i] = RandomTriangle(rng, i);
  slot->triangleCount = count;
  slot->slotIndex = 0;
  slot->meshEnabled = 1;
  return slot;
}

// A sheet of cols × rows cells over the layer cut into triangles as the mask effect cuts its grid:
// (TL, TR, BR) then (TL, BR, BL) per cell, every vertex shared by up to six triangles with the
// same normal each time. A flat sheet lies in z = 0 facing the viewer; otherwise depths, vertex
// normals and face normals are random.
inline std::unique_ptr<MeshSlot> GridSlot(std::mt19937& rng, int cols, int rows, bool flat) {
  struct Vertex {
    point3 position, normal;
  };
  std::vector<Vertex> grid;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      const float x = static_cast<float>(c) * kWidth / cols;
      const float y = static_cast<float>(r) * kHeight / rows;
      if (flat)
        grid.push_back({{x, y, 0.0f}, {0.0f, 0.0f, 1.0f}});
      else
        grid.push_back({{x, y, Random(rng, -60.0f, 60.0f)},
                        {Random(rng, -1.0f, 1.0f), Random(rng, -1.0f, 1.0f), 1.0f}});
    }
  }
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  int n = 0;
  auto put = [&](int a, int b, int c) {
    triangle& t = slot->triangles[n++];
    t.vertexA = grid[a].position;
    t.vertexB = grid[b].position;
    t.vertexC = grid[c].position;
    t.normalA = grid[a].normal;
    t.normalB = grid[b].normal;
    t.normalC = grid[c].normal;
    t.faceNormal = flat ? point3{0.0f, 0.0f, 1.0f}
                        : point3{Random(rng, -1.0f, 1.0f), Random(rng, -1.0f, 1.0f), 1.0f};
  };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int tl = r * (cols + 1) + c;
      const int br = tl + cols + 2;
      put(tl, tl + 1, br);
      put(tl, br, br - 1);
    }
  }
  slot->triangleCount = n;
  slot->meshEnabled = 1;
  return slot;
}

// Every deformer on, with values drawn at random.
inline DeformInputs EveryDeformer(std::mt19937& rng, bool from_center) {
  DeformInputs in = Defaults();
  auto angle = [&] { return Degrees(Random(rng, -200.0f, 200.0f)); };
  in.anchorX = Fixed(Random(rng, 10.0f, 600.0f));
  in.anchorY = Fixed(Random(rng, 10.0f, 350.0f));
  in.anchorZ = Random(rng, -100.0f, 100.0f);
  in.positionX = Fixed(Random(rng, 0.0f, 640.0f));
  in.positionY = Fixed(Random(rng, 0.0f, 360.0f));
  in.positionZ = Random(rng, -200.0f, 200.0f);
  in.scaleX = Random(rng, -150.0f, 150.0f);
  in.scaleY = Random(rng, 20.0f, 150.0f);
  in.scaleZ = Random(rng, -150.0f, 150.0f);
  in.rotationX = angle();
  in.rotationY = angle();
  in.rotationZ = angle();
  in.twistLeft = angle();
  in.twistRight = angle();
  in.twistUp = angle();
  in.twistDown = angle();
  in.twistFront = angle();
  in.twistBack = angle();
  in.twistXRange = Random(rng, 0.0f, 300.0f);
  in.twistYRange = Random(rng, 0.0f, 300.0f);
  in.twistZRange = Random(rng, 0.0f, 300.0f);
  in.bendHorizontal = angle();
  in.bendVertical = angle();
  in.explode = Random(rng, -50.0f, 50.0f);
  in.explodeMode = from_center ? 2 : 1;
  return in;
}

}  // namespace dtest
