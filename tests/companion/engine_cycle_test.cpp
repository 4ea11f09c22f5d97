// The whole cycle in the testbed with its script engine: a one-second work area at 25 fps, a
// request and thirty idle calls give exactly 25 commands 2372, then the update script, which sets
// parameter 43 of every stand-in renderer of the composition to 1 and touches nothing else, and
// the time back at 0.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"
#include "testbed/scene/SceneRun.h"
#include "tests/companion/CompanionFixture.h"

namespace {

constexpr int kUpdateParam = 43;

const char* const kScene = R"({
  "comp": {"name": "Main", "width": 64, "height": 48, "fps": 25, "duration": 4,
           "work_area": [0, 1]},
  "layers": [
    {"name": "Top", "kind": "solid", "size": [64, 48],
     "effects": [{"match": "ZEK TOLV_Distort"}, {"match": "ZEK TOLV_Engine"},
                 {"match": "ZEK TOLV_Engine", "params": {"42": 7, "41": 9}}]},
    {"name": "Plain", "kind": "solid", "size": [64, 48], "effects": [{"match": "ZEK TOLV_Distort"}]},
    {"name": "Bottom", "kind": "solid", "size": [64, 48], "effects": [{"match": "ZEK TOLV_Engine"}]}
  ],
  "steps": [{"request_engine_update": 1}, {"idle": 30}]
})";

std::vector<std::vector<PF_ParamDef>> paramsOf(const tb::Comp& comp) {
  std::vector<std::vector<PF_ParamDef>> all;
  for (const auto& layer : comp.layers)
    for (const auto& effect : layer->effects)
      all.push_back(effect->params);
  return all;
}

TEST(EngineUpdateCycle, stepsTheWorkAreaThenUpdatesEveryRendererAndRewinds) {
  tb::Host host;
  for (const char* m : {"TOLV_AEGP", "TOLV_Engine", "TOLV_Distort"})
    host.load(tbtest::modulePath(m), true);
  tb::scene::SceneSpec parsed = tb::scene::parseScene(kScene, "cycle.json");
  tb::Comp& comp = tb::scene::buildScene(host, parsed);
  const auto before = paramsOf(comp);
  std::vector<tb::scene::StepReport> steps = tb::scene::runSteps(
      host, parsed, (std::filesystem::temp_directory_path() / "tolv-engine-cycle.tolv").string());
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].result, A_Err_NONE);
  const std::vector<AEGP_Command> expected(25, comptest::kStepCommand);
  EXPECT_EQ(steps[1].commands, expected);
  ASSERT_EQ(steps[1].scripts.size(), 1u);
  EXPECT_EQ(steps[1].scripts[0].text, comptest::expectedScript());
  EXPECT_EQ(steps[1].scripts[0].err, A_Err_NONE) << steps[1].scripts[0].error;
  EXPECT_EQ(comp.currentTime, (A_Time{0, comp.timeScale}));
  for (const tb::SentCommand& sent : steps[1].status)
    EXPECT_EQ(sent.err, A_Err_NONE);

  const auto after = paramsOf(comp);
  ASSERT_EQ(after.size(), before.size());
  size_t k = 0;
  int renderers = 0;
  for (const auto& layer : comp.layers) {
    for (const auto& effect : layer->effects) {
      const bool renderer = effect->module->matchName() == "ZEK TOLV_Engine";
      for (size_t p = 0; p < after[k].size(); ++p) {
        SCOPED_TRACE(layer->name + " effect " + std::to_string(k) + " param " + std::to_string(p));
        if (renderer && p == kUpdateParam) {
          EXPECT_EQ(after[k][p].u.sd.value, 1);
        } else {
          EXPECT_EQ(std::memcmp(&after[k][p].u, &before[k][p].u, sizeof after[k][p].u), 0);
        }
      }
      renderers += renderer ? 1 : 0;
      ++k;
    }
  }
  EXPECT_EQ(renderers, 3);
  host.quit();
  tbtest::checkViolations(host.ledger(), {});
}

}  // namespace
