// The example scene mask → distort → renderer runs through `tolv-testbed render` with every
// command of every step succeeding and the mask effect's mesh reaching the renderer.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "testbed/cli/Render.h"
#include "tests/support/Modules.h"

namespace {

TEST(ExampleScene, maskDistortRendererRunsCleanly) {
  tb::RenderOptions options;
  options.scene = "examples/mask_distort_render.json";
  options.json = true;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  ASSERT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  const nlohmann::json report = nlohmann::json::parse(out.str());
  ASSERT_EQ(report["steps"].size(), 2u);
  for (const auto& step : report["steps"]) {
    // The mask effect hands its mesh to the distort effect while it renders, and the distort effect
    // hands it on to the renderer while it renders.
    const char* const expected[][2] = {{"ZEK TOLV_Distort", "COMPLETELY_GENERAL"},
                                       {"ZEK TOLV_Mask", "RENDER"},
                                       {"ZEK TOLV_Engine", "COMPLETELY_GENERAL"},
                                       {"ZEK TOLV_Distort", "RENDER"},
                                       {"ZEK TOLV_Engine", "RENDER"}};
    ASSERT_EQ(step["status"].size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
      EXPECT_EQ(step["status"][i]["match"], expected[i][0]) << i;
      EXPECT_EQ(step["status"][i]["command"], expected[i][1]) << i;
    }
    for (const auto& status : step["status"])
      EXPECT_EQ(status["err"], 0) << status.dump();
    ASSERT_EQ(step["meshes"].size(), 1u);
    EXPECT_EQ(step["meshes"][0]["slot"], 0);
  }
}

}  // namespace
