// Triangulation and normals, each read against a memcpy of one mesh slot measured in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/normals_reference.h"
#include "TOLV_Mask/math/triangulate.h"
#include "bench/MemcpyBaseline.h"
#include "common/MeshSlot.h"

namespace {

// An outline as the mask sampler gives it: 92 points around a centre.
constexpr int kOutlinePoints = 92;
// The mask effect's largest common grid: 92 vertices per row, 100 rows.
constexpr int kGridCols = 91;
constexpr int kGridRows = 99;

std::vector<A_FloatPoint> outline(bool concave) {
  std::vector<A_FloatPoint> points;
  for (int i = 0; i < kOutlinePoints; ++i) {
    const double angle = 2 * M_PI * i / kOutlinePoints;
    const double radius = concave && i % 2 ? 120.0 : 200.0;
    points.push_back({320 + radius * std::cos(angle), 180 + radius * std::sin(angle)});
  }
  return points;
}

// A rippled cylinder, closed on itself, so the normals vary and the wrap step has work.
std::vector<vecNor> grid() {
  std::vector<vecNor> vertices;
  for (int r = 0; r <= kGridRows; ++r) {
    for (int c = 0; c <= kGridCols; ++c) {
      const float angle = 2 * static_cast<float>(M_PI) * c / kGridCols;
      const float radius = 150 + 10 * std::sin(0.3f * r);
      vertices.push_back(
          {{radius * std::cos(angle), 4.0f * r, radius * std::sin(angle)}, {0, 0, 0}});
    }
  }
  return vertices;
}

BENCHMARK(MemcpyMeshSlot);

void Triangulate92(benchmark::State& state, bool concave) {
  const std::vector<A_FloatPoint> points = outline(concave);
  for (auto _ : state) {
    std::vector<int> indices = math::tri::triangulate<int>(points);
    benchmark::DoNotOptimize(indices.data());
  }
}
BENCHMARK_CAPTURE(Triangulate92, Convex, false);
BENCHMARK_CAPTURE(Triangulate92, Concave, true);

using NormalsFunction = PF_Err (*)(int, int, std::vector<vecNor>&, std::vector<point3>&,
                                   unsigned char);

// The lists are reset outside the timing, as the render pipeline resets them before each call.
void NormalsGrid(benchmark::State& state, NormalsFunction normals) {
  const std::vector<vecNor> pristine = grid();
  std::vector<vecNor> vertices = pristine;
  std::vector<point3> faces;
  for (auto _ : state) {
    state.PauseTiming();
    vertices = pristine;
    faces.clear();
    state.ResumeTiming();
    benchmark::DoNotOptimize(normals(kGridCols, kGridRows, vertices, faces, 1));
    benchmark::ClobberMemory();
  }
}
BENCHMARK_CAPTURE(NormalsGrid, Batched, normalsFromCoord);
BENCHMARK_CAPTURE(NormalsGrid, Reference, normalsFromCoordReference);

}  // namespace
