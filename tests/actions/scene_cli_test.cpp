// The mask effect's actions as `tolv-testbed render --json` reports them, from the example scenes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "TOLV_Mask/lights/PathLight.h"
#include "testbed/cli/Render.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

nlohmann::json renderExample(const std::string& name, const std::string& patch = "") {
  std::string scenePath = "examples/" + name;
  if (!patch.empty()) {
    std::ifstream in(scenePath);
    nlohmann::json scene = nlohmann::json::parse(in);
    scene.merge_patch(nlohmann::json::parse(patch));
    scenePath = (fs::temp_directory_path() / ("tolv-actions-" + name)).string();
    std::ofstream(scenePath) << scene.dump();
  }
  tb::RenderOptions options;
  options.scene = scenePath;
  options.json = true;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  EXPECT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  if (!patch.empty())
    fs::remove(scenePath);
  return nlohmann::json::parse(out.str());
}

// A script as the report lists it: its text, alone or with its status.
std::string scriptText(const nlohmann::json& script) {
  return script.is_string() ? script.get<std::string>() : script.at("text").get<std::string>();
}

TEST(MaskSceneReport, launchingTheDistorterRunsTheExactLaunchScript) {
  const nlohmann::json report = renderExample("mask_launch.json");
  const nlohmann::json& step = report.at("steps").at(0);
  ASSERT_EQ(step.at("scripts").size(), 1u);
  EXPECT_EQ(scriptText(step["scripts"][0]),
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
            "myLayer.Effects.addProperty('ZEK TOLV_Distort');myFX.moveTo(2);}catch(e){}");
}

TEST(MaskSceneReport, threeRowsAtThreeDepthsKeepTheirPathLight) {
  const nlohmann::json report = renderExample("mask_light_path.json");
  const nlohmann::json& step = report.at("steps").at(0);
  EXPECT_EQ(step.at("lights").at("created"), nlohmann::json::array({"'Morvane' path"}));
  EXPECT_EQ(step["lights"].at("deleted"), nlohmann::json::array());
  EXPECT_EQ(step.at("scripts"), nlohmann::json::array());
  EXPECT_EQ(step.at("alerts"), nlohmann::json::array());
}

TEST(MaskSceneReport, rowsAtOneDepthRaiseTheDepthAlert) {
  const nlohmann::json report =
      renderExample("mask_light_path.json",
                    R"({"layers": [{"name": "Card", "kind": "solid", "size": [640, 360],
          "masks": [{"name": "Near", "closed": true,
                     "points": [[100, 100], [540, 100], [540, 260], [100, 260]]},
                    {"name": "Far", "closed": true,
                     "points": [[180, 140], [460, 140], [460, 220], [180, 220]]}],
          "effects": [{"match": "ZEK TOLV_Mask",
                       "params": {"4": "Near", "5": 50, "9": "Far", "10": 50, "93": 1}}]}]})");
  const nlohmann::json& step = report.at("steps").at(0);
  EXPECT_EQ(step.at("lights").at("created"), nlohmann::json::array({"'Morvane' path"}));
  ASSERT_EQ(step.at("scripts").size(), 1u);
  EXPECT_EQ(scriptText(step["scripts"][0]), kNoDepthAlert);
}

}  // namespace
