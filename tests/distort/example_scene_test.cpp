// The example scene mask → distort → renderer runs through `tolv-testbed render` with every
// command of every step succeeding.
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
    ASSERT_EQ(step["status"].size(), 3u);
    EXPECT_EQ(step["status"][1]["match"], "ZEK TOLV_Distort");
    for (const auto& status : step["status"])
      EXPECT_EQ(status["err"], 0) << status.dump();
  }
}

}  // namespace
