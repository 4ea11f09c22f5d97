// One slot of 20,000 triangles through every deformer: the per-render fast path one triangle at a
// time and a whole slot at once, the plain reference that rebuilds everything for every vector,
// and a memcpy of one MeshSlot for scale. Two meshes: random triangles, whose corners never
// repeat, and a 100 × 100 grid cut as the mask effect cuts it, whose corners repeat about six
// times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

#include "TOLV_Distort/deform/MeshDeformer.h"
#include "bench/MemcpyBaseline.h"
#include "tests/distort/DeformCases.h"
#include "tests/distort/DeformReference.h"

namespace {

struct Scene {
  std::unique_ptr<MeshSlot> source;
  std::unique_ptr<MeshSlot> scratch;
  DeformValues values;
};

Scene MakeScene(bool grid) {
  std::mt19937 rng(42);
  Scene s;
  s.source = grid ? dtest::GridSlot(rng, 100, 100, false) : dtest::RandomSlot(rng, kMaxTriangles);
  s.scratch = std::make_unique<MeshSlot>();
  std::memcpy(s.scratch.get(), s.source.get(), sizeof(MeshSlot));
  s.values = MakeDeformValues(dtest::EveryDeformer(rng, true));
  return s;
}

// state.range(0): 0 for random triangles, 1 for the grid.
Scene& TheScene(const benchmark::State& state) {
  static Scene random = MakeScene(false);
  static Scene grid = MakeScene(true);
  return state.range(0) == 0 ? random : grid;
}

void BM_DeformSlotFast(benchmark::State& state) {
  Scene& s = TheScene(state);
  const int count = s.source->triangleCount;
  for (auto _ : state) {
    std::memcpy(s.scratch->triangles, s.source->triangles, kTrianglesBytes);
    const MeshDeformer deformer(s.values);
    const point3 centre = MeshCentre(*s.source);
    for (int i = 0; i < count; ++i)
      deformer.deformTriangle(&s.scratch->triangles[i], centre);
    benchmark::DoNotOptimize(s.scratch->triangles[count - 1]);
  }
}
BENCHMARK(BM_DeformSlotFast)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DeformSlotFastWhole(benchmark::State& state) {
  Scene& s = TheScene(state);
  const int count = s.source->triangleCount;
  for (auto _ : state) {
    std::memcpy(s.scratch->triangles, s.source->triangles, kTrianglesBytes);
    const MeshDeformer deformer(s.values);
    const point3 centre = MeshCentre(*s.source);
    deformer.deformTriangles(s.scratch->triangles, count, centre);
    benchmark::DoNotOptimize(s.scratch->triangles[count - 1]);
  }
}
BENCHMARK(BM_DeformSlotFastWhole)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DeformSlotReference(benchmark::State& state) {
  Scene& s = TheScene(state);
  const int count = s.source->triangleCount;
  for (auto _ : state) {
    std::memcpy(s.scratch->triangles, s.source->triangles, kTrianglesBytes);
    const point3 centre = reference::MeshCentre(*s.source);
    for (int i = 0; i < count; ++i)
      reference::DeformTriangle(s.values, &s.scratch->triangles[i], centre);
    benchmark::DoNotOptimize(s.scratch->triangles[count - 1]);
  }
}
BENCHMARK(BM_DeformSlotReference)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK(MemcpyMeshSlot)->Unit(benchmark::kMillisecond);
