#include "common/ParamAdder.h"

#include "AE_EffectCB.h"

namespace {

constexpr PF_FpShort kCurveTolerance = 0.05f;

A_short ItemCount(const A_char* items) {
  A_short count = 1;
  for (const A_char* c = items; *c; ++c) {
    if (*c == '|')
      ++count;
  }
  return count;
}

}  // namespace

void ParamAdder::Slider(const std::string& name, PF_ParamValue valid_min, PF_ParamValue valid_max,
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

void ParamAdder::FloatSlider(const std::string& name, PF_FpShort valid_min, PF_FpShort valid_max,
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

void ParamAdder::Angle(const std::string& name, PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (Begin(def, PF_Param_ANGLE, name, flags, id))
    Add(def);
}

void ParamAdder::Checkbox(const std::string& name, const A_char* label, PF_Boolean dflt,
                          PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (!Begin(def, PF_Param_CHECKBOX, name, flags, id))
    return;
  def.u.bd.value = dflt;
  def.u.bd.dephault = dflt;
  def.u.bd.u.nameptr = label;
  Add(def);
}

void ParamAdder::Popup(const std::string& name, const A_char* items, A_short dflt,
                       PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (!Begin(def, PF_Param_POPUP, name, flags, id))
    return;
  def.u.pd.num_choices = ItemCount(items);
  def.u.pd.dephault = dflt;
  def.u.pd.value = dflt;
  def.u.pd.u.namesptr = items;
  Add(def);
}

void ParamAdder::Path(const std::string& name, PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (Begin(def, PF_Param_PATH, name, flags, id))
    Add(def);
}

void ParamAdder::Layer(const std::string& name, A_long dflt, PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (!Begin(def, PF_Param_LAYER, name, flags, id))
    return;
  def.u.ld.dephault = dflt;
  Add(def);
}

void ParamAdder::Color(const std::string& name, PF_Pixel dflt, PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (!Begin(def, PF_Param_COLOR, name, flags, id))
    return;
  def.u.cd.value = dflt;
  def.u.cd.dephault = dflt;
  Add(def);
}

void ParamAdder::Point(const std::string& name, A_long x_percent, A_long y_percent,
                       PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (!Begin(def, PF_Param_POINT, name, flags, id))
    return;
  def.u.td.x_dephault = x_percent << 16;
  def.u.td.y_dephault = y_percent << 16;
  Add(def);
}

void ParamAdder::GroupStart(const std::string& name, PF_ParamFlags flags, A_long id) {
  PF_ParamDef def;
  if (Begin(def, PF_Param_GROUP_START, name, flags, id))
    Add(def);
}

void ParamAdder::GroupEnd(A_long id) {
  PF_ParamDef def;
  if (Begin(def, PF_Param_GROUP_END, std::string(), PF_ParamFlag_NONE, id))
    Add(def);
}

// Clears the record and sets what every type has; false once an earlier add has failed.
bool ParamAdder::Begin(PF_ParamDef& def, PF_ParamType type, const std::string& name,
                       PF_ParamFlags flags, A_long id) {
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
void ParamAdder::CopyName(PF_ParamDef& def, const std::string& name) {
  const std::string fitted = name.substr(0, sizeof def.name - 1);
  PF_InData* in_data = in_data_;
  PF_STRCPY(def.name, fitted.c_str());
}

void ParamAdder::Add(PF_ParamDef& def) {
  status_.call([&] { return PF_ADD_PARAM(in_data_, -1, &def); });
}
