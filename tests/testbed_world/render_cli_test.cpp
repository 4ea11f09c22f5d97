// `tolv-testbed render` through the same function the program calls: the report of a scene with a
// solid, a distort effect and the stand-in renderer, and one clear message with exit status 2 and
// nothing written for every invalid scene.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/MeshSlot.h"
#include "testbed/cli/Render.h"
#include "testbed/scene/SceneRun.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

class RenderCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("tolv-render-test-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << text;
    return path.string();
  }

  CliRun render(const std::string& scene) {
    tb::RenderOptions options;
    options.scene = scene;
    options.json = true;
    options.outDir = (dir_ / "out").string();
    options.recordsDir = (dir_ / "records").string();
    options.pluginDir = tbtest::buildDir() + "/plugins";
    std::ostringstream out, err;
    CliRun run;
    run.status = tb::renderScene(options, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
  }

  bool wroteNothing() const { return !fs::exists(dir_ / "out") && !fs::exists(dir_ / "records"); }

  fs::path dir_;
};

const char* const kDistortScene = R"({
  "comp": {"name": "Main", "width": 64, "height": 48, "fps": 25, "duration": 2},
  "layers": [
    {"name": "Card", "kind": "solid", "size": [64, 48], "color": [200, 100, 50, 255],
     "effects": [{"match": "ZEK TOLV_Distort"}, {"match": "ZEK TOLV_Engine"}]}
  ],
  "steps": [{"render": {"time": 0.5}}]
})";

TEST_F(RenderCliTest, aDistortSceneReportsEveryCommandSentWithItsStatus) {
  CliRun run = render(write("distort.json", kDistortScene));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  ASSERT_EQ(report["steps"].size(), 1u);
  const nlohmann::json& step = report["steps"][0];
  EXPECT_EQ(step["step"], "render");
  EXPECT_EQ(step["time"], 0.5);
  const nlohmann::json expected = nlohmann::json::parse(R"([
    {"layer": "Card", "effect": 0, "command": "RENDER", "err": 0, "match": "ZEK TOLV_Distort"},
    {"layer": "Card", "effect": 1, "command": "RENDER", "err": 0, "match": "ZEK TOLV_Engine"}])");
  EXPECT_EQ(step["status"], expected);
  EXPECT_EQ(step["meshes"], nlohmann::json::array());
  EXPECT_TRUE(fs::exists(dir_ / "out" / "step01_Card.png"));
}

TEST_F(RenderCliTest, withoutStepsTheSceneRendersTimeZero) {
  std::string scene = kDistortScene;
  scene.replace(scene.find(",\n  \"steps\""), std::string::npos, "}");
  CliRun run = render(write("nosteps.json", scene));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  ASSERT_EQ(report["steps"].size(), 1u);
  EXPECT_EQ(report["steps"][0]["time"], 0.0);
}

struct BadScene {
  const char* name;
  std::string layers;  // replaces the layers of the distort scene
  std::string steps;
  std::string message;  // after "<file>: "
  bool prefix = false;  // the message goes on with what the system library says
};

void PrintTo(const BadScene& bad, std::ostream* os) {
  *os << bad.name;
}

class BadSceneTest : public RenderCliTest, public ::testing::WithParamInterface<BadScene> {};

const std::string kCard = R"({"name": "Card", "kind": "solid", "size": [64, 48], )";

