// "PF Param Utils Suite" version 3: an effect changing how one of its controls is shown.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// The host takes the UI flags of the record given (and its name, which it shows); the value is
// not touched.
PF_Err PF_UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP) {
  TB_ENTER();
  Effect* effect = effectOf(effect_ref);
  if (!effect || !defP || param_index < 1 ||
      static_cast<size_t>(param_index) >= effect->params.size())
    return PF_Err_BAD_CALLBACK_PARAM;
  PF_ParamDef& param = effect->params[param_index];
  if (defP->param_type != param.param_type)
    return PF_Err_BAD_CALLBACK_PARAM;
  param.ui_flags = defP->ui_flags;
  return PF_Err_NONE;
}

const PF_ParamUtilsSuite3 kParamUtils3 = {PF_UpdateParamUI};

}  // namespace

void registerParamUtilsSuites(SuiteTable& table) {
  table.add(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3, &kParamUtils3);
}

}  // namespace tb
