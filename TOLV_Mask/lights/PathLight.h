// The path light: a point light of zero intensity keyed through the composition's duration, one key
// per mask row in use, whose layer id "Sweep index" holds for the render to follow.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// What the creation of the path light finds out, for the keying and the depth check of the same
// call.
struct PathLight {
  bool created = false;  // the light was created during this call
  AEGP_LayerH layer = nullptr;
  A_long width = 0, height = 0;  // of the composition
  A_Time span = {0, 1};          // the composition's duration minus one frame
  double firstDepth = 0;         // depth of row 1, the reference of the depth check
  bool depthDiffers = false;     // a keyed row lies at another depth than row 1
};

// "Create 3D light and use as path " changed: checked, the light is created and its id stored in
// "Sweep index"; unchecked, the light "Sweep index" names is deleted (only if that layer is a
// light) and "Sweep index" becomes -1.
void PathLightStep(const ChangeContext& c, PathLight& light);

// Keys row i (1 <= i <= rowsInUse) of a light created in this call at the centre of the
// composition and the row's depth.
void KeyPathLightRow(const ChangeContext& c, PathLight& light, A_long i, A_long rowsInUse);

// A light created in this call whose rows all share one depth (or that has no row) cannot make a
// path: the user is told, the light is deleted and the checkbox unchecked.
void PathLightDepthCheck(const ChangeContext& c, const PathLight& light);

constexpr const A_char* kNoDepthAlert =
    "alert('The shape you created has no Z depth\\nPlease set Z parameters before creating a light "
    "path');";
