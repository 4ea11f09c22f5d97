// The decision of one idle call, from the times the host reports: rescaling in single precision,
// the comparison with the end of the work area, and the times that must not stall or divide by 0.
#include <gtest/gtest.h>

#include <limits>

#include "TOLV_AEGP/EngineStep.h"

namespace {

constexpr A_long kMax = std::numeric_limits<A_long>::max();
constexpr A_long kMin = std::numeric_limits<A_long>::min();

void expectTime(A_Time t, A_long value, A_u_long scale) {
  EXPECT_EQ(t.value, value);
  EXPECT_EQ(t.scale, scale);
}

TEST(RescaleTimeValue, truncatesTowardZeroInSinglePrecision) {
  EXPECT_EQ(RescaleTimeValue(100, 2500, 25), 1);
  EXPECT_EQ(RescaleTimeValue(1, 3, 2), 0);    // 0.666 truncates
  EXPECT_EQ(RescaleTimeValue(-1, 3, 2), 0);   // toward zero, not down
  EXPECT_EQ(RescaleTimeValue(-5, 3, 2), -3);  // -3.33
  // 16777217 is not a float: the value goes through single precision, as the host's own does.
  EXPECT_EQ(RescaleTimeValue(16777217, 1, 1), 16777216);
}

TEST(RescaleTimeValue, saturatesInsteadOfOverflowing) {
  EXPECT_EQ(RescaleTimeValue(kMax, 1, 2), kMax);
  EXPECT_EQ(RescaleTimeValue(kMin, 1, 4000000000u), kMin);
  EXPECT_EQ(RescaleTimeValue(kMax, 1, 1), kMax);  // 2^31 - 1 rounds up to 2^31 as a float
  EXPECT_EQ(RescaleTimeValue(kMin, 1, 1), kMin);
}

TEST(PlanEngineStep, advancesOneFrameBeforeTheEndOfTheWorkArea) {
  EngineStep s = PlanEngineStep({0, 2500}, {0, 2500}, {2500, 2500}, {100, 2500});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 100, 2500);
  s = PlanEngineStep({2400, 2500}, {0, 2500}, {2500, 2500}, {100, 2500});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 2500, 2500);
}

TEST(PlanEngineStep, finishesAtOrPastTheEndWithTimeZero) {
  EngineStep s = PlanEngineStep({2500, 2500}, {0, 2500}, {2500, 2500}, {100, 2500});
  EXPECT_EQ(s.kind, EngineStepKind::kFinish);
  expectTime(s.time, 0, 2500);
  s = PlanEngineStep({9000, 2500}, {500, 2500}, {2500, 2500}, {100, 2500});
  EXPECT_EQ(s.kind, EngineStepKind::kFinish);
}

TEST(PlanEngineStep, theEndIsTheStartPlusTheDuration) {
  // Work area from 2 s for 1 s: 2.96 s is inside it, 3 s is not.
  EXPECT_EQ(PlanEngineStep({7400, 2500}, {5000, 2500}, {2500, 2500}, {100, 2500}).kind,
            EngineStepKind::kAdvance);
  EXPECT_EQ(PlanEngineStep({7500, 2500}, {5000, 2500}, {2500, 2500}, {100, 2500}).kind,
            EngineStepKind::kFinish);
}

TEST(PlanEngineStep, timesOfOtherScalesAreComparedAtTheLargerWorkAreaScale) {
  // Start at scale 25, duration at scale 2500: everything moves to 2500.
  EngineStep s = PlanEngineStep({1, 25}, {0, 25}, {2500, 2500}, {1, 25});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 200, 2500);
  // The current time at a finer scale than both: it is truncated to the larger of the two.
  s = PlanEngineStep({2499999, 2500000}, {0, 25}, {25, 25}, {1, 25});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 25, 25);
  // The larger scale decides, whichever of the two carries it.
  s = PlanEngineStep({0, 1}, {0, 600}, {1, 1}, {1, 24});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 25, 600);
}

TEST(PlanEngineStep, aFrameThatTruncatesToNothingStillStepsOneUnit) {
  // Work area at scale 1 (whole seconds), frames of 1/25 s: the frame is 0 units there.
  EngineStep s = PlanEngineStep({0, 1}, {0, 1}, {1, 1}, {1, 25});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, 1, 1);
  EXPECT_EQ(PlanEngineStep(s.time, {0, 1}, {1, 1}, {1, 25}).kind, EngineStepKind::kFinish);
  // A negative frame would walk backwards for ever.
  s = PlanEngineStep({3, 10}, {0, 10}, {10, 10}, {-2, 10});
  expectTime(s.time, 4, 10);
}

TEST(PlanEngineStep, aTimeWithoutAScaleWaits) {
  const A_Time ok{0, 25};
  const A_Time span{25, 25};
  const A_Time frame{1, 25};
  EXPECT_EQ(PlanEngineStep({0, 0}, ok, span, frame).kind, EngineStepKind::kWait);
  EXPECT_EQ(PlanEngineStep(ok, {0, 0}, span, frame).kind, EngineStepKind::kWait);
  EXPECT_EQ(PlanEngineStep(ok, ok, {25, 0}, frame).kind, EngineStepKind::kWait);
  EXPECT_EQ(PlanEngineStep(ok, ok, span, {1, 0}).kind, EngineStepKind::kWait);
}

TEST(PlanEngineStep, theTopOfTheRangeEndsTheCycleInsteadOfOverflowing) {
  // Start 2^30 and duration 1.5 x 2^30: their sum does not fit an A_long. The current time is
  // the largest float below 2^31, so one frame more leaves the range.
  const A_Time start{1073741824, 1};
  const A_Time span{1610612736, 1};
  EngineStep s = PlanEngineStep({2147483520, 1}, start, span, {1000, 1});
  EXPECT_EQ(s.kind, EngineStepKind::kAdvance);
  expectTime(s.time, kMax, 1);
  EXPECT_EQ(PlanEngineStep(s.time, start, span, {1000, 1}).kind, EngineStepKind::kFinish);
}

TEST(PlanEngineStep, nFramesOfWorkAreaTakeExactlyNSteps) {
  for (A_long frames : {1, 2, 25, 250}) {
    A_Time now{0, 2500};
    int steps = 0;
    while (PlanEngineStep(now, {0, 2500}, {frames * 100, 2500}, {100, 2500}).kind ==
           EngineStepKind::kAdvance) {
      now = PlanEngineStep(now, {0, 2500}, {frames * 100, 2500}, {100, 2500}).time;
      ASSERT_LE(++steps, frames);
    }
    EXPECT_EQ(steps, frames);
  }
}

}  // namespace
