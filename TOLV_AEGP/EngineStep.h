// What one idle call of an engine update cycle does, decided from the times the host reports.
// Pure: no host calls.
#pragma once

#include "A.h"

enum class EngineStepKind {
  kWait,     // a time without a scale: nothing can be compared; the request stays
  kAdvance,  // before the end of the work area: one frame on, command 2372
  kFinish,   // at or past the end: the update script, then time 0
};

struct EngineStep {
  EngineStepKind kind;
  A_Time time;  // kAdvance: the new current time; kFinish: time 0; both at the larger scale
};

// `value` x `to` / `from` in single precision, truncated toward zero and saturated to the range of
// A_long. `from` must not be 0.
A_long RescaleTimeValue(A_long value, A_u_long from, A_u_long to);

// The step for the current time `now`, the work area (`start`, `span`) and the composition's
// frame duration `frame`. All four are compared at the larger of the work area's two scales.
EngineStep PlanEngineStep(A_Time now, A_Time start, A_Time span, A_Time frame);
