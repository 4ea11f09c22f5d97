// Both effects' entry points as the host sees them: ABOUT, GLOBAL_SETUP and the command tables.
#include <gtest/gtest.h>

#include <cstring>

#include "testbed/host/Host.h"
#include "tests/support/Modules.h"

namespace {

using tb::CommandResult;
using tb::Host;
using tb::Module;

struct EffectCase {
  const char* module;
  const char* about;
  A_long outFlags;
  A_long outFlags2;
  const char* matchName;
};

const EffectCase kEffects[] = {
    {"TOLV_Mask", "ZEK Morvane, v1.6\rMask controlled warping.", 0x04000400, 7, "ZEK TOLV_Mask"},
    {"TOLV_Distort", "ZEK Morvane Distorter v1.0\rMask controlled warping.", 0x04200000, 0,
     "ZEK TOLV_Distort"},
};

class EffectEntry : public ::testing::TestWithParam<EffectCase> {
 protected:
  Module& load() { return host.load(tbtest::modulePath(GetParam().module), true); }
  Host host;
};

TEST_P(EffectEntry, aboutWritesTheExactText) {
  Module& m = load();
  CommandResult r = host.send({&m, nullptr}, PF_Cmd_ABOUT);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_STREQ(r.out.return_msg, GetParam().about);
  EXPECT_TRUE(r.report.clean());
}

TEST_P(EffectEntry, aboutWithoutTheAnsiSuiteReturns516AndHoldsNothing) {
  Module& m = load();
  tb::FaultPlan plan;
  plan.withheld.insert({"PF ANSI Suite", 1});
  host.ledger().arm(plan);
  CommandResult r = host.send({&m, nullptr}, PF_Cmd_ABOUT);
  EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(r.report.clean());
}

TEST_P(EffectEntry, globalSetupSetsVersionFlagsAndRegistersUnderTheMatchName) {
  Module& m = load();
  EXPECT_EQ(m.globalSetupErr, PF_Err_NONE);
  EXPECT_EQ(m.globalOut.my_version, 0x00100000u);
  EXPECT_EQ(m.globalOut.out_flags, GetParam().outFlags);
  EXPECT_EQ(m.globalOut.out_flags2, GetParam().outFlags2);
  EXPECT_EQ(m.registeredName, GetParam().matchName);
  EXPECT_NE(m.pluginId, 0);
  EXPECT_TRUE(m.globalSetupProblems.empty()) << m.globalSetupProblems.front();
}

// Every host call of GLOBAL_SETUP failed in turn: its error is the result, the flags stay set.
TEST_P(EffectEntry, globalSetupFaultSweep) {
  Module& m = load();
  CommandResult clean = host.send({&m, nullptr}, PF_Cmd_GLOBAL_SETUP);
  EXPECT_EQ(clean.report.calls,
            (std::vector<std::string>{"AcquireSuite", "AEGP_RegisterWithAEGP"}));
  for (size_t i = 0; i < clean.report.calls.size(); ++i) {
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = A_Err_GENERIC;
    host.ledger().arm(plan);
    CommandResult r = host.send({&m, nullptr}, PF_Cmd_GLOBAL_SETUP);
    host.ledger().disarm();
    // A suite the host does not hand out is the status of a missing suite.
    EXPECT_EQ(r.err, i == 0 ? static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM)
                            : static_cast<PF_Err>(A_Err_GENERIC));
    EXPECT_EQ(r.out.my_version, 0x00100000u);
    EXPECT_EQ(r.out.out_flags, GetParam().outFlags);
    EXPECT_EQ(r.out.out_flags2, GetParam().outFlags2);
    EXPECT_TRUE(r.report.clean());
  }
  tb::FaultPlan withheld;
  withheld.withheld.insert({"AEGP Utility Suite", 11});
  host.ledger().arm(withheld);
  CommandResult r = host.send({&m, nullptr}, PF_Cmd_GLOBAL_SETUP);
  EXPECT_EQ(r.err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(r.out.out_flags, GetParam().outFlags);
  EXPECT_TRUE(r.report.clean());
}

TEST_P(EffectEntry, eachModuleGetsItsOwnPluginId) {
  Module& a = load();
  Module& b = load();
  EXPECT_NE(a.pluginId, b.pluginId);
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectEntry, ::testing::ValuesIn(kEffects),
                         [](const auto& info) { return std::string(info.param.module); });

// Commands outside a table return PF_Err_NONE and leave PF_OutData as it was.
void expectUntouched(Host& host, Module& m, PF_Cmd cmd) {
  tb::CommandTarget target{&m, nullptr};
  PF_InData in_data;
  host.fillInData(target, &in_data);
  PF_OutData out;
  std::memset(&out, 0x5A, sizeof out);
  PF_OutData before = out;
  host.ledger().beginCommand("unhandled");
  PF_Err err = m.effectEntry()(cmd, &in_data, &out, nullptr, nullptr, nullptr);
  tb::CommandReport report = host.ledger().endCommand();
  EXPECT_EQ(err, PF_Err_NONE) << "command " << cmd;
  EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0) << "command " << cmd;
  EXPECT_TRUE(report.calls.empty()) << "command " << cmd;
}

TEST(MaskEntry, unhandledCommandsAndCommandsAbove18DoNothing) {
  Host host;
  Module& m = host.load(tbtest::modulePath("TOLV_Mask"), true);
  for (PF_Cmd cmd : {2, 3, 7, 9, 10, 12, 15, 16, 17, 19, 20, 24, 1000, 0x7FFFFFFF}) {
    expectUntouched(host, m, cmd);
  }
}

TEST(DistortEntry, unhandledCommandsDoNothing) {
  Host host;
  Module& m = host.load(tbtest::modulePath("TOLV_Distort"), true);
  for (PF_Cmd cmd : {2, 3, 7, 9, 10, 12, 15, 16, 18, 19, 24, 1000, -1}) {
    expectUntouched(host, m, cmd);
  }
}

}  // namespace
