#include "testbed/host/ParamRegistry.h"

#include <cstring>
#include <string>

namespace tb {

namespace {

bool knownType(PF_ParamType type) {
  switch (type) {
    case PF_Param_LAYER:
    case PF_Param_SLIDER:
    case PF_Param_ANGLE:
    case PF_Param_CHECKBOX:
    case PF_Param_COLOR:
    case PF_Param_POINT:
    case PF_Param_POPUP:
    case PF_Param_FLOAT_SLIDER:
    case PF_Param_PATH:
    case PF_Param_GROUP_START:
    case PF_Param_GROUP_END:
      return true;
    default:
      return false;
  }
}

int itemCount(const std::string& items) {
  int count = 1;
  for (char c : items) {
    if (c == '|')
      ++count;
  }
  return count;
}

int openGroups(const Module& module) {
  int depth = 0;
  for (const PF_ParamDef& def : module.paramDefs) {
    if (def.param_type == PF_Param_GROUP_START)
      ++depth;
    else if (def.param_type == PF_Param_GROUP_END)
      --depth;
  }
  return depth;
}

class Checker {
 public:
  Checker(Module& module, size_t index) : module_(module), index_(index) {}

  void expect(bool ok, const std::string& what) {
    if (!ok)
      module_.paramProblems.push_back("param " + std::to_string(index_) + ": " + what);
  }

  template <class T>
  void ranges(T valid_min, T valid_max, T slider_min, T slider_max, T dflt) {
    expect(valid_min <= valid_max, "valid range is empty");
    expect(valid_min <= slider_min && slider_max <= valid_max && slider_min <= slider_max,
           "slider range is not inside the valid range");
    expect(valid_min <= dflt && dflt <= valid_max, "default is outside the valid range");
  }

 private:
  Module& module_;
  size_t index_;
};

// Keeps a copy of a text the module passed; null stands for no text.
const A_char* keepText(Module& module, const A_char* text) {
  module.paramTexts.emplace_back(text ? text : "");
  return module.paramTexts.back().c_str();
}

void checkName(Checker& check, PF_ParamDef& stored) {
  bool terminated = std::memchr(stored.name, '\0', sizeof stored.name) != nullptr;
  check.expect(terminated, "name not terminated inside its 32-byte field");
  if (!terminated)
    stored.name[sizeof stored.name - 1] = '\0';
}

PF_Err storeTypeFields(Module& module, Checker& check, PF_ParamDef& stored) {
  switch (stored.param_type) {
    case PF_Param_SLIDER: {
      const PF_SliderDef& s = stored.u.sd;
      check.ranges(s.valid_min, s.valid_max, s.slider_min, s.slider_max, s.dephault);
      break;
    }
    case PF_Param_FLOAT_SLIDER: {
      const PF_FloatSliderDef& f = stored.u.fs_d;
      check.ranges(f.valid_min, f.valid_max, f.slider_min, f.slider_max, f.dephault);
      break;
    }
    case PF_Param_POPUP: {
      if (!stored.u.pd.u.namesptr)
        return PF_Err_BAD_CALLBACK_PARAM;
      stored.u.pd.u.namesptr = keepText(module, stored.u.pd.u.namesptr);
      int items = itemCount(stored.u.pd.u.namesptr);
      check.expect(stored.u.pd.num_choices == items,
                   "num_choices " + std::to_string(stored.u.pd.num_choices) + " but " +
                       std::to_string(items) + " items");
      check.expect(stored.u.pd.dephault >= 1 && stored.u.pd.dephault <= stored.u.pd.num_choices,
                   "default item outside 1..num_choices");
      break;
    }
    case PF_Param_CHECKBOX:
      stored.u.bd.u.nameptr = keepText(module, stored.u.bd.u.nameptr);
      break;
    case PF_Param_LAYER:
      check.expect(stored.u.ld.dephault == PF_LayerDefault_NONE ||
                       stored.u.ld.dephault == PF_LayerDefault_MYSELF,
                   "layer default is neither NONE nor MYSELF");
      break;
    case PF_Param_GROUP_END:
      check.expect(openGroups(module) > 0, "group end without a group start");
      break;
    default:
      break;
  }
  return PF_Err_NONE;
}

}  // namespace

void beginParamsSetup(Module& module) {
  module.paramDefs.clear();
  module.paramTexts.clear();
  module.paramProblems.clear();
  PF_ParamDef input{};
  input.param_type = PF_Param_LAYER;
  module.paramDefs.push_back(input);
}

PF_Err registerParam(Module& module, PF_ParamIndex index, const PF_ParamDef* def) {
  if (!def)
    return PF_Err_BAD_CALLBACK_PARAM;
  if (index != -1 && index != static_cast<PF_ParamIndex>(module.paramDefs.size()))
    return PF_Err_INVALID_INDEX;
  if (!knownType(def->param_type))
    return PF_Err_UNRECOGNIZED_PARAM_TYPE;
  PF_ParamDef stored = *def;
  Checker check(module, module.paramDefs.size());
  checkName(check, stored);
  if (PF_Err err = storeTypeFields(module, check, stored))
    return err;
  module.paramDefs.push_back(stored);
  return PF_Err_NONE;
}

void endParamsSetup(Module& module) {
  if (openGroups(module) != 0)
    module.paramProblems.push_back("a group is still open at the end of the list");
  const A_long added = static_cast<A_long>(module.paramDefs.size());
  if (module.paramsSetupErr == PF_Err_NONE && module.numParams != added) {
    module.paramProblems.push_back("num_params " + std::to_string(module.numParams) +
                                   " differs from the " + std::to_string(added) +
                                   " parameters added");
  }
}

}  // namespace tb