TEST_P(BadSceneTest, isRefusedWithOneMessageAndNothingWritten) {
  const BadScene& bad = GetParam();
  const std::string text = R"({"comp": {"width": 64, "height": 48, "fps": 25, "duration": 2},
    "layers": [)" + bad.layers +
                           R"(], "steps": [)" + bad.steps + "]}";
  const std::string file = write("bad.json", text);
  CliRun run = render(file);
  EXPECT_EQ(run.status, 2);
  if (bad.prefix) {
    EXPECT_EQ(run.err.rfind(file + ": " + bad.message, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
  } else {
    EXPECT_EQ(run.err, file + ": " + bad.message + "\n");
  }
  EXPECT_EQ(run.out, "");
  EXPECT_TRUE(wroteNothing());
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, BadSceneTest,
    ::testing::Values(
        BadScene{"unknownMatchName", kCard + R"("effects": [{"match": "ZEK Nothing"}]})", "",
                 "layers[0].effects[0].match: no loaded module provides the effect \"ZEK "
                 "Nothing\": use the match name of one (\"ZEK TOLV_Distort\", \"ZEK "
                 "TOLV_Engine\", \"ZEK TOLV_Mask\"",
                 true},
        BadScene{"paramIndexOutOfRange",
                 kCard + R"("effects": [{"match": "ZEK TOLV_Engine", "params": {"44": 1}}]})", "",
                 "layers[0].effects[0].params.44: the effect has no parameter 44 (it has 1 to "
                 "43): `tolv-testbed inspect` on its module lists them"},
        BadScene{"sliderOutOfRange",
                 kCard + R"("effects": [{"match": "ZEK TOLV_Engine", "params": {"1": 101}}]})", "",
                 "layers[0].effects[0].params.1: the number 101.000000 is not a whole number in "
                 "0 … 100"},
        BadScene{"numberForALayer",
                 kCard + R"("effects": [{"match": "ZEK TOLV_Engine", "params": {"19": 3}}]})", "",
                 "layers[0].effects[0].params.19: the number 3.000000 does not fit parameter "
                 "19, a layer: give a layer's name or null"},
        BadScene{"nameForASlider",
                 kCard + R"("effects": [{"match": "ZEK TOLV_Engine", "params": {"2": "Card"}}]})",
                 "",
                 "layers[0].effects[0].params.2: a name does not fit parameter 2, a slider: give a "
                 "whole number"},
        BadScene{
            "colourForALayer",
            kCard + R"("effects": [{"match": "ZEK TOLV_Engine", "params": {"20": [1, 2, 3, 4]}}]})",
            "",
            "layers[0].effects[0].params.20: a colour does not fit parameter 20, a layer: "
            "give a layer's name or null"},
        BadScene{"changeOfAMissingEffect", kCard + R"("color": [1, 2, 3, 255]})",
                 R"({"change": {"layer": "Card", "effect": 0, "param": 1, "value": 1}})",
                 "steps[0].change.effect: layer \"Card\" has no effects"},
        BadScene{"changeWithAValueThatDoesNotFit",
                 kCard + R"("effects": [{"match": "ZEK TOLV_Engine"}]})",
                 R"({"change": {"layer": "Card", "effect": 0, "param": 19, "value": 7}})",
                 "steps[0].change.value: the number 7.000000 does not fit parameter 19, a layer: "
                 "give a layer's name or null"},
        BadScene{"missingImage", R"({"name": "Pic", "kind": "image", "path": "none.png"})", "",
                 "layers[0].path: ", true}),
    [](const ::testing::TestParamInfo<BadScene>& info) { return std::string(info.param.name); });

TEST_F(RenderCliTest, aSavedAndReopenedSceneRendersTheSameFrame) {
  std::string scene = kDistortScene;
  scene.replace(
      scene.find("[{\"render\""), std::string::npos,
      R"([{"render": {"time": 0}}, {"save": {}}, {"open": {}}, {"render": {"time": 0}}]})");
  CliRun run = render(write("roundtrip.json", scene));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  ASSERT_EQ(report["steps"].size(), 4u);
  EXPECT_EQ(report["steps"][1]["step"], "save");
  // Opening closes the project (SETDOWN from the bottom of the stack) and gives each effect its
  // saved sequence data back with SEQUENCE_RESETUP.
  std::vector<std::string> opened;
  for (const nlohmann::json& sent : report["steps"][2]["status"])
    opened.push_back(sent["command"].get<std::string>() + " " + sent["match"].get<std::string>());
  EXPECT_EQ(opened, (std::vector<std::string>{
                        "SEQUENCE_SETDOWN ZEK TOLV_Engine", "SEQUENCE_SETDOWN ZEK TOLV_Distort",
                        "SEQUENCE_RESETUP ZEK TOLV_Distort", "SEQUENCE_RESETUP ZEK TOLV_Engine"}));
  EXPECT_EQ(report["steps"][3]["status"], report["steps"][0]["status"]);
  std::ifstream first(dir_ / "out" / "step01_Card.png", std::ios::binary);
  std::ifstream last(dir_ / "out" / "step04_Card.png", std::ios::binary);
  const std::string a{std::istreambuf_iterator<char>(first), {}};
  const std::string b{std::istreambuf_iterator<char>(last), {}};
  EXPECT_FALSE(a.empty());
  EXPECT_EQ(a, b);
}

// The mask effect's setup has run ("Renderer" on), so the change runs no script; with both light
// boxes off the effect withdraws its use of 3-D lights.
TEST_F(RenderCliTest, aChangeOfASupervisedControlSendsUserChangedParamThenTheUiUpdate) {
  const std::string scene = R"({
    "comp": {"width": 64, "height": 48, "fps": 25, "duration": 2},
    "layers": [{"name": "Card", "kind": "solid", "size": [64, 48],
                "effects": [{"match": "ZEK TOLV_Mask", "params": {"93": 1}},
                            {"match": "ZEK TOLV_Engine"}]}],
    "steps": [{"change": {"layer": "Card", "effect": 0, "param": 1, "value": 5}}]})";
  CliRun run = render(write("change.json", scene));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json step = nlohmann::json::parse(run.out)["steps"][0];
  EXPECT_EQ(step["step"], "change");
  const nlohmann::json expected = nlohmann::json::parse(R"([
    {"layer": "Card", "effect": 0, "command": "USER_CHANGED_PARAM", "err": 0,
     "match": "ZEK TOLV_Mask"},
    {"layer": "Card", "effect": 0, "command": "UPDATE_PARAMS_UI", "err": 0,
     "match": "ZEK TOLV_Mask"},
    {"layer": "Card", "effect": 0, "command": "QUERY_DYNAMIC_FLAGS", "err": 0,
     "match": "ZEK TOLV_Mask", "out_flags": 67109888, "out_flags2": 3}])");
  EXPECT_EQ(step["status"], expected);
  EXPECT_FALSE(step.contains("time"));
}

