// The mistakes a user meets when writing a scene by hand each end `render` with exit status 2 and
// one line on stderr: the file, the place in it, what is wrong and what to do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testbed/cli/Render.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

class UserErrors : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(testing::TempDir()) /
           ("tolv-user-errors-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::error_code ec;
    fs::remove_all(dir_, ec);
    fs::create_directories(dir_);
  }
  // Windows keeps the file of a loaded module open, and modules stay loaded: those are left.
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  // A scene of one 64 × 48 solid layer "Card" with the given effects (and more layers before it).
  std::string scene(const std::string& effects, const std::string& layersBefore = "") {
    const std::string path = (dir_ / "scene.json").string();
    std::ofstream(path) << R"({"comp": {"width": 64, "height": 48, "fps": 25, "duration": 1},
      "layers": [)" + layersBefore +
                               R"({"name": "Card", "kind": "solid", "size": [64, 48],
                    "color": [1, 2, 3, 255], "effects": [)" +
                               effects + "]}]}";
    return path;
  }

  // Runs the scene; expects status 2, nothing on stdout and exactly `message` on stderr.
  void expectRefused(const std::string& path, const std::string& message,
                     const std::string& plugins = tbtest::buildDir() + "/plugins") {
    tb::RenderOptions options;
    options.scene = path;
    options.json = true;
    options.outDir = (dir_ / "out").string();
    options.pluginDir = plugins;
    std::ostringstream out, err;
    EXPECT_EQ(tb::renderScene(options, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), path + ": " + message + "\n");
    EXPECT_FALSE(fs::exists(dir_ / "out"));
  }

  fs::path dir_;
};

TEST_F(UserErrors, anEffectWhoseModuleWasNotBuiltSaysToBuildIt) {
  // A plug-in folder that holds the renderer only.
  const fs::path plugins = dir_ / "plugins";
  fs::create_directories(plugins);
  for (const std::string& file :
       {"TOLV_Engine" + tbtest::kModuleSuffix, std::string("TOLV_Engine.r")})
    fs::copy_file(fs::path(tbtest::buildDir()) / "plugins" / file, plugins / file);
  expectRefused(scene(R"({"match": "ZEK TOLV_Engine"}, {"match": "ZEK TOLV_Mask"})"),
                "layers[0].effects[1].match: the effect \"ZEK TOLV_Mask\" comes from "
                "TOLV_Mask" +
                    tbtest::kModuleSuffix +
                    ", which is not loaded: build it (cmake --build --preset default) so "
                    "that it sits in the plugins/ folder beside tolv-testbed",
                plugins.string());
}

TEST_F(UserErrors, anEffectNoModuleProvidesListsTheNamesThatWould) {
  const fs::path plugins = dir_ / "plugins";
  fs::create_directories(plugins);
  const std::string suffix = tbtest::kModuleSuffix;
  for (const std::string& file : {"TOLV_Engine" + suffix, "TOLV_Engine.r" + std::string(),
                                  "TOLV_Mask" + suffix, "TOLV_Mask.r" + std::string()})
    fs::copy_file(fs::path(tbtest::buildDir()) / "plugins" / file, plugins / file);
  expectRefused(scene(R"({"match": "ZEK TOLV_Mesk"})"),
                "layers[0].effects[0].match: no loaded module provides the effect \"ZEK "
                "TOLV_Mesk\": use the match name of one (\"ZEK TOLV_Engine\", \"ZEK TOLV_Mask\")",
                plugins.string());
}

TEST_F(UserErrors, aParameterIndexOutOfRangePointsToInspect) {
  expectRefused(scene(R"({"match": "ZEK TOLV_Mask", "params": {"97": 1}})"),
                "layers[0].effects[0].params.97: the effect has no parameter 97 (it has 1 to 96): "
                "`tolv-testbed inspect` on its module lists them");
}

struct WrongKind {
  const char* name;
  const char* params;
  const char* message;
};

class WrongKindErrors : public UserErrors, public testing::WithParamInterface<WrongKind> {};

TEST_P(WrongKindErrors, sayWhatTheParameterTakes) {
  expectRefused(
      scene(std::string(R"({"match": "ZEK TOLV_Mask", "params": )") + GetParam().params + "}"),
      GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Mask, WrongKindErrors,
    testing::Values(
        WrongKind{"pointForASlider", R"({"1": [1, 2]})",
                  "layers[0].effects[0].params.1: a point does not fit parameter 1, a slider: "
                  "give a whole number"},
        WrongKind{"nameForAFloatSlider", R"({"5": "Card"})",
                  "layers[0].effects[0].params.5: a name does not fit parameter 5, a float "
                  "slider: give a number"},
        WrongKind{"colourForACheckbox", R"({"81": [1, 2, 3, 4]})",
                  "layers[0].effects[0].params.81: a colour does not fit parameter 81, a "
                  "checkbox: give 0 or 1"},
        WrongKind{"numberForAMask", R"({"4": 2})",
                  "layers[0].effects[0].params.4: the number 2.000000 does not fit parameter 4, "
                  "a path: give a mask's name or null"},
        WrongKind{"pointForAColour", R"({"86": [1, 2]})",
                  "layers[0].effects[0].params.86: a point does not fit parameter 86, a colour: "
                  "give a colour [r, g, b, a]"},
        WrongKind{"nullForAPopup", R"({"83": null})",
                  "layers[0].effects[0].params.83: null does not fit parameter 83, a popup: give "
                  "the number of an item, from 1"}),
    [](const testing::TestParamInfo<WrongKind>& info) { return info.param.name; });

TEST_F(UserErrors, anImageThatIsNotAPngNamesTheFileAndWhatToGive) {
  std::ofstream(dir_ / "texture.png") << "not a picture";
  const std::string path = scene(R"({"match": "ZEK TOLV_Engine"})",
                                 R"({"name": "Pic", "kind": "image", "path": "texture.png"},)");
  expectRefused(path, "layers[0].path: " + (dir_ / "texture.png").string() +
                          ": Not a PNG file: give the path of a readable PNG file, relative to "
                          "the scene file");
}

TEST_F(UserErrors, aMissingImageNamesTheFileAndWhatToGive) {
  const std::string path = scene(R"({"match": "ZEK TOLV_Engine"})",
                                 R"({"name": "Pic", "kind": "image", "path": "gone.png"},)");
  expectRefused(path, "layers[0].path: " + (dir_ / "gone.png").string() +
                          ": No such file or directory: give the path of a readable PNG file, "
                          "relative to the scene file");
}

}  // namespace
