#include "TOLV_Mask/Params.h"

#include <string>

#include "AE_EffectCB.h"
#include "common/HostStatus.h"

namespace {

constexpr PF_ParamFlags kSupervise = PF_ParamFlag_SUPERVISE;
constexpr PF_ParamFlags kSuperviseStatic = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags kSuperviseCollapsed = PF_ParamFlag_SUPERVISE | PF_ParamFlag_START_COLLAPSED;

constexpr PF_FpShort kCurveTolerance = 0.05f;

// Appends controls one at a time, each built from a cleared record. Once an add fails nothing
// more is built or added, and that error is the result.
class ParamAdder {
 public:
  explicit ParamAdder(PF_InData* in_data) : in_data_(in_data), status_(in_data) {}

  PF_Err err() const { return status_.err(); }

  void Slider(const std::string& name, PF_ParamValue valid_min, PF_ParamValue valid_max,
              PF_ParamValue slider_min, PF_ParamValue slider_max, PF_ParamValue dflt,
              PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_SLIDER, name, flags, id))
      return;
    def.u.sd.valid_min = valid_min;
    def.u.sd.valid_max = valid_max;
    def.u.sd.slider_min = slider_min;
    def.u.sd.slider_max = slider_max;
    def.u.sd.value = def.u.sd.dephault = dflt;
    Add(def);
  }

  void FloatSlider(const std::string& name, PF_FpShort valid_min, PF_FpShort valid_max,
                   PF_FpShort slider_min, PF_FpShort slider_max, PF_FpShort dflt,
                   A_short display_flags, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_FLOAT_SLIDER, name, flags, id))
      return;
    def.u.fs_d.valid_min = valid_min;
    def.u.fs_d.valid_max = valid_max;
    def.u.fs_d.slider_min = slider_min;
    def.u.fs_d.slider_max = slider_max;
    def.u.fs_d.value = dflt;
    def.u.fs_d.dephault = dflt;
    def.u.fs_d.precision = PF_Precision_TEN_THOUSANDTHS;
    def.u.fs_d.display_flags = display_flags;
    def.u.fs_d.curve_tolerance = kCurveTolerance;
    Add(def);
  }

  // Value and default 0 degrees: the cleared record already says so.
  void Angle(const std::string& name, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (Begin(def, PF_Param_ANGLE, name, flags, id))
      Add(def);
  }

  // The label stays in this module's memory; the host copies the text.
  void Checkbox(const std::string& name, const A_char* label, PF_Boolean dflt, PF_ParamFlags flags,
                A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_CHECKBOX, name, flags, id))
      return;
    def.u.bd.value = dflt;
    def.u.bd.dephault = dflt;
    def.u.bd.u.nameptr = label;
    Add(def);
  }

  // items holds the item texts separated by "|"; dflt is 1-based.
  void Popup(const std::string& name, const A_char* items, A_short dflt, PF_ParamFlags flags,
             A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_POPUP, name, flags, id))
      return;
    def.u.pd.num_choices = ItemCount(items);
    def.u.pd.dephault = dflt;
    def.u.pd.value = dflt;
    def.u.pd.u.namesptr = items;
    Add(def);
  }

  // No default path: the cleared record already says so.
  void Path(const std::string& name, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (Begin(def, PF_Param_PATH, name, flags, id))
      Add(def);
  }

  void Layer(const std::string& name, A_long dflt, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_LAYER, name, flags, id))
      return;
    def.u.ld.dephault = dflt;
    Add(def);
  }

  void Color(const std::string& name, PF_Pixel dflt, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_COLOR, name, flags, id))
      return;
    def.u.cd.value = dflt;
    def.u.cd.dephault = dflt;
    Add(def);
  }

  // The default is a percentage of the layer in 16.16 fixed point; bounds are not restricted.
  void Point(const std::string& name, A_long x_percent, A_long y_percent, PF_ParamFlags flags,
             A_long id) {
    PF_ParamDef def;
    if (!Begin(def, PF_Param_POINT, name, flags, id))
      return;
    def.u.td.x_dephault = x_percent << 16;
    def.u.td.y_dephault = y_percent << 16;
    Add(def);
  }

  void GroupStart(const std::string& name, PF_ParamFlags flags, A_long id) {
    PF_ParamDef def;
    if (Begin(def, PF_Param_GROUP_START, name, flags, id))
      Add(def);
  }

  void GroupEnd(A_long id) {
    PF_ParamDef def;
    if (Begin(def, PF_Param_GROUP_END, std::string(), PF_ParamFlag_NONE, id))
      Add(def);
  }

 private:
  static A_short ItemCount(const A_char* items) {
    A_short count = 1;
    for (const A_char* c = items; *c; ++c) {
      if (*c == '|')
        ++count;
    }
    return count;
  }

  // Clears the record and sets what every type has; false once an earlier add has failed.
  bool Begin(PF_ParamDef& def, PF_ParamType type, const std::string& name, PF_ParamFlags flags,
             A_long id) {
    if (!status_.ok())
      return false;
    def = PF_ParamDef{};
    def.param_type = type;
    CopyName(def, name);
    def.flags = flags;
    def.uu.id = id;
    return true;
  }

  // The name field holds 31 characters and the terminator; a longer text is cut to fit before the
  // host's strcpy sees it, so nothing is ever written past the field.
  void CopyName(PF_ParamDef& def, const std::string& name) {
    const std::string fitted = name.substr(0, sizeof def.name - 1);
    PF_InData* in_data = in_data_;
    PF_STRCPY(def.name, fitted.c_str());
  }

  void Add(PF_ParamDef& def) {
    status_.call([&] { return PF_ADD_PARAM(in_data_, -1, &def); });
  }

  PF_InData* in_data_;
  HostStatus status_;
};

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