TEST_F(RenderCliTest, anUnreadableOrBrokenFileIsABadScene) {
  CliRun missing = render((dir_ / "absent.json").string());
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, (dir_ / "absent.json").string() + ": cannot be read\n");
  const std::string broken = write("broken.json", "{\"comp\": ");
  CliRun syntax = render(broken);
  EXPECT_EQ(syntax.status, 2);
  EXPECT_EQ(syntax.err.rfind(broken + ":", 0), 0u) << syntax.err;
  EXPECT_TRUE(wroteNothing());
}

TEST(MeshRecordReport, aDamagedCountIsBoundedBeforeTheBoxIsTaken) {
  tb::EngineRecord record;
  record.bytes.assign(kMeshSlotBytes, 0);
  auto put = [&](size_t offset, auto v) {
    std::memcpy(record.bytes.data() + offset, &v, sizeof v);
  };
  put(offsetof(MeshSlot, triangleCount), int32_t{2000000000});
  put(offsetof(MeshSlot, slotIndex), int32_t{3});
  put(offsetof(MeshSlot, meshEnabled), uint8_t{1});
  put(offsetof(triangle, vertexB), point3{-4, 5, 6});
  put(kTriangleBytes * (kMaxTriangles - 1) + offsetof(triangle, vertexC), point3{7, -8, 9});
  const tb::scene::MeshReport m = tb::scene::readMeshRecord(record, 12);
  EXPECT_EQ(m.triangles, 2000000000);
  EXPECT_EQ(m.slot, 3);
  EXPECT_TRUE(m.enabled);
  EXPECT_EQ(m.record, 12u);
  ASSERT_TRUE(m.bbox.has_value());
  EXPECT_EQ((*m.bbox)[0], (std::array<float, 3>{-4, -8, 0}));
  EXPECT_EQ((*m.bbox)[1], (std::array<float, 3>{7, 5, 9}));
  put(offsetof(MeshSlot, triangleCount), int32_t{-1});
  EXPECT_FALSE(tb::scene::readMeshRecord(record, 0).bbox.has_value());
}

}  // namespace

