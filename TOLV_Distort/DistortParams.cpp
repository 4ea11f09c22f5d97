#include "TOLV_Distort/DistortParams.h"

#include <string>

#include "common/ParamAdder.h"

namespace {

constexpr PF_ParamFlags kCollapsed = PF_ParamFlag_START_COLLAPSED;
constexpr PF_ParamFlags kStatic = PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags kSuperviseStatic = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;

void AddTransform(ParamAdder& add) {
  add.Point("Anchor X/Y", 50, 50, PF_ParamFlag_NONE, DISTORT_ANCHOR_XY);
  add.FloatSlider("Anchor Z", -30000, 30000, -1000, 1000, 0, PF_ValueDisplayFlag_NONE,
                  PF_ParamFlag_NONE, DISTORT_ANCHOR_Z);
  add.Point("Position X/Y", 50, 50, PF_ParamFlag_NONE, DISTORT_POSITION_XY);
  add.FloatSlider("Position Z", -30000, 30000, -1000, 1000, 0, PF_ValueDisplayFlag_NONE,
                  PF_ParamFlag_NONE, DISTORT_POSITION_Z);
  add.FloatSlider("Scale X", -1000, 1000, -100, 100, 100, PF_ValueDisplayFlag_NONE,
                  PF_ParamFlag_NONE, DISTORT_SCALE_X);
  add.FloatSlider("Scale Y", -1000, 1000, -100, 100, 100, PF_ValueDisplayFlag_NONE,
                  PF_ParamFlag_NONE, DISTORT_SCALE_Y);
  add.FloatSlider("Scale Z", -1000, 1000, -100, 100, 100, PF_ValueDisplayFlag_NONE,
                  PF_ParamFlag_NONE, DISTORT_SCALE_Z);
  add.Angle("Rotation X", kCollapsed, DISTORT_ROTATION_X);
  add.Angle("Rotation Y", kCollapsed, DISTORT_ROTATION_Y);
  add.Angle("Rotation Z", kCollapsed, DISTORT_ROTATION_Z);
}

void AddTwistRange(ParamAdder& add, const char* name, A_long id) {
  add.FloatSlider(name, 0, 1000, 0, 100, 100, PF_ValueDisplayFlag_PERCENT, kCollapsed, id);
}

void AddTwist(ParamAdder& add) {
  add.GroupStart("Twist", kCollapsed, DISTORT_TWIST_GROUP);
  add.Angle("Twist left X", kCollapsed, DISTORT_TWIST_LEFT_X);
  add.Angle("Twist right X", kCollapsed, DISTORT_TWIST_RIGHT_X);
  AddTwistRange(add, "Twist X range", DISTORT_TWIST_X_RANGE);
  add.Angle("Twist up Y", kCollapsed, DISTORT_TWIST_UP_Y);
  add.Angle("Twist down Y", kCollapsed, DISTORT_TWIST_DOWN_Y);
  AddTwistRange(add, "Twist Y range", DISTORT_TWIST_Y_RANGE);
  add.Angle("Twist front Z", kCollapsed, DISTORT_TWIST_FRONT_Z);
  add.Angle("Twist back Z", kCollapsed, DISTORT_TWIST_BACK_Z);
  AddTwistRange(add, "Twist Z range", DISTORT_TWIST_Z_RANGE);
  add.GroupEnd(DISTORT_TWIST_GROUP_END);
}

void AddBendAndExplode(ParamAdder& add) {
  add.GroupStart("Bend", kCollapsed, DISTORT_BEND_GROUP);
  add.Angle("Horizontal", kCollapsed, DISTORT_BEND_HORIZONTAL);
  add.Angle("Vertical", kCollapsed, DISTORT_BEND_VERTICAL);
  add.GroupEnd(DISTORT_BEND_GROUP_END);
  add.GroupStart("Explode", kCollapsed, DISTORT_EXPLODE_GROUP);
  add.FloatSlider("Explode", -1000000, 1000000, 0, 1000, 0, PF_ValueDisplayFlag_NONE, kCollapsed,
                  DISTORT_EXPLODE);
  add.Popup("Explode mode:", "Follow normal|From center", EXPLODE_FOLLOW_NORMAL, PF_ParamFlag_NONE,
            DISTORT_EXPLODE_MODE);
  add.GroupEnd(DISTORT_EXPLODE_GROUP_END);
}

// The degree sign is the single byte 0xB0 of the Windows ANSI code page, as projects and the
// host's name field expect it.
std::string ExcludeName(int slot) {
  return std::string("Exclude mesh n\xB0 ") + std::to_string(slot + 1);
}

void AddMeshControls(ParamAdder& add) {
  add.Popup("Mesh", "On|Off", MESH_ON, kStatic, DISTORT_MESH);
  for (int k = 0; k < 10; ++k)
    add.Checkbox(ExcludeName(k), "", false, kStatic, DistortExcludeParam(k));
  add.Popup("Launch:", "None|TOLV Renderer|TOLV Distorter|Morvane", LAUNCH_NONE, kSuperviseStatic,
            DISTORT_LAUNCH);
}

}  // namespace

PF_Err DistortParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  ParamAdder add(in_data);
  AddTransform(add);
  AddTwist(add);
  AddBendAndExplode(add);
  AddMeshControls(add);
  if (add.err() == PF_Err_NONE)
    out_data->num_params = DISTORT_NUM_PARAMS;
  return add.err();
}
