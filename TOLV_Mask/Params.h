// The mask effect's controls. Every handler addresses them by these fixed indices: params[n] in the
// host's parameter array and effect stream index n in AEGP calls are the same n. Projects store
// the values by index and id, so neither may ever change.
#pragma once

#include "AE_Effect.h"

// Ten mask rows of five controls each follow "Masks"; ten reference masks follow their group.
constexpr int kMaskRows = 10;

enum MaskParam {
  MASK_INPUT = 0,
  MASK_X_SUBDIVIDE = 1,
  MASK_Y_SUBDIVIDE = 2,
  MASK_MASKS_GROUP = 3,
  MASK_ROWS_FIRST = 4,  // "Mask 1"; row i (1-based) starts at 5i - 1
  MASK_CREATE_LIGHT = 54,
  MASK_ORIENT_ON_PATH = 55,
  MASK_SWEEP_INDEX = 56,
  MASK_MASKS_GROUP_END = 57,
  MASK_REFERENCE_GROUP = 58,
  MASK_REFERENCE_FIRST = 59,  // "Reference mask 1"; mask i is at 58 + i
  MASK_REFERENCE_GROUP_END = 69,
  MASK_TERRAIN_GROUP = 70,
  MASK_TERRAIN_SOURCE = 71,
  MASK_Z_DISPLACE = 72,
  MASK_TERRAIN_MODE = 73,
  MASK_Z_RANGE = 74,
  MASK_TERRAIN_GROUP_END = 75,
  MASK_BUMP_GROUP = 76,
  MASK_BUMP_SOURCE = 77,
  MASK_BUMP_AMOUNT = 78,
  MASK_BUMP_GROUP_END = 79,
  MASK_REFERENCE_SAMPLING = 80,
  MASK_CUBIC = 81,
  MASK_TENSION = 82,
  MASK_FILL_MASKS = 83,
  MASK_CLOSED_SHAPE = 84,
  MASK_COLOR_SOURCE = 85,
  MASK_COLOR = 86,
  MASK_ALPHA = 87,
  MASK_INHERIT_GEOMETRY = 88,
  MASK_MESH = 89,
  MASK_LAUNCH = 90,
  MASK_UPDATE = 91,
  MASK_UPDATE_SLIDER = 92,
  MASK_RENDERER = 93,
  MASK_FILL_ALGORITHM = 94,
  MASK_ANCHOR = 95,
  MASK_DISPLACE = 96,
  MASK_NUM_PARAMS = 97
};

// The controls of mask row i, for i = 1 .. kMaskRows.
constexpr int MaskPathParam(int i) {
  return 5 * i - 1;
}
constexpr int MaskDepthParam(int i) {
  return 5 * i;
}
constexpr int MaskRotationXParam(int i) {
  return 5 * i + 1;
}
constexpr int MaskRotationYParam(int i) {
  return 5 * i + 2;
}
constexpr int MaskRotationZParam(int i) {
  return 5 * i + 3;
}
// Reference mask i, for i = 1 .. kMaskRows.
constexpr int ReferenceMaskParam(int i) {
  return 58 + i;
}

static_assert(MaskPathParam(1) == MASK_ROWS_FIRST, "first mask row");
static_assert(MaskRotationZParam(kMaskRows) + 1 == MASK_CREATE_LIGHT, "last mask row");
static_assert(ReferenceMaskParam(1) == MASK_REFERENCE_FIRST, "first reference mask");
static_assert(ReferenceMaskParam(kMaskRows) + 1 == MASK_REFERENCE_GROUP_END, "last reference");

// PF_Cmd_PARAMS_SETUP: registers the controls 1 .. 96 in index order and sets num_params to 97.
// The first failing add_param ends the command with its error; rows added before it stay.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data);
