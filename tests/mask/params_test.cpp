// The mask effect's parameter list is a contract with saved projects: every row is checked here
// against the table, as data, through the module loaded by the testbed host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TOLV_Mask/Params.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamRegistry.h"
#include "tests/mask/MaskModule.h"

namespace {

constexpr PF_ParamFlags S = PF_ParamFlag_SUPERVISE;
constexpr PF_ParamFlags SC = PF_ParamFlag_SUPERVISE | PF_ParamFlag_START_COLLAPSED;
constexpr PF_ParamFlags ST = PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY;
constexpr PF_ParamFlags C = PF_ParamFlag_START_COLLAPSED;
constexpr PF_ParamFlags N = PF_ParamFlag_NONE;

// One row of the table. Ranges and default are read per type: sliders and float sliders use all
// five numbers; popups, checkboxes and layers the default; text is the popup items or the label.
struct Row {
  Row(int i, PF_ParamType ty, std::string n, PF_ParamFlags f, A_long k, double vmin = 0,
      double vmax = 0, double smin = 0, double smax = 0, double d = 0, std::string tx = "",
      A_short disp = PF_ValueDisplayFlag_NONE)
      : index(i),
        type(ty),
        name(std::move(n)),
        flags(f),
        id(k),
        validMin(vmin),
        validMax(vmax),
        sliderMin(smin),
        sliderMax(smax),
        dflt(d),
        text(std::move(tx)),
        display(disp) {}
  int index;
  PF_ParamType type;
  std::string name;
  PF_ParamFlags flags;
  A_long id;
  double validMin, validMax, sliderMin, sliderMax, dflt;
  std::string text;
  A_short display;
};

std::vector<Row> expectedTable() {
  std::vector<Row> t = {
      {1, PF_Param_SLIDER, "X subdivide", S, 1, 1, 50, 1, 50, 10},
      {2, PF_Param_SLIDER, "Y subdivide", S, 2, 1, 99, 1, 99, 10},
      {3, PF_Param_GROUP_START, "Masks", N, 3},
  };
  for (int i = 1; i <= 10; ++i) {
    const std::string n = std::to_string(i);
    t.push_back({5 * i - 1, PF_Param_PATH, "Mask " + n, S, 0});
    t.push_back(
        {5 * i, PF_Param_FLOAT_SLIDER, "Z " + n, S, 5 * i - 1, -30000, 30000, -1000, 1000, 0});
    t.push_back({5 * i + 1, PF_Param_ANGLE, "Rotation X " + n, SC, 5 * i});
    t.push_back({5 * i + 2, PF_Param_ANGLE, "Rotation Y " + n, SC, 5 * i + 1});
    t.push_back({5 * i + 3, PF_Param_ANGLE, "Rotation Z " + n, SC, 5 * i + 2});
  }
  // The table's name ends in a blank that makes it 32 characters; the field holds 31.
  t.push_back(
      {54, PF_Param_CHECKBOX, "Create 3D light and use as path", ST, 54, 0, 0, 0, 0, 0, ""});
  t.push_back({55, PF_Param_CHECKBOX, "Orient on path ", N, 55, 0, 0, 0, 0, 0, ""});
  t.push_back({56, PF_Param_SLIDER, "Sweep index", N, 56, -100000, 100000, 0, 1, -1});
  t.push_back({57, PF_Param_GROUP_END, "", N, 57});
  t.push_back({58, PF_Param_GROUP_START, "Reference masks", N, 58});
  for (int i = 1; i <= 10; ++i)
    t.push_back({58 + i, PF_Param_PATH, "Reference mask " + std::to_string(i), S, 0});
  const std::vector<Row> rest = {
      {69, PF_Param_GROUP_END, "", N, 69},
      {70, PF_Param_GROUP_START, "Terrain", C, 70},
      {71, PF_Param_LAYER, "Source", S, 71, 0, 0, 0, 0, PF_LayerDefault_NONE},
      {72, PF_Param_FLOAT_SLIDER, "Z displace", S, 72, -30000, 30000, -1000, 1000, 0},
      {73, PF_Param_POPUP, "Terrain mode", S, 73, 0, 0, 0, 0, 1,
       "After mask warping|Before mask warping"},
      {74, PF_Param_POPUP, "Z range", S, 74, 0, 0, 0, 0, 1, "-1 to 1|0 to 1"},
      {75, PF_Param_GROUP_END, "", N, 75},
      {76, PF_Param_GROUP_START, "Bump", C, 76},
      {77, PF_Param_LAYER, "Source", S, 77, 0, 0, 0, 0, PF_LayerDefault_NONE},
      {78, PF_Param_FLOAT_SLIDER, "Bump amount", S, 78, 0, 100, 0, 100, 100, "",
       PF_ValueDisplayFlag_PERCENT},
      {79, PF_Param_GROUP_END, "", N, 79},
      {80, PF_Param_POPUP, "Reference mask sampling", S, 80, 0, 0, 0, 0, 1,
       "Mask shape at zero time|Mask shape at current time|Reference mask at current time"},
      {81, PF_Param_CHECKBOX, "Use cubic interpolation", S, 81, 0, 0, 0, 0, 0,
       "requires 4 masks minimum"},
      {82, PF_Param_FLOAT_SLIDER, "Interpolation tension", S, 82, -1000, 1000, -100, 100, 0, "",
       PF_ValueDisplayFlag_PERCENT},
      {83, PF_Param_POPUP, "Fill masks", S, 83, 0, 0, 0, 0, 1, "None|Last|First|Last & first"},
      {84, PF_Param_CHECKBOX, "Closed shape", S, 84, 0, 0, 0, 0, 1, ""},
      {85, PF_Param_LAYER, "Source", S, 85, 0, 0, 0, 0, PF_LayerDefault_MYSELF},
      {86, PF_Param_COLOR, "Color", S, 86},
      {87, PF_Param_FLOAT_SLIDER, "Alpha", S, 87, 0, 100, 0, 100, 100, "",
       PF_ValueDisplayFlag_PERCENT},
      {88, PF_Param_CHECKBOX, "Inherit source geometry", S, 88, 0, 0, 0, 0, 0, ""},
      {89, PF_Param_POPUP, "Mesh", ST, 89, 0, 0, 0, 0, 1, "On|Off"},
      {90, PF_Param_POPUP, "Launch:", ST, 90, 0, 0, 0, 0, 1,
       "None|TOLV Renderer|TOLV Distorter|Morvane"},
      {91, PF_Param_POPUP, "Update:", ST, 91, 0, 0, 0, 0, 1, "...|Force update"},
      {92, PF_Param_SLIDER, "Update slider", ST, 92, 0, 100000, 0, 100000, 0},
      {93, PF_Param_CHECKBOX, "Renderer", ST, 93, 0, 0, 0, 0, 0, ""},
      {94, PF_Param_POPUP, "Mask filling algorithm:", N, 94, 0, 0, 0, 0, 3,
       "Ear (no self-intersecting mask)|Bouding box center|Ear + Bounding box center"},
      {95, PF_Param_POINT, "Anchor", N, 95},
      {96, PF_Param_POINT, "Displace", N, 96},
  };
  t.insert(t.end(), rest.begin(), rest.end());
  return t;
}

int itemCount(const std::string& items) {
  return 1 + static_cast<int>(std::count(items.begin(), items.end(), '|'));
}

// One host with the module loaded, shared by the table tests.
class MaskParams : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    host_ = new tb::Host;
    module_ = &host_->load(maskModulePath());
  }
  static void TearDownTestSuite() {
    delete host_;
    host_ = nullptr;
  }
  static tb::Host* host_;
  static tb::Module* module_;
};
tb::Host* MaskParams::host_ = nullptr;
tb::Module* MaskParams::module_ = nullptr;

