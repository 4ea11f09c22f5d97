// The distort effect's controls, addressed by these fixed indices everywhere: params[n] in the
// host's parameter array and effect stream index n in AEGP calls are the same n. Projects store
// the values by index and id, so neither may ever change.
#pragma once

#include "AE_Effect.h"

enum DistortParam {
  DISTORT_INPUT = 0,
  DISTORT_ANCHOR_XY = 1,
  DISTORT_ANCHOR_Z = 2,
  DISTORT_POSITION_XY = 3,
  DISTORT_POSITION_Z = 4,
  DISTORT_SCALE_X = 5,
  DISTORT_SCALE_Y = 6,
  DISTORT_SCALE_Z = 7,
  DISTORT_ROTATION_X = 8,
  DISTORT_ROTATION_Y = 9,
  DISTORT_ROTATION_Z = 10,
  DISTORT_TWIST_GROUP = 11,
  DISTORT_TWIST_LEFT_X = 12,
  DISTORT_TWIST_RIGHT_X = 13,
  DISTORT_TWIST_X_RANGE = 14,
  DISTORT_TWIST_UP_Y = 15,
  DISTORT_TWIST_DOWN_Y = 16,
  DISTORT_TWIST_Y_RANGE = 17,
  DISTORT_TWIST_FRONT_Z = 18,
  DISTORT_TWIST_BACK_Z = 19,
  DISTORT_TWIST_Z_RANGE = 20,
  DISTORT_TWIST_GROUP_END = 21,
  DISTORT_BEND_GROUP = 22,
  DISTORT_BEND_HORIZONTAL = 23,
  DISTORT_BEND_VERTICAL = 24,
  DISTORT_BEND_GROUP_END = 25,
  DISTORT_EXPLODE_GROUP = 26,
  DISTORT_EXPLODE = 27,
  DISTORT_EXPLODE_MODE = 28,
  DISTORT_EXPLODE_GROUP_END = 29,
  DISTORT_MESH = 30,
  DISTORT_EXCLUDE_FIRST = 31,  // "Exclude mesh n° 1", for slot 0; slot k is at 31 + k
  DISTORT_LAUNCH = 41,
  DISTORT_NUM_PARAMS = 42
};

// Items of the popups, 1-based as the host counts them.
enum { EXPLODE_FOLLOW_NORMAL = 1, EXPLODE_FROM_CENTER = 2 };
enum { MESH_ON = 1, MESH_OFF = 2 };
enum { LAUNCH_NONE = 1, LAUNCH_RENDERER = 2, LAUNCH_DISTORTER = 3, LAUNCH_MORVANE = 4 };

constexpr int DistortExcludeParam(int slot) {
  return DISTORT_EXCLUDE_FIRST + slot;
}
static_assert(DistortExcludeParam(9) + 1 == DISTORT_LAUNCH, "ten exclusion boxes");

// PF_Cmd_PARAMS_SETUP: registers the controls 1 .. 41 in index order and sets num_params to 42.
// The first failing add_param ends the command with its error.
PF_Err DistortParamsSetup(PF_InData* in_data, PF_OutData* out_data);
