// AEGP_SuiteHandler against a broker that records every acquisition and release.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Util/AEGP_SuiteHandler.h"

namespace {

struct Broker {
  std::map<std::pair<std::string, int>, int> acquired;
  std::map<std::pair<std::string, int>, int> released;
  std::vector<std::pair<std::string, int>> missing;
  char dummy[64] = {};
};
Broker* g_broker = nullptr;

SPErr Acquire(const char* name, int32_t version, const void** suite) {
  for (const auto& m : g_broker->missing) {
    if (m.first == name && m.second == version) {
      *suite = nullptr;
      return 1;
    }
  }
  ++g_broker->acquired[{name, version}];
  *suite = g_broker->dummy;
  return kSPNoError;
}

SPErr Release(const char* name, int32_t version) {
  ++g_broker->released[{name, version}];
  return kSPNoError;
}

// A broker that reports success but hands out no suite.
SPErr AcquireNull(const char*, int32_t, const void** suite) {
  *suite = nullptr;
  return kSPNoError;
}

class SuiteHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override { g_broker = &broker; }
  void TearDown() override { g_broker = nullptr; }
  Broker broker;
  SPBasicSuite basic = {Acquire, Release, nullptr, nullptr, nullptr, nullptr, nullptr};
};

TEST_F(SuiteHandlerTest, acquiresLazilyOnceAndReleasesOnceAtScopeEnd) {
  {
    AEGP_SuiteHandler suites(&basic);
    EXPECT_TRUE(broker.acquired.empty());
    void* first = suites.UtilitySuite11();
    void* second = suites.UtilitySuite11();
    EXPECT_EQ(first, second);
    EXPECT_EQ((broker.acquired[{"AEGP Utility Suite", 11}]), 1);
    EXPECT_TRUE(broker.released.empty());
  }
  EXPECT_EQ((broker.released[{"AEGP Utility Suite", 11}]), 1);
  EXPECT_EQ(broker.released.size(), 1u);
}

TEST_F(SuiteHandlerTest, twoVersionsOfOneSuiteAreTwoRows) {
  {
    AEGP_SuiteHandler suites(&basic);
    suites.EffectSuite2();
    suites.LayerSuite13();
    EXPECT_EQ((broker.acquired[{"AEGP Effect Suite", 2}]), 1);
    EXPECT_EQ((broker.acquired[{"AEGP Effect Suite", 3}]), 0);
    suites.EffectSuite3();
    suites.LayerSuite12();
    suites.EffectSuite2();
    EXPECT_EQ((broker.acquired[{"AEGP Effect Suite", 3}]), 1);
    EXPECT_EQ((broker.acquired[{"AEGP Layer Suite", 12}]), 1);
  }
  for (auto key : {std::make_pair(std::string("AEGP Effect Suite"), 2),
                   std::make_pair(std::string("AEGP Effect Suite"), 3),
                   std::make_pair(std::string("AEGP Layer Suite"), 12),
                   std::make_pair(std::string("AEGP Layer Suite"), 13)}) {
    EXPECT_EQ(broker.released[key], 1) << key.first << " v" << key.second;
  }
}

TEST_F(SuiteHandlerTest, everyCatalogueRowAsksForItsNameAndVersion) {
  {
    AEGP_SuiteHandler s(&basic);
    s.UtilitySuite11(), s.ANSICallbacksSuite1(), s.PFInterfaceSuite1(), s.StreamSuite9();
    s.DynamicStreamSuite5(), s.EffectSuite2(), s.EffectSuite3(), s.ParamUtilsSuite3();
    s.CompSuite15(), s.ItemSuite13(), s.PathQuerySuite1(), s.PathDataSuite1();
    s.LayerSuite12(), s.LayerSuite13(), s.MaskSuite6(), s.Sampling8Suite1();
    s.KeyframeSuite4(), s.LightSuite2(), s.CommandSuite1(), s.RegisterSuite6();
  }
  std::map<std::pair<std::string, int>, int> expected = {
      {{"AEGP Utility Suite", 11}, 1},       {{"PF ANSI Suite", 1}, 1},
      {{"AEGP PF Interface Suite", 1}, 1},   {{"AEGP Stream Suite", 9}, 1},
      {{"AEGP Dynamic Stream Suite", 5}, 1}, {{"AEGP Effect Suite", 2}, 1},
      {{"AEGP Effect Suite", 3}, 1},         {{"PF Param Utils Suite", 3}, 1},
      {{"AEGP Comp Suite", 15}, 1},          {{"AEGP Item Suite", 13}, 1},
      {{"PF Path Query Suite", 1}, 1},       {{"PF Path Data Suite", 1}, 1},
      {{"AEGP Layer Suite", 12}, 1},         {{"AEGP Layer Suite", 13}, 1},
      {{"AEGP Layer Mask Suite", 6}, 1},     {{"PF Sampling8 Suite", 1}, 1},
      {{"AEGP Keyframe Suite", 4}, 1},       {{"AEGP Light Suite", 2}, 1},
      {{"AEGP Command Suite", 1}, 1},        {{"AEGP Register Suite", 6}, 1},
  };
  EXPECT_EQ(broker.acquired, expected);
  EXPECT_EQ(broker.released, expected);
}

TEST_F(SuiteHandlerTest, missingSuiteThrows516AndReleasesWhatWasAcquired) {
  broker.missing.push_back({"AEGP Stream Suite", 9});
  try {
    AEGP_SuiteHandler suites(&basic);
    suites.UtilitySuite11();
    suites.StreamSuite9();
    FAIL() << "no exception";
  } catch (PF_Err err) {
    EXPECT_EQ(err, 516);
  }
  EXPECT_EQ((broker.released[{"AEGP Utility Suite", 11}]), 1);
  EXPECT_EQ(broker.released.count({"AEGP Stream Suite", 9}), 0u);
  EXPECT_EQ(broker.released.size(), 1u);
}

TEST_F(SuiteHandlerTest, nullSuiteWithSuccessIsMissing) {
  SPBasicSuite nulls = {AcquireNull, Release, nullptr, nullptr, nullptr, nullptr, nullptr};
  AEGP_SuiteHandler suites(&nulls);
  EXPECT_THROW(suites.CommandSuite1(), PF_Err);
}

TEST_F(SuiteHandlerTest, nullBasicSuiteIsRefused) {
  try {
    AEGP_SuiteHandler suites(nullptr);
    FAIL() << "no exception";
  } catch (PF_Err err) {
    EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
  }
}

}  // namespace
