// A testbed with the mask effect applied to a 100 × 80 solid, and the first half of its render run
// the way Render runs it, inside a command of its own, so that the grid can be read back.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/render/HostLookups.h"
#include "TOLV_Mask/render/InitialState.h"
#include "TOLV_Mask/render/MaskGrid.h"
#include "TOLV_Mask/render/MaskSelection.h"
#include "Util/AEGP_SuiteHandler.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamValues.h"
#include "tests/mask/MaskModule.h"
#include "tests/support/Violations.h"

namespace rtest {

// A closed rectangle of four straight segments.
inline tb::Outline rectangle(double x0, double y0, double x1, double y1) {
  tb::Outline o;
  o.shape.closed = true;
  for (A_FloatPoint p : std::vector<A_FloatPoint>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
    o.shape.vertices.push_back({p, {0, 0}, {0, 0}});
  return o;
}

struct GridRun {
  mask::RenderState state;
  mask::LayerContext context;
  bool continued = true;  // false when the path light was gone
  PF_Err err = PF_Err_NONE;
  tb::CommandReport report;
};

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = &host_.load(maskModulePath());
    comp_ = &host_.addComp("Main", 100, 80);
    layer_ = &host_.addLayer(*comp_, "Card", 100, 80);
    layer_->pixels = tb::makeSolid(100, 80, PF_Pixel{255, 10, 20, 30});
    effect_ = &host_.applyEffect(*layer_, *module_);
  }
  // The host quits as the real one does, so that a handle a module never gave back fails the test.
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
  }

  PF_ParamDef& param(int index) { return effect_->params[index]; }
  // Names the mask in "Mask " row (1-based), with the row's depth.
  void useMask(int row, PF_PathID id, double z = 0) {
    param(MaskPathParam(row)).u.path_d.path_id = id;
    param(MaskDepthParam(row)).u.fs_d.value = z;
  }
  void setSubdivide(A_long x, A_long y) {
    param(MASK_X_SUBDIVIDE).u.sd.value = x;
    param(MASK_Y_SUBDIVIDE).u.sd.value = y;
  }
  void setTime(A_long value) { comp_->currentTime = {value, comp_->timeScale}; }

  GridRun buildGrid() {
    GridRun run;
    PF_InData in_data;
    host_.fillInData({module_, effect_}, &in_data);
    std::vector<PF_ParamDef*> params = tb::paramArray(*effect_);
    host_.ledger().beginCommand("grid");
    {
      AEGP_SuiteHandler suites(in_data.pica_basicP);
      HostStatus status(&in_data);
      run.state = mask::InitialRenderState(in_data);
      const mask::RenderParams settings = mask::ReadRenderParams(params.data());
      run.context = mask::LookUpLayer(status, suites);
      AEGP_LayerH light = nullptr;
      run.continued = mask::FindPathLight(status, suites, run.context, settings, &light);
      if (run.continued) {
        mask::SelectMasks(status, suites, run.context, settings, run.state);
        run.state.columns = mask::ColumnCount(run.state.maxSegments, settings.xSubdivide);
        mask::BuildGrid(status, suites, run.context, light, settings, run.state);
      }
      run.err = status.err();
    }
    run.report = host_.ledger().endCommand();
    return run;
  }

  tb::Host host_;
  tb::Module* module_ = nullptr;
  tb::Comp* comp_ = nullptr;
  tb::Layer* layer_ = nullptr;
  tb::Effect* effect_ = nullptr;
};

}  // namespace rtest
