// The mask effect's render through the testbed: scenes built from JSON text, the real modules
// loaded, renders sent to one effect or to the whole composition, records read back.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace masktest {

class MaskRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_.load(tbtest::modulePath("TOLV_Mask"));
    host_.load(tbtest::modulePath("TOLV_Engine"));
    host_.load(tbtest::modulePath("TOLV_Distort"));
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
  }

  // A composition of 640 × 360 with the given layers (JSON list text).
  tb::Comp& build(const std::string& layers) {
    const std::string text =
        R"({"comp": {"name": "Main", "width": 640, "height": 360, "fps": 25, "duration": 10},
            "layers": )" +
        layers + "}";
    spec_ = tb::scene::parseScene(text, "test.json");
    comp_ = &tb::scene::buildScene(host_, spec_);
    return *comp_;
  }

  tb::Layer& layer(size_t i = 0) { return *comp_->layers.at(i); }
  tb::Effect& effect(size_t i, size_t layerIndex = 0) { return *layer(layerIndex).effects.at(i); }

  std::vector<tb::LayerFrame> renderAll() { return host_.renderComp(*comp_, {0, 25}); }

  // The effect's parameters as a render gets them, the layer's pixels as its input.
  struct RenderParams {
    std::vector<PF_ParamDef> defs;
    std::vector<PF_ParamDef*> array;
  };
  RenderParams paramsFor(tb::Effect& e) {
    RenderParams p;
    p.defs = e.params;
    const A_long dflt = p.defs[0].u.ld.dephault;
    p.defs[0].u.ld = e.layer->pixels->def();
    p.defs[0].u.ld.dephault = dflt;
    for (PF_ParamDef& d : p.defs)
      p.array.push_back(&d);
    return p;
  }

  // Sends PF_Cmd_RENDER to one effect, its output a world of the layer's size filled with fill.
  tb::CommandResult renderEffect(tb::Effect& e, std::optional<tb::World>* output = nullptr,
                                 PF_Pixel fill = {1, 2, 3, 4}) {
    RenderParams p = paramsFor(e);
    std::optional<tb::World> out = tb::World::blank(e.layer->width, e.layer->height);
    for (A_long y = 0; y < out->height(); ++y)
      for (A_long x = 0; x < out->width(); ++x)
        out->at(x, y) = fill;
    tb::CommandResult r =
        host_.send({e.module, &e}, PF_Cmd_RENDER, p.array.data(), &out->def(), nullptr);
    if (output)
      *output = std::move(out);
    return r;
  }

  const MeshSlot& record(size_t i) const {
    return *reinterpret_cast<const MeshSlot*>(host_.engineRecords().at(i).bytes.data());
  }
  static const MeshSlot& slotOf(const tb::Effect& e) {
    return *static_cast<const MeshSlot*>(*e.sequenceData);
  }
  std::vector<unsigned char> slotBytes(const tb::Effect& e) {
    const auto* p = static_cast<const unsigned char*>(*e.sequenceData);
    return std::vector<unsigned char>(p, p + host_.handleSize(e.sequenceData));
  }

  tb::Host host_;
  tb::scene::SceneSpec spec_;
  tb::Comp* comp_ = nullptr;
};

// A square mask of the given corners, as scene JSON.
inline std::string squareMask(const std::string& name, int left, int top, int right, int bottom) {
  auto p = [](int x, int y) { return "[" + std::to_string(x) + ", " + std::to_string(y) + "]"; };
  return R"({"name": ")" + name + R"(", "closed": true, "points": [)" + p(left, top) + ", " +
         p(right, top) + ", " + p(right, bottom) + ", " + p(left, bottom) + "]}";
}

}  // namespace masktest
