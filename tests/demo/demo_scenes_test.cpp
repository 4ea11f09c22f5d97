// Each demo scene in examples/ runs through `tolv-testbed render` without an error from any
// command, and its mask effect's mesh reaches the stand-in renderer with triangles in it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "testbed/cli/Render.h"
#include "tests/support/Modules.h"

namespace {

struct DemoCase {
  const char* scene;
  int minTriangles;  // a mesh of the shape, not a stray sheet of two
};

class DemoScene : public testing::TestWithParam<DemoCase> {};

TEST_P(DemoScene, rendersCleanlyAndSendsItsMesh) {
  tb::RenderOptions options;
  options.scene = GetParam().scene;
  options.json = true;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  ASSERT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  const nlohmann::json report = nlohmann::json::parse(out.str());
  int renders = 0;
  for (const auto& step : report["steps"]) {
    for (const auto& status : step["status"])
      EXPECT_EQ(status["err"], 0) << status.dump();
    if (step["step"] != "render")
      continue;
    ++renders;
    ASSERT_EQ(step["meshes"].size(), 1u);
    const auto& mesh = step["meshes"][0];
    EXPECT_EQ(mesh["slot"], 0);
    EXPECT_EQ(mesh["enabled"], true);
    EXPECT_EQ(mesh["cap_fill_failed"], false);
    EXPECT_GE(mesh["triangles"].get<int>(), GetParam().minTriangles);
    // Each demo stacks mask effect, distort effect and renderer; the renderer holds the mesh.
    EXPECT_EQ(mesh["effect"], 2);
  }
  EXPECT_EQ(renders, 1);
}

INSTANTIATE_TEST_SUITE_P(Examples, DemoScene,
                         testing::Values(DemoCase{"examples/vase.json", 3000},
                                         DemoCase{"examples/ribbon.json", 400},
                                         DemoCase{"examples/terrain.json", 1000}),
                         [](const testing::TestParamInfo<DemoCase>& info) {
                           const std::string path = info.param.scene;
                           return path.substr(9, path.size() - 9 - 5);
                         });

TEST(DefaultScene, renderWithoutASceneRendersTheVase) {
  const std::string command = tbtest::buildDir() + "/tolv-testbed render --json";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    out.append(buffer, n);
  ASSERT_EQ(pclose(pipe.release()), 0);
  const nlohmann::json report = nlohmann::json::parse(out);
  ASSERT_EQ(report["steps"].size(), 1u);
  ASSERT_EQ(report["steps"][0]["meshes"].size(), 1u);
  EXPECT_EQ(report["steps"][0]["meshes"][0]["layer"], "Vase");
}

}  // namespace
