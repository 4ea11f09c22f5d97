// A render step over a range renders every frame that starts in [from, to) once, in order, and
// tells the progress callback after each; the progress line the terminal shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "testbed/cli/Progress.h"
#include "testbed/cli/Render.h"
#include "testbed/output/MeshFiles.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"
#include "testbed/scene/SceneRun.h"
#include "tests/support/Modules.h"

namespace {

using tb::scene::SceneError;

// 4 fps, so frames start at 0, 0.25, 0.5, ...; the range [0.25, 1) holds frames 1, 2 and 3.
std::string rangeScene(const std::string& render) {
  return R"({
  "comp": {"name": "Main", "width": 64, "height": 48, "fps": 4, "duration": 2},
  "layers": [
    {"name": "Card", "kind": "solid", "size": [64, 48], "color": [200, 100, 50, 255],
     "masks": [{"name": "A", "points": [[10, 10], [50, 10], [50, 40], [10, 40]]},
               {"name": "B", "points": [[20, 15], [40, 15], [40, 30], [20, 30]]}],
     "effects": [{"match": "ZEK TOLV_Mask", "params": {"4": "A", "9": "B", "10": 50}},
                 {"match": "ZEK TOLV_Engine"}]}
  ],
  "steps": [)" +
         render + R"(, {"idle": 1}]
})";
}

struct RangeRun {
  std::vector<tb::scene::StepReport> steps;
  std::vector<std::pair<size_t, size_t>> progress;
};

RangeRun runScene(const std::string& text) {
  tb::scene::SceneSpec parsed = tb::scene::parseScene(text, "range.json");
  tb::Host host;
  for (const char* name : {"TOLV_Mask", "TOLV_Engine"})
    host.load(tbtest::modulePath(name));
  tb::Comp& comp = tb::scene::buildScene(host, parsed);
  tb::scene::checkSteps(host, comp, parsed);
  RangeRun run;
  run.steps = tb::scene::runSteps(host, parsed, "unused.tolvprj", [&](size_t done, size_t total) {
    run.progress.emplace_back(done, total);
  });
  return run;
}

