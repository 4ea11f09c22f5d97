// The mask effect's actions as `tolv-testbed render --json` reports them, from the example scenes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "TOLV_Mask/actions/Scripts.h"
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

// The layer of the project report with the given name.
const nlohmann::json& reportLayer(const nlohmann::json& report, const std::string& name) {
  for (const nlohmann::json& layer : report.at("project").at("layers"))
    if (layer.at("name") == name)
      return layer;
  ADD_FAILURE() << "no layer " << name;
  static const nlohmann::json none;
  return none;
}

std::vector<std::string> matchNames(const nlohmann::json& layer) {
  std::vector<std::string> names;
  for (const nlohmann::json& effect : layer.at("effects"))
    names.push_back(effect.at("match").get<std::string>());
  return names;
}

TEST(MaskSceneReport, launchingTheDistorterRunsTheExactLaunchScriptAndAddsItBelow) {
  const nlohmann::json report = renderExample("mask_launch.json");
  const nlohmann::json& step = report.at("steps").at(0);
  ASSERT_EQ(step.at("scripts").size(), 1u);
  EXPECT_EQ(scriptText(step["scripts"][0]),
            "myComp = app.project.activeItem;myLayer = myComp.selectedLayers[0];try{myFX = "
            "myLayer.Effects.addProperty('ZEK TOLV_Distort');myFX.moveTo(2);}catch(e){}");
  EXPECT_EQ(step["scripts"][0].at("err"), 0);
  const nlohmann::json& card = reportLayer(report, "Card");
  EXPECT_EQ(matchNames(card),
            (std::vector<std::string>{"ZEK TOLV_Mask", "ZEK TOLV_Distort", "ZEK TOLV_Engine"}));
  // "Launch:" is back on "None".
  EXPECT_EQ(card["effects"][0].at("params").at("90"), 1);
  EXPECT_EQ(report.at("violations"), nlohmann::json::array());
}

TEST(MaskSceneReport, theFirstChangeAddsTheRendererOnceThroughTheEngineCheck) {
  const nlohmann::json report =
      renderExample("mask_launch.json",
                    R"({"layers": [{"name": "Card", "kind": "solid", "size": [320, 180],
          "masks": [{"name": "Mask 1", "points": [[60, 40], [260, 40], [260, 140]]}],
          "effects": [{"match": "ZEK TOLV_Mask", "params": {"4": "Mask 1"}}]}],
          "steps": [{"change": {"layer": "Card", "effect": 0, "param": 1, "value": 12}},
                    {"change": {"layer": "Card", "effect": 0, "param": 2, "value": 12}}]})");
  const nlohmann::json& steps = report.at("steps");
  ASSERT_EQ(steps.size(), 2u);
  ASSERT_EQ(steps[0].at("scripts").size(), 1u);
  EXPECT_EQ(scriptText(steps[0]["scripts"][0]), EngineCheckScript());
  EXPECT_EQ(steps[0]["scripts"][0].at("err"), 0);
  EXPECT_EQ(steps[1].at("scripts"), nlohmann::json::array());
  const nlohmann::json& card = reportLayer(report, "Card");
  EXPECT_EQ(matchNames(card), (std::vector<std::string>{"ZEK TOLV_Mask", "ZEK TOLV_Engine"}));
  EXPECT_EQ(card["effects"][0].at("params").at("93"), 1);
  EXPECT_EQ(report.at("violations"), nlohmann::json::array());
}

TEST(MaskSceneReport, threeRowsAtThreeDepthsKeepTheirPathLightWithItsKeys) {
  const nlohmann::json report = renderExample("mask_light_path.json");
  const nlohmann::json& step = report.at("steps").at(0);
  EXPECT_EQ(step.at("lights").at("created"), nlohmann::json::array({"'Morvane' path"}));
  EXPECT_EQ(step["lights"].at("deleted"), nlohmann::json::array());
  EXPECT_EQ(step.at("scripts"), nlohmann::json::array());
  EXPECT_EQ(step.at("alerts"), nlohmann::json::array());
  const nlohmann::json& light = reportLayer(report, "'Morvane' path");
  EXPECT_EQ(light.at("kind"), "light");
  EXPECT_EQ(light.at("light"), nlohmann::json::parse(R"({"type": "point", "intensity": 0})"));
  // 10 s at 25 fps: keys at 0, 124 and 249 frames, at the composition's centre and each row's
  // depth.
  EXPECT_EQ(light.at("keys").at("position"),
            nlohmann::json::parse(R"([[0, [320, 180, 0]], [4.96, [320, 180, 100]],
                                      [9.96, [320, 180, 200]]])"));
  const nlohmann::json& params = reportLayer(report, "Card").at("effects").at(0).at("params");
  EXPECT_EQ(params.at("54"), 1);
  EXPECT_GT(params.at("56").get<int>(), 0);
  EXPECT_EQ(report.at("violations"), nlohmann::json::array());
}

