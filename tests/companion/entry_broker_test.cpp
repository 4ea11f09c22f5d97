// The general plug-in's entry point against a broker that misbehaves in ways the testbed does not:
// no broker at all, "SP Suites Suite" handed out as nothing, a release that fails. Every suite
// obtained is given back, and no failure is reported as success.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SPSuites.h"
#include "TOLV_AEGP/AEGP_TOLVSuite.h"
#include "TOLV_AEGP/EngineUpdate.h"
#include "TOLV_AEGP/TOLV_AEGP.h"

namespace {

struct Broker {
  bool serveSuitesSuiteAsNull = false;
  SPErr releaseAnswer = kSPNoError;
  std::vector<std::string> acquired;
  std::vector<std::string> released;
  std::vector<std::string> added;
  AEGP_IdleHook hook = nullptr;
  const void* publishedTable = nullptr;
};

Broker* g_broker = nullptr;

A_Err RegisterIdleHook(AEGP_PluginID, AEGP_IdleHook hook, AEGP_IdleRefcon) {
  g_broker->hook = hook;
  return A_Err_NONE;
}
const AEGP_RegisterSuite6 kRegister = {RegisterIdleHook};

SPErr AddSuite(SPSuiteListRef, SPPluginRef, const char* name, int32_t, int32_t, const void* procs,
               SPSuiteRef*) {
  g_broker->added.push_back(name);
  g_broker->publishedTable = procs;
  return kSPNoError;
}
const SPSuitesSuite kSuites = {AddSuite, nullptr, nullptr};

SPErr Acquire(const char* name, int32_t version, const void** suite) {
  g_broker->acquired.push_back(std::string(name) + " " + std::to_string(version));
  if (std::strcmp(name, "AEGP Register Suite") == 0 && version == 6) {
    *suite = &kRegister;
    return kSPNoError;
  }
  if (std::strcmp(name, kSPSuitesSuite) == 0 && version == 2) {
    *suite = g_broker->serveSuitesSuiteAsNull ? nullptr : &kSuites;
    return kSPNoError;
  }
  *suite = nullptr;
  return 1;
}

SPErr Release(const char* name, int32_t version) {
  g_broker->released.push_back(std::string(name) + " " + std::to_string(version));
  return g_broker->releaseAnswer;
}

class EntryBroker : public ::testing::Test {
 protected:
  void SetUp() override {
    g_broker = &broker_;
    std::memset(&basic_, 0, sizeof basic_);
    basic_.AcquireSuite = Acquire;
    basic_.ReleaseSuite = Release;
  }
  void TearDown() override {
    SetEngineUpdatePending(0);
    g_broker = nullptr;
  }
  A_Err start(SPBasicSuite* basic) { return EntryPointFunc(basic, 1, 0, 7, nullptr); }

  Broker broker_;
  SPBasicSuite basic_;
};

TEST_F(EntryBroker, registersThenPublishesAndGivesEverySuiteBack) {
  EXPECT_EQ(start(&basic_), A_Err_NONE);
  EXPECT_EQ(broker_.hook, &EngineUpdateIdleHook);
  EXPECT_EQ(broker_.added, std::vector<std::string>{"AEGP TOLV Suite"});
  EXPECT_EQ(broker_.acquired,
            (std::vector<std::string>{"AEGP Register Suite 6", "SP Suites Suite 2"}));
  EXPECT_EQ(broker_.released,
            (std::vector<std::string>{"SP Suites Suite 2", "AEGP Register Suite 6"}));
  EXPECT_EQ(g_pluginID, 7);
  // The published table sets the request flag and answers success.
  const auto* table = static_cast<const AEGP_TOLVSuite1*>(broker_.publishedTable);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->SetEngineUpdatePending(3), A_Err_NONE);
  EXPECT_EQ(engineUpdatePending, 3);
}

TEST_F(EntryBroker, noBrokerIsAMissingSuiteNotACrash) {
  EXPECT_EQ(start(nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

TEST_F(EntryBroker, aSuitesSuiteHandedOutAsNothingFailsAndIsStillGivenBack) {
  broker_.serveSuitesSuiteAsNull = true;
  EXPECT_EQ(start(&basic_), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(broker_.added.empty());
  EXPECT_EQ(broker_.released,
            (std::vector<std::string>{"SP Suites Suite 2", "AEGP Register Suite 6"}));
}

TEST_F(EntryBroker, aFailedReleaseOfTheSuitesSuiteIsTheResult) {
  broker_.releaseAnswer = 99;
  EXPECT_EQ(start(&basic_), 99);
  EXPECT_EQ(broker_.added.size(), 1u);
}

TEST_F(EntryBroker, theIdleHookWithoutABrokerAnswersInsteadOfThrowing) {
  EXPECT_EQ(start(nullptr), PF_Err_BAD_CALLBACK_PARAM);
  A_long sleep = 5;
  EXPECT_EQ(EngineUpdateIdleHook(nullptr, nullptr, &sleep), A_Err_NONE);  // nothing requested
  SetEngineUpdatePending(1);
  EXPECT_EQ(EngineUpdateIdleHook(nullptr, nullptr, &sleep), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(sleep, 5);
  EXPECT_EQ(engineUpdatePending, 1);
}

}  // namespace
