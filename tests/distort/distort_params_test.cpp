// The distort effect's parameter list is a contract with saved projects: `tolv-testbed inspect`
// must print exactly these 41 rows and the count, the degree sign as the single byte 0xB0.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "testbed/cli/ModuleReport.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamRegistry.h"
#include "tests/support/Modules.h"

namespace {

const char* const kExpected =
    "param 1: POINT \"Anchor X/Y\" default=50%,50% flags=NONE id=1\n"
    "param 2: FLOAT_SLIDER \"Anchor Z\" valid=-30000..30000 slider=-1000..1000 default=0 "
    "precision=4 display=NONE curve_tolerance=0.05 flags=NONE id=2\n"
    "param 3: POINT \"Position X/Y\" default=50%,50% flags=NONE id=3\n"
    "param 4: FLOAT_SLIDER \"Position Z\" valid=-30000..30000 slider=-1000..1000 default=0 "
    "precision=4 display=NONE curve_tolerance=0.05 flags=NONE id=4\n"
    "param 5: FLOAT_SLIDER \"Scale X\" valid=-1000..1000 slider=-100..100 default=100 precision=4 "
    "display=NONE curve_tolerance=0.05 flags=NONE id=5\n"
    "param 6: FLOAT_SLIDER \"Scale Y\" valid=-1000..1000 slider=-100..100 default=100 precision=4 "
    "display=NONE curve_tolerance=0.05 flags=NONE id=6\n"
    "param 7: FLOAT_SLIDER \"Scale Z\" valid=-1000..1000 slider=-100..100 default=100 precision=4 "
    "display=NONE curve_tolerance=0.05 flags=NONE id=7\n"
    "param 8: ANGLE \"Rotation X\" default=0 flags=START_COLLAPSED id=8\n"
    "param 9: ANGLE \"Rotation Y\" default=0 flags=START_COLLAPSED id=9\n"
    "param 10: ANGLE \"Rotation Z\" default=0 flags=START_COLLAPSED id=10\n"
    "param 11: GROUP_START \"Twist\" flags=START_COLLAPSED id=11\n"
    "param 12: ANGLE \"Twist left X\" default=0 flags=START_COLLAPSED id=12\n"
    "param 13: ANGLE \"Twist right X\" default=0 flags=START_COLLAPSED id=13\n"
    "param 14: FLOAT_SLIDER \"Twist X range\" valid=0..1000 slider=0..100 default=100 precision=4 "
    "display=PERCENT curve_tolerance=0.05 flags=START_COLLAPSED id=14\n"
    "param 15: ANGLE \"Twist up Y\" default=0 flags=START_COLLAPSED id=15\n"
    "param 16: ANGLE \"Twist down Y\" default=0 flags=START_COLLAPSED id=16\n"
    "param 17: FLOAT_SLIDER \"Twist Y range\" valid=0..1000 slider=0..100 default=100 precision=4 "
    "display=PERCENT curve_tolerance=0.05 flags=START_COLLAPSED id=17\n"
    "param 18: ANGLE \"Twist front Z\" default=0 flags=START_COLLAPSED id=18\n"
    "param 19: ANGLE \"Twist back Z\" default=0 flags=START_COLLAPSED id=19\n"
    "param 20: FLOAT_SLIDER \"Twist Z range\" valid=0..1000 slider=0..100 default=100 precision=4 "
    "display=PERCENT curve_tolerance=0.05 flags=START_COLLAPSED id=20\n"
    "param 21: GROUP_END \"\" flags=NONE id=21\n"
    "param 22: GROUP_START \"Bend\" flags=START_COLLAPSED id=22\n"
    "param 23: ANGLE \"Horizontal\" default=0 flags=START_COLLAPSED id=23\n"
    "param 24: ANGLE \"Vertical\" default=0 flags=START_COLLAPSED id=24\n"
    "param 25: GROUP_END \"\" flags=NONE id=25\n"
    "param 26: GROUP_START \"Explode\" flags=START_COLLAPSED id=26\n"
    "param 27: FLOAT_SLIDER \"Explode\" valid=-1e+06..1e+06 slider=0..1000 default=0 precision=4 "
    "display=NONE curve_tolerance=0.05 flags=START_COLLAPSED id=27\n"
    "param 28: POPUP \"Explode mode:\" items=2 default=1 \"Follow normal|From center\" flags=NONE "
    "id=28\n"
    "param 29: GROUP_END \"\" flags=NONE id=29\n"
    "param 30: POPUP \"Mesh\" items=2 default=1 \"On|Off\" flags=CANNOT_TIME_VARY id=30\n"
    "param 31: CHECKBOX \"Exclude mesh n\\xB0 1\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=31\n"
    "param 32: CHECKBOX \"Exclude mesh n\\xB0 2\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=32\n"
    "param 33: CHECKBOX \"Exclude mesh n\\xB0 3\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=33\n"
    "param 34: CHECKBOX \"Exclude mesh n\\xB0 4\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=34\n"
    "param 35: CHECKBOX \"Exclude mesh n\\xB0 5\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=35\n"
    "param 36: CHECKBOX \"Exclude mesh n\\xB0 6\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=36\n"
    "param 37: CHECKBOX \"Exclude mesh n\\xB0 7\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=37\n"
    "param 38: CHECKBOX \"Exclude mesh n\\xB0 8\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=38\n"
    "param 39: CHECKBOX \"Exclude mesh n\\xB0 9\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=39\n"
    "param 40: CHECKBOX \"Exclude mesh n\\xB0 10\" default=0 label=\"\" flags=CANNOT_TIME_VARY "
    "id=40\n"
    "param 41: POPUP \"Launch:\" items=4 default=1 \"None|TOLV Renderer|TOLV Distorter|Morvane\" "
    "flags=SUPERVISE|CANNOT_TIME_VARY id=41\n"
    "params: 42\n";

TEST(DistortParams, inspectPrintsTheFortyOneRowsAndTheCount) {
  std::ostringstream out, err;
  ASSERT_EQ(tb::inspectModule(tbtest::modulePath("TOLV_Distort"), out, err), 0);
  const std::string text = out.str();
  const size_t first = text.find("param 1:");
  const size_t end = text.find("params: 42\n");
  ASSERT_NE(first, std::string::npos) << text;
  ASSERT_NE(end, std::string::npos) << text;
  EXPECT_EQ(text.substr(first, end + 11 - first), kExpected);
}

TEST(DistortParams, theExclusionNamesCarryTheSingleByteDegreeSign) {
  tb::Host host;
  tb::Module& module = host.load(tbtest::modulePath("TOLV_Distort"));
  ASSERT_EQ(module.paramDefs.size(), 42u);
  EXPECT_STREQ(module.paramDefs[31].name, "Exclude mesh n\xB0 1");
  EXPECT_STREQ(module.paramDefs[40].name, "Exclude mesh n\xB0 10");
  EXPECT_EQ(module.numParams, 42);
}

// Runs PARAMS_SETUP again on the loaded module, as a fresh list.
tb::CommandResult RerunParamsSetup(tb::Host& host, tb::Module& module) {
  tb::beginParamsSetup(module);
  tb::CommandResult r = host.send({&module, nullptr}, PF_Cmd_PARAMS_SETUP);
  module.numParams = r.out.num_params;
  return r;
}

TEST(DistortParams, eachFailedAddEndsTheSetupWithItsError) {
  tb::Host host;
  tb::Module& module = host.load(tbtest::modulePath("TOLV_Distort"));
  const tb::CommandResult clean = RerunParamsSetup(host, module);
  ASSERT_EQ(clean.err, PF_Err_NONE);
  ASSERT_EQ(clean.report.calls.size(), 41u);
  for (int i = 0; i < 41; ++i) {
    SCOPED_TRACE("failing add " + std::to_string(i));
    tb::FaultPlan plan;
    plan.failCall = i;
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host.ledger().arm(plan);
    const tb::CommandResult r = RerunParamsSetup(host, module);
    host.ledger().disarm();
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(r.report.calls.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(module.paramDefs.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(module.numParams, 0);
    EXPECT_TRUE(r.report.held.empty());
  }
}

}  // namespace
