// One slot of 20,000 triangles through every deformer: the per-render fast path, the plain
// reference that rebuilds everything for every vector, and a memcpy of one MeshSlot for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

#include "TOLV_Distort/deform/MeshDeformer.h"
#include "tests/distort/DeformCases.h"
#include "tests/distort/DeformReference.h"

namespace {

struct Scene {
  std::unique_ptr<MeshSlot> source;
  std::unique_ptr<MeshSlot> scratch;
  DeformValues values;
};

Scene& TheScene() {
  static Scene scene = [] {
    std::mt19937 rng(42);
    Scene s;
    s.source = dtest::RandomSlot(rng, kMaxTriangles);
    s.scratch = std::make_unique<MeshSlot>();
    std::memcpy(s.scratch.get(), s.source.get(), sizeof(MeshSlot));
    s.values = MakeDeformValues(dtest::EveryDeformer(rng, true));
    return s;
  }();
  return scene;
}

void BM_DeformSlotFast(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    std::memcpy(s.scratch->triangles, s.source->triangles, kTrianglesBytes);
    const MeshDeformer deformer(s.values);
    const point3 centre = MeshCentre(*s.source);
    for (int i = 0; i < kMaxTriangles; ++i)
      deformer.deformTriangle(&s.scratch->triangles[i], centre);
    benchmark::DoNotOptimize(s.scratch->triangles[kMaxTriangles - 1]);
  }
}
BENCHMARK(BM_DeformSlotFast)->Unit(benchmark::kMillisecond);

void BM_DeformSlotReference(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    std::memcpy(s.scratch->triangles, s.source->triangles, kTrianglesBytes);
    const point3 centre = reference::MeshCentre(*s.source);
    for (int i = 0; i < kMaxTriangles; ++i)
      reference::DeformTriangle(s.values, &s.scratch->triangles[i], centre);
    benchmark::DoNotOptimize(s.scratch->triangles[kMaxTriangles - 1]);
  }
}
BENCHMARK(BM_DeformSlotReference)->Unit(benchmark::kMillisecond);

void BM_MemcpyMeshSlot(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    std::memcpy(s.scratch.get(), s.source.get(), sizeof(MeshSlot));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyMeshSlot)->Unit(benchmark::kMillisecond);

}  // namespace
