// The testbed as a strict host, through the program a user runs: a scene whose only effect breaks
// one host rule makes `tolv-testbed render SCENE --json --plugins DIR` exit 1, with the violation
// in the report (in its step and in the total) and on stderr; the same effect keeping every rule
// exits 0.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/ExitStatus.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class RulesCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolv-rules-test-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A scene with one solid carrying the rule-breaking effect at the given rule, rendered once and
  // saved.
  std::string scene(int rule) {
    const fs::path path = dir_ / "scene.json";
    std::ofstream(path) << R"({"comp": {"name": "Main", "width": 16, "height": 16, "fps": 25,
      "duration": 1},
      "layers": [{"name": "Card", "kind": "solid", "size": [16, 16], "color": [1, 2, 3, 255],
        "effects": [{"match": "ZEK TOLV_TestRules", "params": {"1": )"
                        << rule << R"(}}]}],
      "steps": [{"render": {"time": 0}}, {"save": "saved.tolvprj"}]})";
    return path.string();
  }

  ProgramRun run(const std::string& args) {
    const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
    const std::string command =
        std::string(TOLV_TESTBED_PROGRAM) + " " + args + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    ProgramRun r;
    r.status = tbtest::exitStatus(raw);
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
  }

  ProgramRun render(int rule) {
    return run("render " + scene(rule) + " --json --plugins " + tbtest::buildDir() +
               "/test_plugins");
  }

  fs::path dir_;
};

TEST_F(RulesCliTest, theEffectKeepingEveryRuleExitsZeroWithNoViolations) {
  ProgramRun r = render(0);
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json report = nlohmann::json::parse(r.out);
  EXPECT_EQ(report["violations"], nlohmann::json::array());
  for (const nlohmann::json& step : report["steps"])
    EXPECT_EQ(step["violations"], nlohmann::json::array());
  EXPECT_EQ(r.err.find("violation:"), std::string::npos) << r.err;
}

TEST_F(RulesCliTest, inspectFindsAModuleByNameInAPluginFolder) {
  ProgramRun r = run("inspect TOLV_TestRules --plugins " + tbtest::buildDir() + "/test_plugins");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("pipl Name: \"TOLV Test Rules\"\n"), std::string::npos) << r.out;
  ProgramRun missing = run("inspect TOLV_TestRules");
  EXPECT_EQ(missing.status, 2);
}

struct BrokenRule {
  const char* name;
  int rule;
  const char* command;  // where the violation is charged
  const char* what;     // how it begins
  int step;             // the step it happens in; -1: after the steps (closing, quitting)
};

class BrokenRuleTest : public RulesCliTest, public ::testing::WithParamInterface<BrokenRule> {};

TEST_P(BrokenRuleTest, exitsOneWithTheViolationInTheReportAndOnStderr) {
  const BrokenRule& b = GetParam();
  ProgramRun r = render(b.rule);
  ASSERT_EQ(r.status, 1) << r.err;
  const nlohmann::json report = nlohmann::json::parse(r.out);
  const nlohmann::json& total = report["violations"];
  ASSERT_GE(total.size(), 1u) << r.out;
  const nlohmann::json& first = total[0];
  EXPECT_EQ(first["module"], "ZEK TOLV_TestRules");
  EXPECT_EQ(first["command"], b.command);
  const std::string what = first["what"];
  EXPECT_EQ(what.rfind(b.what, 0), 0u) << what;
  if (b.step >= 0) {
    EXPECT_EQ(report["steps"][b.step]["violations"][0], first);
  }
  const std::string line =
      std::string("violation: ZEK TOLV_TestRules: ") + b.command + ": " + what + "\n";
  EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, BrokenRuleTest,
    ::testing::Values(
        BrokenRule{"suiteKept", 1, "RENDER", "left held: suite \"AEGP Utility Suite\" v11 x1", 0},
        BrokenRule{"effectRefKept", 2, "RENDER", "left held: effect ref x1", 0},
        BrokenRule{"quietLeftOn", 3, "RENDER", "left quiet-errors mode on x1", 0},
        BrokenRule{"handleDisposedTwice", 5, "RENDER", "host_dispose_handle: not a live handle", 0},
        BrokenRule{"handleLeaked", 4, "quit", "handle leaked x1", -1},
        BrokenRule{"wrongPluginId", 6, "RENDER", "AEGP_GetNewEffectForEffect: plug-in id 1", 0},
        BrokenRule{"sequenceDataKeptAfterSetdown", 7, "SEQUENCE_SETDOWN",
                   "handed back sequence data after setdown", -1},
        BrokenRule{"paramAddedOutsideSetup", 8, "RENDER", "add_param outside PARAMS_SETUP", 0},
        BrokenRule{"returnMsgUnterminated", 9, "RENDER",
                   "return_msg is not terminated within its field", 0},
        BrokenRule{"flatSizeWrong", 10, "save",
                   "flat_sdata_size 1 does not match its sequence data of 4 bytes", 1},
        BrokenRule{"sequenceDataDisposedInRender", 12, "RENDER",
                   "host_dispose_handle: disposed the instance's sequence data", 0},
        BrokenRule{"suiteNeverAcquired", 11, "RENDER",
                   "suite \"AEGP Utility Suite\" v11 released without being acquired", 0},
        BrokenRule{"poisonReleased", 13, "RENDER",
                   "AEGP_DisposeEffect: effect reference is the poison a failed call left", 0},
        BrokenRule{"staleRefUsed", 14, "RENDER",
                   "AEGP_GetInstalledKeyFromLayerEffect: not a live effect reference", 0}),
    [](const ::testing::TestParamInfo<BrokenRule>& info) { return std::string(info.param.name); });

}  // namespace
