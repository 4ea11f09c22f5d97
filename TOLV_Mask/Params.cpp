#include "TOLV_Mask/Params.h"

#include <string>

#include "common/ParamAdder.h"

namespace {

constexpr PF_ParamFlags kSupervise = PF_ParamFlag_SUPERVISE;
constexpr PF_ParamFlags kSuperviseStatic = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags kSuperviseCollapsed = PF_ParamFlag_SUPERVISE | PF_ParamFlag_START_COLLAPSED;

void AddMaskRows(ParamAdder& add) {
  for (int i = 1; i <= kMaskRows; ++i) {
    const std::string n = std::to_string(i);
    add.Path("Mask " + n, kSupervise, 0);
    add.FloatSlider("Z " + n, -30000, 30000, -1000, 1000, 0, PF_ValueDisplayFlag_NONE, kSupervise,
                    MaskDepthParam(i) - 1);
    add.Angle("Rotation X " + n, kSuperviseCollapsed, MaskRotationXParam(i) - 1);
    add.Angle("Rotation Y " + n, kSuperviseCollapsed, MaskRotationYParam(i) - 1);
    add.Angle("Rotation Z " + n, kSuperviseCollapsed, MaskRotationZParam(i) - 1);
  }
}

void AddMasksGroup(ParamAdder& add) {
  add.GroupStart("Masks", PF_ParamFlag_NONE, MASK_MASKS_GROUP);
  AddMaskRows(add);
  add.Checkbox("Create 3D light and use as path ", "", false, kSuperviseStatic, MASK_CREATE_LIGHT);
  add.Checkbox("Orient on path ", "", false, PF_ParamFlag_NONE, MASK_ORIENT_ON_PATH);
  add.Slider("Sweep index", -100000, 100000, 0, 1, -1, PF_ParamFlag_NONE, MASK_SWEEP_INDEX);
  add.GroupEnd(MASK_MASKS_GROUP_END);
}

void AddReferenceGroup(ParamAdder& add) {
  add.GroupStart("Reference masks", PF_ParamFlag_NONE, MASK_REFERENCE_GROUP);
  for (int i = 1; i <= kMaskRows; ++i)
    add.Path("Reference mask " + std::to_string(i), kSupervise, 0);
  add.GroupEnd(MASK_REFERENCE_GROUP_END);
}

void AddTerrainGroup(ParamAdder& add) {
  add.GroupStart("Terrain", PF_ParamFlag_START_COLLAPSED, MASK_TERRAIN_GROUP);
  add.Layer("Source", PF_LayerDefault_NONE, kSupervise, MASK_TERRAIN_SOURCE);
  add.FloatSlider("Z displace", -30000, 30000, -1000, 1000, 0, PF_ValueDisplayFlag_NONE, kSupervise,
                  MASK_Z_DISPLACE);
  add.Popup("Terrain mode", "After mask warping|Before mask warping", 1, kSupervise,
            MASK_TERRAIN_MODE);
  add.Popup("Z range", "-1 to 1|0 to 1", 1, kSupervise, MASK_Z_RANGE);
  add.GroupEnd(MASK_TERRAIN_GROUP_END);
}

void AddBumpGroup(ParamAdder& add) {
  add.GroupStart("Bump", PF_ParamFlag_START_COLLAPSED, MASK_BUMP_GROUP);
  add.Layer("Source", PF_LayerDefault_NONE, kSupervise, MASK_BUMP_SOURCE);
  add.FloatSlider("Bump amount", 0, 100, 0, 100, 100, PF_ValueDisplayFlag_PERCENT, kSupervise,
                  MASK_BUMP_AMOUNT);
  add.GroupEnd(MASK_BUMP_GROUP_END);
}

void AddTopLevel(ParamAdder& add) {
  add.Popup("Reference mask sampling",
            "Mask shape at zero time|Mask shape at current time|Reference mask at current time", 1,
            kSupervise, MASK_REFERENCE_SAMPLING);
  add.Checkbox("Use cubic interpolation", "requires 4 masks minimum", false, kSupervise,
               MASK_CUBIC);
  add.FloatSlider("Interpolation tension", -1000, 1000, -100, 100, 0, PF_ValueDisplayFlag_PERCENT,
                  kSupervise, MASK_TENSION);
  add.Popup("Fill masks", "None|Last|First|Last & first", 1, kSupervise, MASK_FILL_MASKS);
  add.Checkbox("Closed shape", "", true, kSupervise, MASK_CLOSED_SHAPE);
  add.Layer("Source", PF_LayerDefault_MYSELF, kSupervise, MASK_COLOR_SOURCE);
  add.Color("Color", PF_Pixel{255, 255, 255, 255}, kSupervise, MASK_COLOR);
  add.FloatSlider("Alpha", 0, 100, 0, 100, 100, PF_ValueDisplayFlag_PERCENT, kSupervise,
                  MASK_ALPHA);
  add.Checkbox("Inherit source geometry", "", false, kSupervise, MASK_INHERIT_GEOMETRY);
  add.Popup("Mesh", "On|Off", 1, kSuperviseStatic, MASK_MESH);
  add.Popup("Launch:", "None|TOLV Renderer|TOLV Distorter|Morvane", 1, kSuperviseStatic,
            MASK_LAUNCH);
  add.Popup("Update:", "...|Force update", 1, kSuperviseStatic, MASK_UPDATE);
  add.Slider("Update slider", 0, 100000, 0, 100000, 0, kSuperviseStatic, MASK_UPDATE_SLIDER);
  add.Checkbox("Renderer", "", false, kSuperviseStatic, MASK_RENDERER);
  add.Popup("Mask filling algorithm:",
            "Ear (no self-intersecting mask)|Bouding box center|Ear + Bounding box center", 3,
            PF_ParamFlag_NONE, MASK_FILL_ALGORITHM);
  add.Point("Anchor", 50, 50, PF_ParamFlag_NONE, MASK_ANCHOR);
  add.Point("Displace", 50, 50, PF_ParamFlag_NONE, MASK_DISPLACE);
}

}  // namespace

PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data) {
  ParamAdder add(in_data);
  add.Slider("X subdivide", 1, 50, 1, 50, 10, kSupervise, MASK_X_SUBDIVIDE);
  add.Slider("Y subdivide", 1, 99, 1, 99, 10, kSupervise, MASK_Y_SUBDIVIDE);
  AddMasksGroup(add);
  AddReferenceGroup(add);
  AddTerrainGroup(add);
  AddBumpGroup(add);
  AddTopLevel(add);
  if (add.err() == PF_Err_NONE)
    out_data->num_params = MASK_NUM_PARAMS;
  return add.err();
}
