#include "TOLV_Mask/actions/UpdateAction.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/actions/EffectStreams.h"
#include "TOLV_Mask/render/Render.h"

namespace {

constexpr A_long kUpdateSliderModulus = 100000;

}  // namespace

void UpdateAction(const ChangeContext& c) {
  c.status.call([&] { return c.suites.CommandSuite1()->AEGP_DoCommand(kUpdateCommand); });
  // The rebuild runs whatever happened before; its status never hides an earlier failure.
  c.status.fail(Render(c.in_data, c.out_data, c.params, &c.params[MASK_INPUT]->u.ld, 0));
  SetParamValue(c, MASK_UPDATE, 1);
  const A_long slider = c.params[MASK_UPDATE_SLIDER]->u.sd.value;
  SetParamValue(c, MASK_UPDATE_SLIDER, (slider + 1) % kUpdateSliderModulus);
  SetParamHidden(c, MASK_UPDATE_SLIDER, true);
}
