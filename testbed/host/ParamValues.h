// Per-instance parameter values: what an effect holds when it is applied, and the parameter array
// the host passes with an instance's commands.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/Model.h"

namespace tb {

// Gives a newly applied effect its module's parameters, each value at its default: sliders,
// float sliders, angles, checkboxes, popups and colours hold their default; a point holds its
// default percentage turned into layer pixels (16.16 fixed); a path holds no mask (id 0); a layer
// parameter whose default is PF_LayerDefault_MYSELF holds the effect's own layer, any other none.
// Index 0 is the input layer, the effect's own layer. No dynamic stream flags are set.
void initEffectParams(Effect& effect);

// What a layer parameter's value carries for a layer: its first 32-bit word is the layer's id
// (never 0, the host numbers layers from 1), or 0 for no layer.
void setLayerValue(PF_ParamDef& param, const Layer* layer);

// Pointers into effect.params, index for index: for tests that hand a plug-in the project's own
// records, as no host command does.
std::vector<PF_ParamDef*> paramArray(Effect& effect);

// Sets a layer parameter's value to the layer of that id (0: none).
void setLayerIdValue(PF_ParamDef& param, AEGP_LayerIDVal id);

// A point parameter's value as a render at reduced resolution sees it: layer pixels divided by the
// downsample factors. Other parameters are left as they are.
void downsamplePoint(PF_ParamDef& param, A_long dx, A_long dy);

// The parameter array for a command on the effect: copies of its parameters with their values at
// `seconds` of the layer's time, index for index, so that what a plug-in writes into them never
// reaches the project.
class ParamCopies {
 public:
  ParamCopies(const Effect& effect, double seconds);
  ParamCopies(const ParamCopies&) = delete;
  ParamCopies& operator=(const ParamCopies&) = delete;
  PF_ParamDef** array() { return pointers_.data(); }
  PF_ParamDef& operator[](size_t index) { return defs_[index]; }

 private:
  std::vector<PF_ParamDef> defs_;
  std::vector<PF_ParamDef*> pointers_;
};

}  // namespace tb
