// The general plug-in loaded fresh into a testbed host with one composition: 25 fps, a work area
// of one second from 0, the current time at 0. Scripts go to a stand-in that records how they were
// run and answers as a test asks, so that the idle hook is seen apart from any script engine.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "TOLV_AEGP/AEGP_TOLVSuite.h"
#include "testbed/host/EngineRequest.h"
#include "testbed/host/Host.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace comptest {

constexpr AEGP_Command kStepCommand = 2372;

// The engine update script, tab by tab, as the host must receive it.
inline std::string expectedScript() {
  const std::string tabs = "\t\t\t\t\t";
  return "myComp = app.project.activeItem;" + tabs + "for (l = myComp.numLayers; l > 0; l--) {" +
         tabs + "myLayer = myComp.layer(l);" + tabs + "if (myLayer.Effects) {" + tabs +
         "for (f = 1; f <= myLayer.Effects.numProperties; f++) {" + tabs +
         "myFX = myLayer.Effects(f);" + tabs +
         "if (myFX.matchName == 'ZEK TOLV_Engine') {myFX.property(43).setValue(1);}}}" + tabs + "}";
}

struct ScriptRun {
  AEGP_PluginID plugin;
  std::string text;
  A_Boolean platformEncoding;
  bool resultHandle;
  bool errorHandle;
};

// What the stand-in script runner saw, and what it answers.
inline std::vector<ScriptRun> g_scriptRuns;
inline A_Err g_scriptAnswer = A_Err_NONE;

// Named as the host function it stands in for, so that the ledger counts it under that name.
inline A_Err AEGP_ExecuteScript(AEGP_PluginID plugin, const A_char* script, const A_Boolean enc,
                                AEGP_MemHandle* result, AEGP_MemHandle* error) {
  TB_ENTER();
  g_scriptRuns.push_back({plugin, script ? script : "", enc, result != nullptr, error != nullptr});
  return g_scriptAnswer;
}

// One run of an idle hook and the host calls it made.
struct HookRun {
  A_Err err;
  tb::CommandReport report;
};

class CompanionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_scriptRuns.clear();
    g_scriptAnswer = A_Err_NONE;
    aegp_ = &host_.load(tbtest::modulePath("TOLV_AEGP"), true);
    comp_ = &host_.addComp("Main", 640, 360);
    host_.setCompTiming(*comp_, 25, 10, 0, 1);
    setWorkArea(0, 25);
    useScriptStandIn();
  }

  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
  }

  void useScriptStandIn() {
    utility_ = *static_cast<const AEGP_UtilitySuite11*>(host_.suites().find(kAEGPUtilitySuite, 11));
    utility_.AEGP_ExecuteScript = comptest::AEGP_ExecuteScript;
    host_.suites().add(kAEGPUtilitySuite, 11, &utility_);
  }

  // The composition's times at scale 2500, a hundred units to a frame of 25 fps, set directly so
  // that they differ from the scale of the frame duration the host reports ({1, 25}) and read the
  // same whatever scale the testbed itself would choose. The current time goes to 0.
  void setWorkArea(A_long startFrames, A_long frames) {
    comp_->timeScale = 2500;
    comp_->duration = {25000, 2500};
    comp_->workStart = {startFrames * 100, 2500};
    comp_->workDuration = {frames * 100, 2500};
    comp_->currentTime = {0, 2500};
  }

  A_Err request(A_Boolean pending) { return tb::requestEngineUpdate(host_, pending); }

  // The module's hook run as the host's idle loop runs it, in a command of its own.
  HookRun idleOnce() {
    const tb::IdleHookEntry& entry = host_.idleHooks().at(0);
    host_.ledger().beginCommand("idle hook");
    A_long sleep = 1234;
    A_Err err = entry.hook(aegp_->globalRefcon, entry.refcon, &sleep);
    EXPECT_EQ(sleep, 1234);
    return {err, host_.ledger().endCommand()};
  }

  long stepCommands() {
    const std::vector<AEGP_Command>& c = host_.log().commands;
    return std::count(c.begin(), c.end(), kStepCommand);
  }

  tb::Host host_;
  tb::Module* aegp_ = nullptr;
  tb::Comp* comp_ = nullptr;
  AEGP_UtilitySuite11 utility_{};
};

}  // namespace comptest

// Host times compare by value and scale together (found by argument lookup, so at global scope).
inline bool operator==(A_Time a, A_Time b) {
  return a.value == b.value && a.scale == b.scale;
}

inline std::ostream& operator<<(std::ostream& out, A_Time t) {
  return out << "{" << t.value << ", " << t.scale << "}";
}