TEST(FrameRange, rendersEachFrameOfTheRangeOnceInOrder) {
  const RangeRun run = runScene(rangeScene(R"({"render": {"from": 0.25, "to": 1}})"));
  ASSERT_EQ(run.steps.size(), 4u);  // three frames, then the idle step
  const double expected[] = {0.25, 0.5, 0.75};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(run.steps[i].kind, "render");
    ASSERT_TRUE(run.steps[i].time);
    EXPECT_EQ(*run.steps[i].time, expected[i]);
    // One render of the layer each: its mask effect and the renderer once, one mesh, one frame.
    ASSERT_EQ(run.steps[i].meshes.size(), 1u);
    EXPECT_EQ(run.steps[i].frames.size(), 1u);
    int maskRenders = 0;
    for (const tb::SentCommand& sent : run.steps[i].status)
      maskRenders += sent.cmd == PF_Cmd_RENDER && sent.matchName == "ZEK TOLV_Mask";
    EXPECT_EQ(maskRenders, 1);
  }
  EXPECT_EQ(run.steps[3].kind, "idle");
  EXPECT_EQ(run.progress, (std::vector<std::pair<size_t, size_t>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST(FrameRange, endsBetweenFrameStartsTakeTheFramesStartingInside) {
  const RangeRun run = runScene(rangeScene(R"({"render": {"from": 0.1, "to": 0.6}})"));
  ASSERT_EQ(run.steps.size(), 3u);
  EXPECT_EQ(*run.steps[0].time, 0.25);
  EXPECT_EQ(*run.steps[1].time, 0.5);
}

TEST(FrameRange, aRangeWithNoFrameStartingInItIsAnError) {
  try {
    runScene(rangeScene(R"({"render": {"from": 0.3, "to": 0.4}})"));
    FAIL() << "no error";
  } catch (const SceneError& e) {
    EXPECT_EQ(std::string(e.what()), "range.json: steps[0].render: no frame starts in the range");
  }
}

TEST(FrameRange, aSingleTimeCountsAsOneFrame) {
  const RangeRun run = runScene(rangeScene(R"({"render": {"time": 0.5}})"));
  EXPECT_EQ(run.progress, (std::vector<std::pair<size_t, size_t>>{{1, 1}}));
}

TEST(FrameRange, theCliReportsOneRenderPerFrameAndDrawsNoBarWhenAskedNot) {
  const std::string path = testing::TempDir() + "tolv-range.json";
  { std::ofstream(path) << rangeScene(R"({"render": {"from": 0, "to": 0.5}})"); }
  tb::RenderOptions options;
  options.scene = path;
  options.json = true;
  options.pluginDir = tbtest::buildDir() + "/plugins";
  std::ostringstream out, err;
  ASSERT_EQ(tb::renderScene(options, out, err), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  const nlohmann::json report = nlohmann::json::parse(out.str());
  ASSERT_EQ(report["steps"].size(), 3u);
  EXPECT_EQ(report["steps"][0]["time"], 0.0);
  EXPECT_EQ(report["steps"][1]["time"], 0.25);
  std::remove(path.c_str());
}

struct BadRange {
  const char* name;
  const char* render;
  const char* message;
};

class FrameRangeErrors : public testing::TestWithParam<BadRange> {};

TEST_P(FrameRangeErrors, nameThePlaceAndWhatIsWrong) {
  try {
    tb::scene::parseScene(rangeScene(GetParam().render), "range.json");
    FAIL() << "no error";
  } catch (const SceneError& e) {
    EXPECT_EQ(std::string(e.what()), GetParam().message);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, FrameRangeErrors,
    testing::Values(
        BadRange{"toMissing", R"({"render": {"from": 0}})",
                 "range.json: steps[0].render: missing key \"to\""},
        BadRange{"empty", R"({"render": {"from": 1, "to": 1}})",
                 "range.json: steps[0].render.to: must be later than \"from\" (1 s)"},
        BadRange{"pastTheEnd", R"({"render": {"from": 0, "to": 3}})",
                 "range.json: steps[0].render.to: must lie within the composition (0 to 2 s)"},
        BadRange{"withATime", R"({"render": {"time": 0, "from": 0, "to": 1}})",
                 "range.json: steps[0].render: give either \"time\" or \"from\" and \"to\", not "
                 "both"}),
    [](const testing::TestParamInfo<BadRange>& info) { return info.param.name; });

TEST(FrameFiles, stepNumbersWidenSoThatALongRangeListsInOrder) {
  EXPECT_EQ(tb::stepDigits(1), 2);
  EXPECT_EQ(tb::stepDigits(99), 2);
  EXPECT_EQ(tb::stepDigits(100), 3);
  EXPECT_EQ(tb::stepDigits(1000), 4);
  tb::scene::MeshReport mesh;
  mesh.layer = "Card";
  mesh.record = 7;
  EXPECT_EQ(tb::meshFileName(9, mesh, 3), "step010_0007_Card_slot0.glb");
  EXPECT_LT(tb::meshFileName(9, mesh, 3), tb::meshFileName(99, mesh, 3));
}

TEST(ProgressLine, showsFramesDoneTotalAndTimeLeftAtThePaceSoFar) {
  EXPECT_EQ(tb::progressLine(0, 4, 0.0), "[                    ] 0/4 frames");
  // 1 of 4 frames in 2 s: 3 more at 2 s each.
  EXPECT_EQ(tb::progressLine(1, 4, 2.0), "[#####               ] 1/4 frames, 6 s left");
  EXPECT_EQ(tb::progressLine(3, 4, 1.5), "[###############     ] 3/4 frames, 1 s left");
  EXPECT_EQ(tb::progressLine(4, 4, 9.0), "[####################] 4/4 frames");
}

TEST(ProgressLine, theBarRedrawsInPlaceAndEndsTheLineAfterTheLastFrame) {
  std::ostringstream out;
  tb::ProgressBar bar(out);
  bar(1, 2);
  bar(2, 2);
  const std::string text = out.str();
  EXPECT_EQ(text.front(), '\r');
  EXPECT_NE(text.find("\r[####################] 2/2 frames"), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

}  // namespace