namespace {

// A selected card whose script effect runs the script of popup item `item` when it is changed.
std::string scriptScene(int item) {
  return R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 1},
  "layers": [
    {"name": "Lamp", "kind": "light"},
    {"name": "Card", "kind": "solid", "size": [32, 24],
     "effects": [{"match": "ZEK TOLV_TestScript"}]}
  ],
  "selected": ["Card"],
  "steps": [{"change": {"layer": "Card", "effect": 0, "param": 1, "value": )" +
         std::to_string(item) + "}}]}";
}

TEST_F(RenderCliTest, anEffectAddedByAScriptShowsInTheProject) {
  CliRun run = render(write("add.json", scriptScene(2)));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  const nlohmann::json& scripts = report["steps"][0]["scripts"];
  ASSERT_EQ(scripts.size(), 1u);
  EXPECT_EQ(scripts[0]["err"], 0);
  EXPECT_EQ(scripts[0]["error"], "");
  EXPECT_NE(scripts[0]["text"].get<std::string>().find("addProperty('ZEK TOLV_Engine')"),
            std::string::npos);
  const nlohmann::json& layers = report["project"]["layers"];
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_EQ(layers[0]["name"], "Lamp");
  EXPECT_EQ(layers[0]["kind"], "light");
  EXPECT_EQ(layers[0]["effects"].size(), 0u);
  EXPECT_EQ(layers[1]["kind"], "solid");
  const nlohmann::json& effects = layers[1]["effects"];
  ASSERT_EQ(effects.size(), 2u);
  EXPECT_EQ(effects[0]["match"], "ZEK TOLV_TestScript");
  EXPECT_EQ(effects[0]["params"], nlohmann::json::parse(R"({"1": 2})"));
  EXPECT_EQ(effects[1]["match"], "ZEK TOLV_Engine");
  EXPECT_EQ(effects[1]["params"]["19"], nullptr);
  EXPECT_EQ(effects[1]["params"]["43"], 0);
  // The report ends with the project, after the steps that changed it.
  const auto ordered = nlohmann::ordered_json::parse(run.out);
  ASSERT_FALSE(ordered.empty());
  EXPECT_EQ(std::prev(ordered.end()).key(), "project");
}

TEST_F(RenderCliTest, aScriptThatThrowsShowsItsFailureInTheStatusAndTheScripts) {
  CliRun run = render(write("throw.json", scriptScene(4)));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  const nlohmann::json& step = report["steps"][0];
  ASSERT_EQ(step["scripts"].size(), 1u);
  EXPECT_EQ(step["scripts"][0]["err"], A_Err_GENERIC);
  EXPECT_EQ(step["scripts"][0]["error"], "Error: stopped on purpose");
  const auto changed = std::find_if(step["status"].begin(), step["status"].end(),
                                    [](auto& s) { return s["command"] == "USER_CHANGED_PARAM"; });
  ASSERT_NE(changed, step["status"].end());
  EXPECT_EQ((*changed)["err"], A_Err_GENERIC);
  EXPECT_EQ(report["project"]["layers"][1]["effects"].size(), 1u);
}

TEST_F(RenderCliTest, anAlertIsReportedWithItsLineBreak) {
  CliRun run = render(write("alert.json", scriptScene(5)));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["steps"][0]["alerts"], nlohmann::json::array({"first line\nsecond line"}));
}

}  // namespace

namespace {

TEST_F(RenderCliTest, aUiStepReportsThePublishedFlagsAndTheDynamicFlagsAnswer) {
  CliRun run = render(write("ui.json", R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 1},
  "layers": [{"name": "Card", "kind": "solid", "size": [32, 24],
              "effects": [{"match": "ZEK TOLV_TestUi"}]}],
  "steps": [{"ui": {"layer": "Card", "effect": 0}}, {"ui": {"layer": "Card", "effect": 0}}]
})"));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  ASSERT_EQ(report["steps"].size(), 2u);
  const nlohmann::json& first = report["steps"][0];
  EXPECT_EQ(first["step"], "ui");
  EXPECT_EQ(first["param_ui"], nlohmann::json::parse(R"([{"layer": "Card", "effect": 0,
      "param": 1, "ui_flags": 32, "flags": 66}])"));
  ASSERT_EQ(first["status"].size(), 2u);
  EXPECT_EQ(first["status"][0]["command"], "UPDATE_PARAMS_UI");
  EXPECT_EQ(first["status"][1]["command"], "QUERY_DYNAMIC_FLAGS");
  EXPECT_EQ(first["status"][1]["out_flags2"], PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS);
  EXPECT_EQ(report["steps"][1]["param_ui"][0]["ui_flags"], 0);
}