TEST(MaskSceneReport, rowsDeepestFirstAreKeyedInReverse) {
  const nlohmann::json report =
      renderExample("mask_light_path.json",
                    R"({"layers": [{"name": "Card", "kind": "solid", "size": [640, 360],
          "masks": [{"name": "Near", "points": [[100, 100], [540, 100], [540, 260]]},
                    {"name": "Middle", "points": [[140, 120], [500, 120], [500, 240]]},
                    {"name": "Far", "points": [[180, 140], [460, 140], [460, 220]]}],
          "effects": [{"match": "ZEK TOLV_Mask",
                       "params": {"4": "Near", "5": 200, "9": "Middle", "10": 100,
                                  "14": "Far", "15": 0, "93": 1}}]}]})");
  EXPECT_EQ(reportLayer(report, "'Morvane' path").at("keys").at("position"),
            nlohmann::json::parse(R"([[0, [320, 180, 0]], [4.96, [320, 180, 100]],
                                      [9.96, [320, 180, 200]]])"));
}

TEST(MaskSceneReport, rowsAtOneDepthRaiseTheAlertAndLoseTheLight) {
  const nlohmann::json report = renderExample("mask_light_no_depth.json");
  const nlohmann::json& step = report.at("steps").at(0);
  EXPECT_EQ(step.at("lights").at("created"), nlohmann::json::array({"'Morvane' path"}));
  EXPECT_EQ(step["lights"].at("deleted"), nlohmann::json::array({"'Morvane' path"}));
  ASSERT_EQ(step.at("scripts").size(), 1u);
  EXPECT_EQ(scriptText(step["scripts"][0]), kNoDepthAlert);
  EXPECT_EQ(step.at("alerts"),
            nlohmann::json::array({"The shape you created has no Z depth\n"
                                   "Please set Z parameters before creating a light path"}));
  const nlohmann::json& layers = report.at("project").at("layers");
  ASSERT_EQ(layers.size(), 1u);
  const nlohmann::json& params = layers[0].at("effects").at(0).at("params");
  EXPECT_EQ(params.at("54"), 0);
  EXPECT_EQ(params.at("56"), -1);
  EXPECT_EQ(report.at("violations"), nlohmann::json::array());
}

TEST(MaskSceneReport, theFollowerLightIsParentedHiddenLockedAndShy) {
  const nlohmann::json report =
      renderExample("mask_launch.json",
                    R"({"layers": [{"name": "Card", "kind": "solid", "size": [320, 180],
          "masks": [{"name": "Mask 1", "points": [[60, 40], [260, 40], [260, 140]]}],
          "effects": [{"match": "ZEK TOLV_Mask", "params": {"4": "Mask 1", "85": "Card", "93": 1}}]}],
          "steps": [{"change": {"layer": "Card", "effect": 0, "param": 88, "value": 1}}]})");
  EXPECT_EQ(report.at("steps").at(0).at("lights").at("created"),
            nlohmann::json::array({"'Morvane' follower"}));
  const nlohmann::json& light = reportLayer(report, "'Morvane' follower");
  EXPECT_EQ(light.at("light"), nlohmann::json::parse(R"({"type": "point", "intensity": 0})"));
  EXPECT_EQ(light.at("parent"), "Card");
  EXPECT_EQ(light.at("video"), false);
  EXPECT_EQ(light.at("locked"), true);
  EXPECT_EQ(light.at("shy"), true);
  EXPECT_FALSE(light.contains("keys"));
}

}  // namespace