class MaskParamRow : public MaskParams, public ::testing::WithParamInterface<Row> {};

TEST_P(MaskParamRow, MatchesTheTable) {
  const Row& row = GetParam();
  ASSERT_LT(static_cast<size_t>(row.index), module_->paramDefs.size());
  const PF_ParamDef& def = module_->paramDefs[row.index];
  EXPECT_EQ(def.param_type, row.type);
  EXPECT_EQ(std::string(def.name), row.name);
  EXPECT_EQ(def.flags, row.flags);
  EXPECT_EQ(def.uu.id, row.id);
  EXPECT_EQ(def.ui_flags, 0);
  EXPECT_EQ(def.ui_width, 0);
  EXPECT_EQ(def.ui_height, 0);
  const PF_ParamDefUnion& u = def.u;
  switch (row.type) {
    case PF_Param_SLIDER:
      EXPECT_EQ(u.sd.valid_min, row.validMin);
      EXPECT_EQ(u.sd.valid_max, row.validMax);
      EXPECT_EQ(u.sd.slider_min, row.sliderMin);
      EXPECT_EQ(u.sd.slider_max, row.sliderMax);
      EXPECT_EQ(u.sd.dephault, row.dflt);
      EXPECT_EQ(u.sd.value, row.dflt);
      break;
    case PF_Param_FLOAT_SLIDER:
      EXPECT_EQ(u.fs_d.valid_min, static_cast<float>(row.validMin));
      EXPECT_EQ(u.fs_d.valid_max, static_cast<float>(row.validMax));
      EXPECT_EQ(u.fs_d.slider_min, static_cast<float>(row.sliderMin));
      EXPECT_EQ(u.fs_d.slider_max, static_cast<float>(row.sliderMax));
      EXPECT_EQ(u.fs_d.dephault, static_cast<float>(row.dflt));
      EXPECT_EQ(u.fs_d.value, row.dflt);
      EXPECT_EQ(u.fs_d.precision, 4);
      EXPECT_EQ(u.fs_d.display_flags, row.display);
      EXPECT_EQ(u.fs_d.curve_tolerance, 0.05f);
      EXPECT_EQ(u.fs_d.fs_flags, 0);
      break;
    case PF_Param_ANGLE:
      EXPECT_EQ(u.ad.value, 0);
      EXPECT_EQ(u.ad.dephault, 0);
      break;
    case PF_Param_CHECKBOX:
      EXPECT_EQ(u.bd.dephault, row.dflt);
      EXPECT_EQ(u.bd.value, row.dflt);
      EXPECT_EQ(std::string(u.bd.u.nameptr), row.text);
      break;
    case PF_Param_POPUP:
      EXPECT_EQ(u.pd.num_choices, itemCount(row.text));
      EXPECT_EQ(u.pd.dephault, row.dflt);
      EXPECT_EQ(u.pd.value, row.dflt);
      EXPECT_EQ(std::string(u.pd.u.namesptr), row.text);
      break;
    case PF_Param_PATH:
      EXPECT_EQ(u.path_d.dephault, 0);
      EXPECT_EQ(u.path_d.path_id, 0);
      break;
    case PF_Param_LAYER:
      EXPECT_EQ(u.ld.dephault, row.dflt);
      break;
    case PF_Param_COLOR:
      for (const PF_Pixel& p : {u.cd.dephault, u.cd.value}) {
        EXPECT_EQ(p.alpha, 255);
        EXPECT_EQ(p.red, 255);
        EXPECT_EQ(p.green, 255);
        EXPECT_EQ(p.blue, 255);
      }
      break;
    case PF_Param_POINT:
      EXPECT_EQ(u.td.x_dephault, 50 << 16);
      EXPECT_EQ(u.td.y_dephault, 50 << 16);
      EXPECT_EQ(u.td.restrict_bounds, 0);
      break;
    default:
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, MaskParamRow, ::testing::ValuesIn(expectedTable()),
                         [](const ::testing::TestParamInfo<Row>& info) {
                           return "param" + std::to_string(info.param.index);
                         });

TEST_F(MaskParams, RegistersNinetySixRowsAndDeclaresNinetySeven) {
  EXPECT_EQ(module_->paramsSetupErr, PF_Err_NONE);
  EXPECT_EQ(module_->numParams, 97);
  EXPECT_EQ(module_->paramDefs.size(), 97u);
  EXPECT_EQ(expectedTable().size(), 96u);
  EXPECT_TRUE(module_->paramProblems.empty()) << module_->paramProblems.front();
}

TEST_F(MaskParams, EveryNameEndsInsideItsField) {
  for (const PF_ParamDef& def : module_->paramDefs)
    EXPECT_NE(std::memchr(def.name, '\0', sizeof def.name), nullptr);
  EXPECT_EQ(std::strlen(module_->paramDefs[MASK_CREATE_LIGHT].name), 31u);
}

TEST_F(MaskParams, IdRuleHolds) {
  for (int i = 1; i < MASK_NUM_PARAMS; ++i) {
    const PF_ParamDef& def = module_->paramDefs[i];
    if (def.param_type == PF_Param_PATH)
      EXPECT_EQ(def.uu.id, 0) << i;
    else if (i >= 4 && i <= 53)
      EXPECT_EQ(def.uu.id, i - 1) << i;
    else
      EXPECT_EQ(def.uu.id, i) << i;
    EXPECT_NE(def.uu.id, 53) << i;
  }
}

TEST_F(MaskParams, IndexHelpersPointAtTheirRows) {
  EXPECT_EQ(MaskPathParam(10), 49);
  EXPECT_EQ(MaskDepthParam(10), 50);
  EXPECT_EQ(MaskRotationZParam(10), 53);
  EXPECT_EQ(ReferenceMaskParam(10), 68);
  EXPECT_EQ(std::string(module_->paramDefs[MaskPathParam(10)].name), "Mask 10");
  EXPECT_EQ(std::string(module_->paramDefs[ReferenceMaskParam(10)].name), "Reference mask 10");
}

TEST_F(MaskParams, MasksGroupHoldsFiftyThreeRows) {
  EXPECT_EQ(module_->paramDefs[MASK_MASKS_GROUP].param_type, PF_Param_GROUP_START);
  EXPECT_EQ(module_->paramDefs[MASK_MASKS_GROUP_END].param_type, PF_Param_GROUP_END);
  EXPECT_EQ(MASK_MASKS_GROUP_END - MASK_MASKS_GROUP - 1, 53);
}

// Runs PARAMS_SETUP again on the loaded module, as a fresh list.
tb::CommandResult rerunParamsSetup(tb::Host& host, tb::Module& module) {
  tb::beginParamsSetup(module);
  tb::CommandResult r = host.send({&module, nullptr}, PF_Cmd_PARAMS_SETUP);
  module.numParams = r.out.num_params;
  return r;
}

TEST_F(MaskParams, EachFailingAddEndsTheCommandWithItsError) {
  tb::CommandResult clean = rerunParamsSetup(*host_, *module_);
  ASSERT_EQ(clean.err, PF_Err_NONE);
  const int calls = static_cast<int>(clean.report.calls.size());
  ASSERT_EQ(calls, 96);
  for (int i = 0; i < calls; ++i) {
    tb::FaultPlan plan;
    plan.failCall = i;
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_->ledger().arm(plan);
    tb::CommandResult r = rerunParamsSetup(*host_, *module_);
    host_->ledger().disarm();
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY) << i;
    EXPECT_EQ(r.report.calls.size(), static_cast<size_t>(i + 1)) << i;
    EXPECT_EQ(module_->paramDefs.size(), static_cast<size_t>(i + 1)) << i;
    EXPECT_EQ(module_->numParams, 0) << i;
    EXPECT_TRUE(r.report.held.empty()) << i;
  }
  rerunParamsSetup(*host_, *module_);
}

}  // namespace
