// Registering an effect's controls at PF_Cmd_PARAMS_SETUP, one call per control.
//
// Every control is appended (insert position -1) from a cleared record with its disk id. Once an
// add fails nothing more is built or added, and that error is the result.
#pragma once

#include <string>

#include "AE_Effect.h"
#include "common/HostStatus.h"

class ParamAdder {
 public:
  explicit ParamAdder(PF_InData* in_data) : in_data_(in_data), status_(in_data) {}

  PF_Err err() const { return status_.err(); }

  void Slider(const std::string& name, PF_ParamValue valid_min, PF_ParamValue valid_max,
              PF_ParamValue slider_min, PF_ParamValue slider_max, PF_ParamValue dflt,
              PF_ParamFlags flags, A_long id);

  // Four decimal places and curve tolerance 0.05, as every float slider of the effects has.
  void FloatSlider(const std::string& name, PF_FpShort valid_min, PF_FpShort valid_max,
                   PF_FpShort slider_min, PF_FpShort slider_max, PF_FpShort dflt,
                   A_short display_flags, PF_ParamFlags flags, A_long id);

  // Value and default 0 degrees.
  void Angle(const std::string& name, PF_ParamFlags flags, A_long id);

  // The label stays in the caller's memory; the host copies the text.
  void Checkbox(const std::string& name, const A_char* label, PF_Boolean dflt, PF_ParamFlags flags,
                A_long id);

  // items holds the item texts separated by "|"; dflt is 1-based.
  void Popup(const std::string& name, const A_char* items, A_short dflt, PF_ParamFlags flags,
             A_long id);

  // No default path.
  void Path(const std::string& name, PF_ParamFlags flags, A_long id);

  void Layer(const std::string& name, A_long dflt, PF_ParamFlags flags, A_long id);

  void Color(const std::string& name, PF_Pixel dflt, PF_ParamFlags flags, A_long id);

  // The default is a percentage of the layer in 16.16 fixed point; bounds are not restricted.
  void Point(const std::string& name, A_long x_percent, A_long y_percent, PF_ParamFlags flags,
             A_long id);

  void GroupStart(const std::string& name, PF_ParamFlags flags, A_long id);
  void GroupEnd(A_long id);

 private:
  bool Begin(PF_ParamDef& def, PF_ParamType type, const std::string& name, PF_ParamFlags flags,
             A_long id);
  void CopyName(PF_ParamDef& def, const std::string& name);
  void Add(PF_ParamDef& def);

  PF_InData* in_data_;
  HostStatus status_;
};
