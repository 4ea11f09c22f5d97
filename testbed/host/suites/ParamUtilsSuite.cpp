// "PF Param Utils Suite" version 3: an effect changing how one of its controls is shown.
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// The host takes the UI flags and the flags of the record given; the value is not touched. Every
// call is logged, so that what an effect published can be read back.
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
  param.flags = defP->flags;
  Host::current().log().paramUi.push_back({effect->layer ? effect->layer->name : std::string(),
                                           effectIndex(*effect), param_index, defP->ui_flags,
                                           defP->flags});
  return PF_Err_NONE;
}

const PF_ParamUtilsSuite3 kParamUtils3 = {PF_UpdateParamUI};

}  // namespace

void registerParamUtilsSuites(SuiteTable& table) {
  table.add(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3, &kParamUtils3);
}

}  // namespace tb
