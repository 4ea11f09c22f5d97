// The distort effect in the testbed: the exchange fixture's modules, a layer with pixels, and the
// commands the host sends a distort effect with its parameter array.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "TOLV_Distort/DistortParams.h"
#include "testbed/host/ParamValues.h"
#include "testbed/world/World.h"
#include "tests/exchange/ExchangeFixture.h"

namespace dtest {

struct RenderRun {
  tb::CommandResult result;
  std::optional<tb::World> input;
  std::optional<tb::World> output;
  bool copied() const {
    for (A_long y = 0; y < input->height(); ++y) {
      for (A_long x = 0; x < input->width(); ++x) {
        const PF_Pixel a = input->at(x, y);
        const PF_Pixel b = output->at(x, y);
        if (a.alpha != b.alpha || a.red != b.red || a.green != b.green || a.blue != b.blue)
          return false;
      }
    }
    return true;
  }
};

class DistortTest : public extest::ExchangeTest {
 protected:
  // PF_Cmd_RENDER with the effect's parameters and a small input image.
  RenderRun render(tb::Effect& effect) {
    RenderRun run;
    run.input = tb::makeSolid(8, 4, PF_Pixel{255, 10, 20, 30});
    run.output = tb::World::blank(8, 4);
    std::vector<PF_ParamDef> params = effect.params;
    params[0].u.ld = run.input->def();
    std::vector<PF_ParamDef*> array;
    for (PF_ParamDef& p : params)
      array.push_back(&p);
    run.result = host_.send({effect.module, &effect}, PF_Cmd_RENDER, array.data(),
                            &run.output->def(), nullptr);
    return run;
  }

  tb::CommandResult updateUi(tb::Effect& effect) {
    std::vector<PF_ParamDef*> params = tb::paramArray(effect);
    return host_.send({effect.module, &effect}, PF_Cmd_UPDATE_PARAMS_UI, params.data());
  }

  // The user picks an item of "Launch:".
  tb::CommandResult launch(tb::Effect& effect, A_long item,
                           PF_ParamIndex changed = DISTORT_LAUNCH) {
    effect.params[DISTORT_LAUNCH].u.pd.value = item;
    std::vector<PF_ParamDef*> params = tb::paramArray(effect);
    PF_UserChangedParamExtra extra{changed};
    return host_.send({effect.module, &effect}, PF_Cmd_USER_CHANGED_PARAM, params.data(), nullptr,
                      &extra);
  }

  static const MeshSlot& delivered(const tb::EngineRecord& r) {
    return *reinterpret_cast<const MeshSlot*>(r.bytes.data());
  }
};

}  // namespace dtest
