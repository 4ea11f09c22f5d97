// The mask effect's render on its largest mesh, through the testbed with the real module and the
// stand-in renderer below it, read against a memcpy of one mesh slot measured in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "bench/MemcpyBaseline.h"
#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"

namespace {

// The build folder: the benchmark lives in its bench/ folder, the modules in plugins/.
std::string buildDir() {
  if (const char* dir = std::getenv("TOLV_BUILD_DIR"))
    return dir;
  char path[PATH_MAX] = {};
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string exe(path, n > 0 ? static_cast<size_t>(n) : 0);
  exe = exe.substr(0, exe.find_last_of('/'));
  return exe.substr(0, exe.find_last_of('/'));
}

// Ten masks of four segments each, stacked in depth: "X subdivide" 50 gives 92 points per row,
// "Y subdivide" 99 gives 100 rows; both ends capped, a terrain pushing the surface out (or, to
// show what its 9,200 host samples cost, without it).
std::string largestScene(bool terrain) {
  std::string masks, params;
  for (int k = 0; k < 10; ++k) {
    const int inset = 10 + 8 * k;
    const std::string name = "M" + std::to_string(k);
    auto p = [](int x, int y) { return "[" + std::to_string(x) + ", " + std::to_string(y) + "]"; };
    masks += std::string(k ? ", " : "") + R"({"name": ")" + name + R"(", "points": [)" +
             p(inset, inset) + ", " + p(inset, 360 - inset) + ", " + p(640 - inset, 360 - inset) +
             ", " + p(640 - inset, inset) + "]}";
    params += ", \"" + std::to_string(4 + 5 * k) + "\": \"" + name + "\", \"" +
              std::to_string(5 + 5 * k) + "\": " + std::to_string(-40 * k);
  }
  return R"({"comp": {"name": "Main", "width": 640, "height": 360, "fps": 25, "duration": 10},
             "layers": [
               {"name": "Card", "kind": "solid", "size": [640, 360], "color": [255, 255, 255, 255],
                "masks": [)" +
         masks + R"(],
                "effects": [{"match": "ZEK TOLV_Mask",
                             "params": {"1": 50, "2": 99, "83": 4, "71": "Ground", "72": )" +
         std::string(terrain ? "10" : "0") + params + R"(}},
                            {"match": "ZEK TOLV_Engine"}]},
               {"name": "Ground", "kind": "gradient", "size": [640, 360],
                "color": [0, 0, 0, 255], "color2": [255, 255, 255, 255]}]})";
}

BENCHMARK(MemcpyMeshSlot);

// One PF_Cmd_RENDER of the mask effect, including the hand-off to the stand-in renderer and, when
// testbedCopy is set, the copy the testbed keeps of every record it delivers (no host makes it).
void RenderLargestMesh(benchmark::State& state, bool terrain, bool testbedCopy) {
  tb::Host host;
  host.load(buildDir() + "/plugins/TOLV_Mask.so");
  host.load(buildDir() + "/plugins/TOLV_Engine.so");
  const tb::scene::SceneSpec scene = tb::scene::parseScene(largestScene(terrain), "largest.json");
  tb::Comp& comp = tb::scene::buildScene(host, scene);
  tb::Layer& layer = *comp.layers.at(0);
  tb::Effect& mask = *layer.effects.at(0);

  std::vector<PF_ParamDef> defs = mask.params;
  const A_long dflt = defs[0].u.ld.dephault;
  defs[0].u.ld = layer.pixels->def();
  defs[0].u.ld.dephault = dflt;
  std::vector<PF_ParamDef*> params;
  for (PF_ParamDef& d : defs)
    params.push_back(&d);
  std::optional<tb::World> output = tb::World::blank(layer.width, layer.height);
  auto render = [&] {
    const size_t before = host.engineDeliveries();
    const tb::CommandResult r =
        host.send({mask.module, &mask}, PF_Cmd_RENDER, params.data(), &output->def(), nullptr);
    return r.err == PF_Err_NONE && host.engineDeliveries() == before + 1;
  };

  // The mesh is read from one render outside the timing.
  int32_t triangles = 0;
  if (!render() || host.engineRecords().size() != 1) {
    state.SkipWithError("the render failed or sent nothing");
    return;
  }
  std::memcpy(&triangles, host.engineRecords()[0].bytes.data() + offsetof(MeshSlot, triangleCount),
              sizeof triangles);
  host.clearEngineRecords();
  host.keepEngineRecords(testbedCopy);

  for (auto _ : state) {
    if (!render()) {
      state.SkipWithError("the render failed or sent nothing");
      break;
    }
    if (testbedCopy) {
      state.PauseTiming();
      host.clearEngineRecords();
      state.ResumeTiming();
    }
  }
  state.counters["triangles"] = triangles;
}
BENCHMARK_CAPTURE(RenderLargestMesh, Terrain, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderLargestMesh, NoTerrain, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RenderLargestMesh, TerrainWithTestbedCopy, true, true)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
