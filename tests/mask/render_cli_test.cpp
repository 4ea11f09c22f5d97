// `tolv-testbed render` on a scene with two masks, the mask effect and the stand-in renderer: one
// mesh per render in the report, with its slot, count, flags, texture rectangle and colour, and
// the records written byte for byte as they arrived.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/MeshSlot.h"
#include "testbed/cli/Render.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

TEST(MaskRenderCli, reportsOneMeshPerRenderAndWritesTheRecords) {
  const fs::path dir = fs::temp_directory_path() / "tolv-mask-render-cli";
  fs::remove_all(dir);
  tb::RenderOptions options;
  options.scene = "examples/demo.json";
  options.json = true;
  options.recordsDir = (dir / "records").string();
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  ASSERT_EQ(tb::renderScene(options, out, err), 0) << err.str();

  const nlohmann::json report = nlohmann::json::parse(out.str());
  int renders = 0;
  for (const auto& step : report["steps"]) {
    if (step["step"] != "render")
      continue;
    ++renders;
    ASSERT_EQ(step["meshes"].size(), 1u);
    const auto& mesh = step["meshes"][0];
    EXPECT_EQ(mesh["slot"], 0);
    // 4 segments × "X subdivide" 10 columns, "Y subdivide" 10 rows between the two masks.
    EXPECT_EQ(mesh["triangles"], 800);
    EXPECT_EQ(mesh["enabled"], true);
    EXPECT_EQ(mesh["cap_fill_failed"], false);
    EXPECT_EQ(mesh["uv_rect"], nlohmann::json::parse("[0, 0, 640, 360]"));
    // "Alpha" 100 through the single-precision 0.01 truncates to 254.
    EXPECT_EQ(mesh["color"], nlohmann::json::parse("[254, 255, 255, 255]"));

    std::ifstream file(dir / "records" / mesh["record"].get<std::string>(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), kMeshSlotBytes);
    int32_t count = 0, slot = -1;
    std::memcpy(&count, bytes.data() + offsetof(MeshSlot, triangleCount), sizeof count);
    std::memcpy(&slot, bytes.data() + offsetof(MeshSlot, slotIndex), sizeof slot);
    EXPECT_EQ(count, 800);
    EXPECT_EQ(slot, 0);
  }
  EXPECT_EQ(renders, 2);
  fs::remove_all(dir);
}

}  // namespace
