// The catch ladder at the entry point, and suites released while an exception unwinds.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "Util/AEGP_SuiteHandler.h"
#include "common/EntryGuard.h"
#include "testbed/host/Host.h"

namespace {

TEST(EntryGuard, passesHandlerResultsThrough) {
  EXPECT_EQ(GuardedCommand([] { return PF_Err(PF_Err_NONE); }), PF_Err_NONE);
  EXPECT_EQ(GuardedCommand([] { return PF_Err(PF_Interrupt_CANCEL); }), PF_Interrupt_CANCEL);
}

TEST(EntryGuard, integerExceptionsBecomeBadCallbackParam) {
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw PF_Err(PF_Err_OUT_OF_MEMORY); }), 516);
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw 7L; }), 516);
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw 7u; }), 516);
}

TEST(EntryGuard, otherExceptionsNeverEscape) {
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw std::bad_alloc(); }), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw std::runtime_error("x"); }),
            PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(GuardedCommand([]() -> PF_Err { throw "text"; }), PF_Err_INTERNAL_STRUCT_DAMAGED);
}

TEST(EntryGuard, suiteAcquiredBeforeTheThrowIsReleasedExactlyOnce) {
  tb::Host host;
  tb::FaultPlan plan;
  plan.withheld.insert({"AEGP Stream Suite", 9});
  host.ledger().arm(plan);
  host.ledger().beginCommand("handler");
  PF_Err err = GuardedCommand([]() -> PF_Err {
    AEGP_SuiteHandler suites(tb::basicSuite());
    suites.UtilitySuite11();
    suites.StreamSuite9();
    return PF_Err_NONE;
  });
  tb::CommandReport report = host.ledger().endCommand();
  EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(report.held.empty()) << report.held.front();
  EXPECT_TRUE(host.ledger().violations().empty());
}

}  // namespace