TEST_F(RenderCliTest, aDeletedMaskLeavesThePathParameterChoosingNone) {
  CliRun run = render(write("delete.json", R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 1},
  "layers": [{"name": "Card", "kind": "solid", "size": [32, 24],
              "masks": [{"name": "A", "closed": true, "points": [[1, 1], [9, 1], [9, 9]]},
                        {"name": "B", "closed": true, "points": [[2, 2], [8, 2], [8, 8]]}],
              "effects": [{"match": "ZEK TOLV_Mask", "params": {"4": "A", "9": "B"}}]}],
  "steps": [{"delete_mask": {"layer": "Card", "mask": "A"}}]
})"));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["steps"][0]["step"], "delete_mask");
  const nlohmann::json& params = report["project"]["layers"][0]["effects"][0]["params"];
  EXPECT_EQ(params["4"], nullptr);
  EXPECT_EQ(params["9"], "B");
}

TEST_F(RenderCliTest, stepsNamingWhatTheSceneLacksAreSceneErrors) {
  const std::string layers = R"("layers": [{"name": "Card", "kind": "solid", "size": [8, 8],
      "masks": [{"name": "A", "points": [[1, 1], [5, 1], [5, 5]]}]}])";
  const std::pair<std::string, std::string> cases[] = {
      {R"({"ui": {"layer": "Card", "effect": 0}})",
       "steps[0].ui.effect: layer \"Card\" has no effects"},
      {R"({"delete_mask": {"layer": "Card", "mask": "Z"}})",
       "steps[0].delete_mask.mask: \"Z\" names no mask of layer \"Card\""},
      {R"({"time": 3})", "steps[0].time: must lie within the composition (0 to 1 s)"},
  };
  for (const auto& [step, message] : cases) {
    const std::string scene = R"({"comp": {"width": 8, "height": 8, "fps": 25, "duration": 1}, )" +
                              layers + R"(, "steps": [)" + step + "]}";
    CliRun run = render(write("bad.json", scene));
    EXPECT_EQ(run.status, 2) << step;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_TRUE(wroteNothing());
  }
}

}  // namespace

namespace {

TEST_F(RenderCliTest, theProjectWritesKeyedParametersAtTheCurrentTimeAsSceneFilesDo) {
  CliRun run = render(write("keyed.json", R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 2},
  "layers": [{"name": "Card", "kind": "solid", "size": [32, 24],
              "effects": [{"match": "ZEK TOLV_TestUi",
                           "params": {"1": {"keys": [[0, 10], [1, 30]]}, "3": [8, 6]}}]}],
  "steps": [{"time": 0.5}]
})"));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["steps"][0]["step"], "time");
  EXPECT_EQ(report["project"]["layers"][0]["effects"][0]["params"].dump(),
            R"({"1":20,"2":0,"3":[8.0,6.0],"4":null})");
}

}  // namespace

namespace {

TEST_F(RenderCliTest, theProjectListsLightsParentsFlagsAndPositionKeys) {
  CliRun run = render(write("layers.json", R"({
  "comp": {"name": "Main", "width": 32, "height": 24, "fps": 25, "duration": 2},
  "layers": [
    {"name": "Lamp", "kind": "light", "parent": "Card", "video": false, "locked": true,
     "shy": true,
     "transform": {"position": [1, 2, 3], "position_keys": [[0.5, [4, 5, 6]], [1.25, [7, 8.5, 9]]]}},
    {"name": "Card", "kind": "solid", "size": [32, 24]}
  ],
  "steps": [{"time": 1}]
})"));
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  const nlohmann::json& layers = report["project"]["layers"];
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_EQ(layers[0], nlohmann::json::parse(R"({
      "name": "Lamp", "kind": "light", "light": {"type": "point", "intensity": 100},
      "parent": "Card", "video": false, "locked": true, "shy": true,
      "keys": {"position": [[0.5, [4, 5, 6]], [1.25, [7, 8.5, 9]]]}, "effects": []})"));
  // A layer whose position is not keyframed has no keys, and no light or parent entry.
  EXPECT_EQ(layers[1], nlohmann::json::parse(R"({
      "name": "Card", "kind": "solid", "video": true, "locked": false, "shy": false,
      "effects": []})"));
}

TEST_F(RenderCliTest, aModuleInSeveralFoldersGivenIsLoadedOnce) {
  tb::RenderOptions options;
  options.scene = "examples/mask_distort_render.json";
  options.json = true;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  options.extraPluginDirs = {options.pluginDir, options.pluginDir + "/."};
  std::ostringstream out, err;
  ASSERT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  const nlohmann::json report = nlohmann::json::parse(out.str());
  EXPECT_EQ(report["violations"], nlohmann::json::array());
  EXPECT_EQ(err.str().find("violation"), std::string::npos) << err.str();
}

}  // namespace
