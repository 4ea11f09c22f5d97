// `tolv-testbed inspect` applies one instance and reports its sequence setup.
#include <gtest/gtest.h>

#include <sstream>

#include "testbed/cli/ModuleReport.h"
#include "tests/support/Modules.h"

namespace {

TEST(InspectSequenceSetup, reportsTheDistortStoreSize) {
  std::ostringstream out, err;
  ASSERT_EQ(tb::inspectModule(tbtest::modulePath("TOLV_Distort"), out, err), 0);
  EXPECT_NE(out.str().find("\nsequence_setup: err=0 size=27200496 flat_sdata_size=27200496\n"),
            std::string::npos)
      << out.str();
}

}  // namespace
