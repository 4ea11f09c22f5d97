// Each demo scene in examples/ runs through `tolv-testbed render` without an error from any
// command, and its mask effect's mesh reaches the stand-in renderer with triangles in it; the
// pictures in docs/ are the ones the demo makes.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

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
                                         DemoCase{"examples/terrain.json", 1000},
                                         DemoCase{"examples/path_light.json", 3000}),
                         [](const testing::TestParamInfo<DemoCase>& info) {
                           const std::string path = info.param.scene;
                           return path.substr(9, path.size() - 9 - 5);
                         });

nlohmann::json renderReport(const std::string& scene, const std::string& outDir = "") {
  tb::RenderOptions options;
  options.scene = scene;
  options.json = true;
  options.outDir = outDir;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  EXPECT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  return nlohmann::json::parse(out.str());
}

// The change step checks "Create 3D light and use as path ": the light is made and keyed through
// the composition at the five rows' depths before the render strings the rings along it.
TEST(PathLightDemo, theChangeStepCreatesTheKeyedLightBeforeTheRender) {
  const nlohmann::json report = renderReport("examples/path_light.json");
  ASSERT_EQ(report["steps"].size(), 2u);
  EXPECT_EQ(report["steps"][0]["lights"]["created"], nlohmann::json::array({"'Morvane' path"}));
  EXPECT_EQ(report["steps"][0]["alerts"], nlohmann::json::array());
  const nlohmann::json& light = report["project"]["layers"][0];
  EXPECT_EQ(light["name"], "'Morvane' path");
  EXPECT_EQ(light["keys"]["position"], nlohmann::json::parse(R"([
      [0, [240, 240, -200]], [2.48, [240, 240, -100]], [4.96, [240, 240, 0]],
      [7.44, [240, 240, 100]], [9.96, [240, 240, 200]]])"));
  EXPECT_EQ(report["steps"][1]["meshes"].size(), 1u);
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The README shows these pictures as what the demo makes; when the renderer changes, run
// scripts/demo.sh and copy the new pictures over.
TEST(DocsPictures, areWhatTheDemoRenders) {
#ifdef _WIN32
  GTEST_SKIP() << "the pictures are the Linux demo's: another PNG encoder and C math library "
                  "give other bytes for the same scene";
#endif
  namespace fs = std::filesystem;
  const std::pair<const char*, const char*> pictures[] = {{"vase", "step01_Vase.png"},
                                                          {"ribbon", "step01_Ribbon.png"},
                                                          {"terrain", "step01_Grid.png"},
                                                          {"path_light", "step02_Shade.png"}};
  const fs::path scratch = fs::temp_directory_path() / ("tolv-docs-" + std::to_string(getpid()));
  for (const auto& [scene, picture] : pictures) {
    const fs::path dir = scratch / scene;
    renderReport(std::string("examples/") + scene + ".json", dir.string());
    EXPECT_TRUE(fileBytes(dir / picture) ==
                fileBytes(fs::path("docs") / (std::string(scene) + ".png")))
        << "docs/" << scene << ".png is not what the demo renders: cp out/" << scene << "/"
        << picture << " docs/" << scene << ".png after scripts/demo.sh";
  }
  fs::remove_all(scratch);
}

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
