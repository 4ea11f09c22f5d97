// The general plug-in in the testbed: what start-up registers and publishes, and the cycle a
// request starts, frame by frame, to the script and back to time 0.
#include "tests/companion/CompanionFixture.h"

namespace {

using comptest::CompanionTest;
using comptest::expectedScript;
using comptest::g_scriptAnswer;
using comptest::g_scriptRuns;

TEST_F(CompanionTest, startUpRegistersTheHookAndPublishesTheSuite) {
  EXPECT_EQ(aegp_->globalSetupErr, A_Err_NONE);
  EXPECT_TRUE(aegp_->globalSetupProblems.empty());
  ASSERT_EQ(host_.idleHooks().size(), 1u);
  EXPECT_EQ(host_.idleHooks()[0].plugin, aegp_->pluginId);
  EXPECT_EQ(host_.idleHooks()[0].refcon, nullptr);
  ASSERT_EQ(host_.suites().published().size(), 1u);
  const tb::PublishedSuite& published = host_.suites().published()[0];
  EXPECT_EQ(published.name, "AEGP TOLV Suite");
  EXPECT_EQ(published.version, 1);
  EXPECT_EQ(published.internalVersion, 1);
  EXPECT_EQ(published.publisher, "TOLV_AEGP");
}

TEST_F(CompanionTest, withoutARequestTheHookCallsNothing) {
  comptest::HookRun run = idleOnce();
  EXPECT_EQ(run.err, A_Err_NONE);
  EXPECT_TRUE(run.report.calls.empty());
}

TEST_F(CompanionTest, theScriptReachesTheHostByteForByte) {
  comp_->currentTime = comp_->workDuration;
  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(1);
  ASSERT_EQ(g_scriptRuns.size(), 1u);
  const std::string expected = expectedScript();
  EXPECT_EQ(g_scriptRuns[0].text.size(), expected.size());
  EXPECT_EQ(g_scriptRuns[0].text, expected);
  EXPECT_EQ(std::count(expected.begin(), expected.end(), '\t'), 35);
  EXPECT_EQ(g_scriptRuns[0].plugin, 0);
  EXPECT_EQ(g_scriptRuns[0].platformEncoding, 1);
  EXPECT_FALSE(g_scriptRuns[0].resultHandle);
  EXPECT_FALSE(g_scriptRuns[0].errorHandle);
}

TEST_F(CompanionTest, nFramesOfWorkAreaGiveExactlyNCommandsThenTheScriptAndTimeZero) {
  for (double seconds : {0.04, 1.0, 2.0}) {
    SCOPED_TRACE(seconds);
    host_.log().commands.clear();
    g_scriptRuns.clear();
    const long frames = static_cast<long>(seconds * 25 + 0.5);
    setWorkArea(0, static_cast<A_long>(frames));
    ASSERT_EQ(request(1), A_Err_NONE);
    host_.runIdle(static_cast<int>(frames));
    EXPECT_EQ(stepCommands(), frames);
    EXPECT_EQ(host_.log().commands.size(), static_cast<size_t>(frames));
    EXPECT_TRUE(g_scriptRuns.empty());
    EXPECT_EQ(comp_->currentTime, (A_Time{static_cast<A_long>(frames * 100), 2500}));
    host_.runIdle(1);
    EXPECT_EQ(g_scriptRuns.size(), 1u);
    EXPECT_EQ(stepCommands(), frames);
    EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
    EXPECT_EQ(host_.log().sent.back().err, A_Err_NONE);
    host_.runIdle(5);
    EXPECT_EQ(g_scriptRuns.size(), 1u);
    EXPECT_EQ(stepCommands(), frames);
  }
}

TEST_F(CompanionTest, aRequestAtOrPastTheEndRunsTheScriptAtOnceWithoutCommands) {
  for (A_long at : {2500, 2600, 25000}) {
    SCOPED_TRACE(at);
    g_scriptRuns.clear();
    comp_->currentTime = {at, 2500};
    ASSERT_EQ(request(1), A_Err_NONE);
    host_.runIdle(1);
    EXPECT_EQ(stepCommands(), 0);
    EXPECT_EQ(g_scriptRuns.size(), 1u);
    EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
  }
}

TEST_F(CompanionTest, theWorkAreaStartCountsTowardsItsEnd) {
  setWorkArea(50, 25);
  comp_->currentTime = {5000 - 300, 2500};  // three frames before the work area
  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(28);
  EXPECT_EQ(stepCommands(), 28);
  EXPECT_TRUE(g_scriptRuns.empty());
  host_.runIdle(1);
  EXPECT_EQ(g_scriptRuns.size(), 1u);
}

TEST_F(CompanionTest, timesOfOtherScalesAreComparedAfterRescaling) {
  // Work area from 1 s for 1 s, given at scales 1 and 25; the current time 1.5 s at 2500. At the
  // larger scale (25) the time is 37, the end 50, and a frame 1: thirteen steps. Compared without
  // rescaling, 3750 would already lie past 1 + 25.
  comp_->workStart = {1, 1};
  comp_->workDuration = {25, 25};
  comp_->currentTime = {3750, 2500};
  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(13);
  EXPECT_EQ(stepCommands(), 13);
  EXPECT_TRUE(g_scriptRuns.empty());
  EXPECT_EQ(comp_->currentTime, (A_Time{5000, 2500}));
  host_.runIdle(1);
  EXPECT_EQ(g_scriptRuns.size(), 1u);
  EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
}

TEST_F(CompanionTest, aFrameShorterThanOneUnitOfTheWorkAreaScaleStillAdvances) {
  comp_->workStart = {0, 1};
  comp_->workDuration = {1, 1};
  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(3);
  EXPECT_EQ(stepCommands(), 1);  // one whole unit (1 s) at once, then the end
  EXPECT_EQ(g_scriptRuns.size(), 1u);
  EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
}

TEST_F(CompanionTest, aTimeWithoutAScaleLeavesTheRequestWaiting) {
  comp_->workDuration = {2500, 0};
  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(3);
  EXPECT_EQ(stepCommands(), 0);
  EXPECT_TRUE(g_scriptRuns.empty());
  for (const tb::SentCommand& sent : host_.log().sent)
    EXPECT_EQ(sent.err, A_Err_NONE);
  comp_->workDuration = {100, 2500};
  host_.runIdle(2);
  EXPECT_EQ(stepCommands(), 1);
  EXPECT_EQ(g_scriptRuns.size(), 1u);
}

TEST_F(CompanionTest, aRequestWaitsWhileFootageAFolderOrNothingIsActive) {
  tb::Layer& layer = host_.addLayer(*comp_, "Solid", 64, 64);
  tb::Item folder(AEGP_ItemType_FOLDER, nullptr, nullptr);
  ASSERT_EQ(request(1), A_Err_NONE);
  for (tb::Item* active : {layer.source.get(), &folder, static_cast<tb::Item*>(nullptr)}) {
    host_.project().activeItem = active;
    comptest::HookRun run = idleOnce();
    EXPECT_EQ(run.err, A_Err_NONE);
    EXPECT_TRUE(run.report.clean());
    host_.runIdle(3);
    EXPECT_EQ(stepCommands(), 0);
    EXPECT_TRUE(g_scriptRuns.empty());
    EXPECT_EQ(comp_->currentTime, (A_Time{0, 2500}));
  }
  host_.project().activeItem = comp_->item.get();
  host_.runIdle(26);
  EXPECT_EQ(stepCommands(), 25);
  EXPECT_EQ(g_scriptRuns.size(), 1u);
}

TEST_F(CompanionTest, zeroCancelsARequestBeforeAndDuringTheCycle) {
  ASSERT_EQ(request(1), A_Err_NONE);
  ASSERT_EQ(request(0), A_Err_NONE);
  EXPECT_TRUE(idleOnce().report.calls.empty());
  host_.runIdle(3);
  EXPECT_EQ(stepCommands(), 0);

  ASSERT_EQ(request(1), A_Err_NONE);
  host_.runIdle(3);
  ASSERT_EQ(request(0), A_Err_NONE);
  host_.runIdle(30);
  EXPECT_EQ(stepCommands(), 3);
  EXPECT_TRUE(g_scriptRuns.empty());
  EXPECT_EQ(comp_->currentTime, (A_Time{300, 2500}));
}

TEST_F(CompanionTest, aFailedScriptIsTheHooksErrorAndStillEndsTheRequest) {
  g_scriptAnswer = A_Err_GENERIC;
  comp_->currentTime = comp_->workDuration;
  ASSERT_EQ(request(1), A_Err_NONE);
  comptest::HookRun run = idleOnce();
  EXPECT_EQ(run.err, A_Err_GENERIC);
  EXPECT_TRUE(run.report.clean());
  EXPECT_EQ(run.report.calls.back(), "AEGP_ExecuteScript");  // the chain ends at the failure
  EXPECT_EQ(comp_->currentTime, (A_Time{2500, 2500}));
  EXPECT_TRUE(idleOnce().report.calls.empty());
  EXPECT_EQ(g_scriptRuns.size(), 1u);
}

TEST_F(CompanionTest, anyRequestValueOtherThanZeroAsksForACycle) {
  comp_->currentTime = comp_->workDuration;
  ASSERT_EQ(request(0xFF), A_Err_NONE);
  host_.runIdle(1);
  EXPECT_EQ(g_scriptRuns.size(), 1u);
}

}  // namespace
