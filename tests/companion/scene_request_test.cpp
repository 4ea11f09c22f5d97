// The scene step that asks for an engine update as an outside plug-in would, read from a file and
// run through `tolv-testbed render`: a one-second work area at 25 fps gives 25 commands 2372 and
// then the update script, and nothing more however long the host stays idle.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "testbed/cli/Render.h"
#include "testbed/scene/SceneJson.h"
#include "testbed/scene/SceneParse.h"
#include "tests/companion/CompanionFixture.h"

namespace {

namespace fs = std::filesystem;
using tb::scene::EngineRequestStep;
using tb::scene::SceneError;

std::string sceneWithSteps(const std::string& steps) {
  return R"({
  "comp": {"name": "Main", "width": 64, "height": 48, "fps": 25, "duration": 4,
           "work_area": [0, 1]},
  "layers": [
    {"name": "Card", "kind": "solid", "size": [64, 48], "effects": [{"match": "ZEK TOLV_Engine"}]}
  ],
  "steps": )" +
         steps + "}";
}

TEST(EngineRequestStep, readsZeroOrOneAndWritesItBack) {
  tb::scene::SceneSpec s = tb::scene::parseScene(
      sceneWithSteps(R"([{"request_engine_update": 1}, {"request_engine_update": 0}])"), "s.json");
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_EQ(std::get<EngineRequestStep>(s.steps[0]).pending, 1);
  EXPECT_EQ(std::get<EngineRequestStep>(s.steps[1]).pending, 0);
  const nlohmann::json back = tb::scene::sceneToJson(s)["steps"];
  EXPECT_EQ(back, nlohmann::json::parse(
                      R"([{"request_engine_update": 1}, {"request_engine_update": 0}])"));
}

TEST(EngineRequestStep, anythingElseIsASceneErrorAtItsPlace) {
  for (const char* bad : {"2", "-1", "0.5", "\"yes\"", "null", "{}"}) {
    SCOPED_TRACE(bad);
    try {
      tb::scene::parseScene(
          sceneWithSteps(std::string(R"([{"idle": 1}, {"request_engine_update": )") + bad + "}]"),
          "s.json");
      ADD_FAILURE() << "accepted";
    } catch (const SceneError& e) {
      EXPECT_NE(std::string(e.what()).find("s.json: steps[1].request_engine_update: "),
                std::string::npos)
          << e.what();
    }
  }
}

class EngineRequestScene : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tolv-engine-request-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  nlohmann::json render(const std::string& steps) {
    const fs::path scene = dir_ / "scene.json";
    std::ofstream(scene) << sceneWithSteps(steps);
    tb::RenderOptions options;
    options.scene = scene.string();
    options.json = true;
    options.pluginDir = tbtest::buildDir() + "/plugins";
    std::ostringstream out, err;
    EXPECT_EQ(tb::renderScene(options, out, err), 0) << err.str();
    return nlohmann::json::parse(out.str());
  }

  fs::path dir_;
};

long stepCommands(const nlohmann::json& step) {
  long n = 0;
  for (const auto& c : step["commands"])
    n += c == comptest::kStepCommand ? 1 : 0;
  return n;
}

// A script in the report: its text alone, or an object that carries the text with its outcome.
std::string scriptText(const nlohmann::json& script) {
  return script.is_string() ? script.get<std::string>() : script.at("text").get<std::string>();
}

TEST_F(EngineRequestScene, aOneSecondWorkAreaGivesTwentyFiveCommandsThenTheScript) {
  const nlohmann::json report =
      render(R"([{"request_engine_update": 1}, {"idle": 25}, {"idle": 1}, {"idle": 4}])");
  const nlohmann::json& steps = report["steps"];
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0]["step"], "request_engine_update");
  EXPECT_EQ(steps[0]["result"], 0);
  EXPECT_EQ(steps[1]["commands"].size(), 25u);
  EXPECT_EQ(stepCommands(steps[1]), 25);
  EXPECT_TRUE(steps[1]["scripts"].empty());
  EXPECT_TRUE(steps[2]["commands"].empty());
  ASSERT_EQ(steps[2]["scripts"].size(), 1u);
  EXPECT_EQ(scriptText(steps[2]["scripts"][0]), comptest::expectedScript());
  EXPECT_TRUE(steps[3]["commands"].empty());
  EXPECT_TRUE(steps[3]["scripts"].empty());
}

TEST_F(EngineRequestScene, aCancelledRequestStepsNoFurther) {
  const nlohmann::json report = render(
      R"([{"request_engine_update": 1}, {"idle": 3}, {"request_engine_update": 0}, {"idle": 30}])");
  const nlohmann::json& steps = report["steps"];
  EXPECT_EQ(stepCommands(steps[1]), 3);
  EXPECT_EQ(steps[2]["result"], 0);
  EXPECT_TRUE(steps[3]["commands"].empty());
  EXPECT_TRUE(steps[3]["scripts"].empty());
}

}  // namespace
