#include "testbed/cli/ParamLines.h"

#include <cstdarg>
#include <cstdio>

#include "testbed/cli/ModuleReport.h"

namespace tb {

namespace {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* fmt, ...) {
  char buf[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, args);
  va_end(args);
  return buf;
}

std::string quoted(const char* text) {
  return "\"" + cEscape(text ? text : "") + "\"";
}

const char* typeName(PF_ParamType type) {
  switch (type) {
    case PF_Param_LAYER:
      return "LAYER";
    case PF_Param_SLIDER:
      return "SLIDER";
    case PF_Param_ANGLE:
      return "ANGLE";
    case PF_Param_CHECKBOX:
      return "CHECKBOX";
    case PF_Param_COLOR:
      return "COLOR";
    case PF_Param_POINT:
      return "POINT";
    case PF_Param_POPUP:
      return "POPUP";
    case PF_Param_FLOAT_SLIDER:
      return "FLOAT_SLIDER";
    case PF_Param_PATH:
      return "PATH";
    case PF_Param_GROUP_START:
      return "GROUP_START";
    case PF_Param_GROUP_END:
      return "GROUP_END";
    default:
      return "UNKNOWN";
  }
}

double fixedValue(PF_Fixed value) {
  return value / 65536.0;
}

std::string typeFields(const PF_ParamDef& def) {
  const PF_ParamDefUnion& u = def.u;
  switch (def.param_type) {
    case PF_Param_SLIDER:
      return format(" valid=%d..%d slider=%d..%d default=%d", u.sd.valid_min, u.sd.valid_max,
                    u.sd.slider_min, u.sd.slider_max, u.sd.dephault);
    case PF_Param_FLOAT_SLIDER:
      return format(
          " valid=%g..%g slider=%g..%g default=%g precision=%d display=%s "
          "curve_tolerance=%g",
          u.fs_d.valid_min, u.fs_d.valid_max, u.fs_d.slider_min, u.fs_d.slider_max, u.fs_d.dephault,
          u.fs_d.precision,
          u.fs_d.display_flags == PF_ValueDisplayFlag_PERCENT ? "PERCENT"
          : u.fs_d.display_flags == PF_ValueDisplayFlag_NONE  ? "NONE"
                                                              : "OTHER",
          u.fs_d.curve_tolerance);
    case PF_Param_ANGLE:
      return format(" default=%g", fixedValue(u.ad.dephault));
    case PF_Param_CHECKBOX:
      return format(" default=%d label=", u.bd.dephault) + quoted(u.bd.u.nameptr);
    case PF_Param_POPUP:
      return format(" items=%d default=%d ", u.pd.num_choices, u.pd.dephault) +
             quoted(u.pd.u.namesptr);
    case PF_Param_PATH:
      return format(" default=%d", u.path_d.dephault);
    case PF_Param_LAYER:
      return u.ld.dephault == PF_LayerDefault_MYSELF ? " default=MYSELF"
             : u.ld.dephault == PF_LayerDefault_NONE ? " default=NONE"
                                                     : format(" default=%d", u.ld.dephault);
    case PF_Param_COLOR:
      return format(" default=%d,%d,%d,%d", u.cd.dephault.red, u.cd.dephault.green,
                    u.cd.dephault.blue, u.cd.dephault.alpha);
    case PF_Param_POINT:
      return format(" default=%g%%,%g%%", fixedValue(u.td.x_dephault), fixedValue(u.td.y_dephault));
    default:
      return std::string();
  }
}

}  // namespace

std::string paramFlagNames(PF_ParamFlags flags) {
  static const struct {
    PF_ParamFlags bit;
    const char* name;
  } kNames[] = {
      {PF_ParamFlag_SUPERVISE, "SUPERVISE"},
      {PF_ParamFlag_CANNOT_TIME_VARY, "CANNOT_TIME_VARY"},
      {PF_ParamFlag_START_COLLAPSED, "START_COLLAPSED"},
      {PF_ParamFlag_CANNOT_INTERP, "CANNOT_INTERP"},
  };
  std::string names;
  for (const auto& n : kNames) {
    if (flags & n.bit) {
      names += names.empty() ? "" : "|";
      names += n.name;
      flags &= ~n.bit;
    }
  }
  if (flags)
    names += (names.empty() ? "" : "|") + format("0x%X", static_cast<unsigned>(flags));
  return names.empty() ? "NONE" : names;
}

std::string describeParam(int index, const PF_ParamDef& def) {
  return format("param %d: %s ", index, typeName(def.param_type)) + quoted(def.name) +
         typeFields(def) + " flags=" + paramFlagNames(def.flags) + format(" id=%d", def.uu.id);
}

}  // namespace tb
