// The controls the first half of the mask pipeline reads, taken once from the parameter array and
// brought into their registered ranges: an expression or a damaged project can hand over any value.
#pragma once

#include "AE_Effect.h"
#include "TOLV_Mask/render/RenderState.h"

namespace mask {

// "Reference mask sampling" items.
enum ReferenceSampling : A_long {
  kShapeAtZeroTime = 1,
  kShapeAtCurrentTime = 2,
  kReferenceMaskAtCurrentTime = 3,
};

// The depth and rotations of one mask row; angles in the host's degrees × 65536.
struct MaskGroup {
  double z = 0;
  float rotationX = 0, rotationY = 0, rotationZ = 0;
};

struct RenderParams {
  A_long xSubdivide = 1;  // 1 … 50
  A_long ySubdivide = 1;  // 1 … 99
  PF_PathID maskPath[kMaxMasks] = {};
  PF_PathID referencePath[kMaxMasks] = {};
  MaskGroup groups[kMaxMasks];
  bool createLight = false;
  bool orientOnPath = false;
  A_long sweepIndex = -1;  // the path light's layer id, −1 for none
  A_long referenceSampling = kShapeAtZeroTime;
  bool cubic = false;
  float tension = 0;  // "Interpolation tension" as a fraction
};

RenderParams ReadRenderParams(PF_ParamDef* const params[]);

}  // namespace mask
