// A testbed with the mask effect, the distort effect and the stand-in renderer loaded, one
// composition of 640 × 360 and a solid "Card" with three masks, and helpers that change the mask
// effect's controls as the user does.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TOLV_Mask/Params.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamValues.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace actest {

inline tb::Outline square(double left, double top, double size) {
  tb::Outline o;
  o.shape.closed = true;
  for (A_FloatPoint p : {A_FloatPoint{left, top}, A_FloatPoint{left + size, top},
                         A_FloatPoint{left + size, top + size}, A_FloatPoint{left, top + size}})
    o.shape.vertices.push_back({p, {0, 0}, {0, 0}});
  return o;
}

// The text of a script the host logged, whether the log keeps the text alone or with its outcome.
inline std::string scriptText(const std::string& text) {
  return text;
}
template <class ScriptRun>
std::string scriptText(const ScriptRun& run) {
  return run.text;
}

class ActionsTest : public ::testing::Test {
 protected:
  // A fresh copy of the mask module has rendered nothing since it was loaded.
  explicit ActionsTest(bool freshMaskModule = false) : freshMaskModule_(freshMaskModule) {}

  void SetUp() override {
    mask_ = &host_.load(tbtest::modulePath("TOLV_Mask"), freshMaskModule_);
    engine_ = &host_.load(tbtest::modulePath("TOLV_Engine"));
    distort_ = &host_.load(tbtest::modulePath("TOLV_Distort"));
    comp_ = &host_.addComp("Main", 640, 360);
    layer_ = &host_.addLayer(*comp_, "Card", 640, 360);
    layer_->pixels = tb::makeSolid(640, 360, PF_Pixel{255, 200, 100, 50});
    for (int m = 0; m < 3; ++m)
      maskIds_.push_back(
          host_.addMask(*layer_, "Mask " + std::to_string(m + 1), square(100 + 100 * m, 100, 80)));
    comp_->selected = {layer_->id};
  }
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), expectedViolations_);
  }

  tb::Effect& applyMask() { return host_.applyEffect(*layer_, *mask_); }
  tb::Effect& applyEngine() { return host_.applyEffect(*layer_, *engine_); }
  tb::Effect& applyDistort() { return host_.applyEffect(*layer_, *distort_); }
  // A mask effect whose first-change setup has run already, so that a change runs no script.
  tb::Effect& applySetUpMask() {
    tb::Effect& e = applyMask();
    e.params[MASK_RENDERER].u.bd.value = 1;
    return e;
  }

  static PF_ParamDef& param(tb::Effect& e, int index) { return e.params.at(index); }
  static bool hidden(const tb::Effect& e, int index) {
    return (e.streamFlags.at(index) & AEGP_DynStreamFlag_HIDDEN) != 0;
  }
  static void setHidden(tb::Effect& e, int index, bool on) {
    AEGP_DynStreamFlags& f = e.streamFlags.at(index);
    f = on ? (f | AEGP_DynStreamFlag_HIDDEN) : (f & ~AEGP_DynStreamFlag_HIDDEN);
  }
  void chooseLayer(tb::Effect& e, int index, const tb::Layer* layer) {
    tb::setLayerValue(e.params.at(index), layer);
    e.layerIds.at(index) = layer ? layer->id : 0;
  }
  // Mask rows 1 .. depths.size() choose the layer's masks in order, at the given depths.
  void useRows(tb::Effect& e, const std::vector<double>& depths) {
    for (size_t i = 0; i < depths.size(); ++i) {
      param(e, MaskPathParam(static_cast<int>(i) + 1)).u.path_d.path_id = maskIds_.at(i);
      param(e, MaskDepthParam(static_cast<int>(i) + 1)).u.fs_d.value = depths[i];
    }
  }

  // The user's change of a supervised control: USER_CHANGED_PARAM with the current values.
  tb::CommandResult changed(tb::Effect& e, int index) {
    std::vector<PF_ParamDef*> params = tb::paramArray(e);
    PF_UserChangedParamExtra extra{index};
    return host_.send({e.module, &e}, PF_Cmd_USER_CHANGED_PARAM, params.data(), nullptr, &extra);
  }
  tb::CommandResult updateUi(tb::Effect& e) {
    std::vector<PF_ParamDef*> params = tb::paramArray(e);
    return host_.send({e.module, &e}, PF_Cmd_UPDATE_PARAMS_UI, params.data());
  }

  // The texts of every script run so far, in order.
  std::vector<std::string> scripts() {
    std::vector<std::string> texts;
    for (const auto& run : host_.log().scripts)
      texts.push_back(scriptText(run));
    return texts;
  }

  tb::Layer* layerNamed(const std::string& name) const {
    for (const auto& l : comp_->layers)
      if (l->name == name)
        return l.get();
    return nullptr;
  }

  bool freshMaskModule_;
  // Violations a test provokes on purpose and leaves for the teardown to find.
  std::vector<std::string> expectedViolations_;
  tb::Host host_;
  tb::Module* mask_ = nullptr;
  tb::Module* engine_ = nullptr;
  tb::Module* distort_ = nullptr;
  tb::Comp* comp_ = nullptr;
  tb::Layer* layer_ = nullptr;
  std::vector<PF_PathID> maskIds_;
};

}  // namespace actest
