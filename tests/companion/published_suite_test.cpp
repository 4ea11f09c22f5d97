// "SP Suites Suite" in the testbed: a suite one module publishes is served to everyone by name and
// version through the basic suite, counted, withheld and faulted like the host's own.
#include <sstream>

#include "SPSuites.h"
#include "testbed/cli/ModuleReport.h"
#include "tests/companion/CompanionFixture.h"

namespace {

using comptest::CompanionTest;

const SPSuitesSuite& suitesSuite(tb::Host& host) {
  return *static_cast<const SPSuitesSuite*>(host.suites().find(kSPSuitesSuite, 2));
}

A_Err Nothing(A_Boolean) {
  return A_Err_NONE;
}
const AEGP_TOLVSuite1 kOther = {Nothing};

TEST_F(CompanionTest, thePublishedSuiteIsTheModulesTableForEveryCaller) {
  const SPBasicSuite* basic = tb::basicSuite();
  host_.ledger().beginCommand("caller");
  const void* first = nullptr;
  const void* second = nullptr;
  ASSERT_EQ(basic->AcquireSuite(kAEGPTOLVSuite, 1, &first), kSPNoError);
  ASSERT_EQ(basic->AcquireSuite(kAEGPTOLVSuite, 1, &second), kSPNoError);
  EXPECT_EQ(first, second);
  EXPECT_EQ(basic->ReleaseSuite(kAEGPTOLVSuite, 1), kSPNoError);
  tb::CommandReport report = host_.ledger().endCommand();
  ASSERT_EQ(report.held.size(), 1u);  // acquired twice, released once
  EXPECT_NE(report.held[0].find("\"AEGP TOLV Suite\" v1"), std::string::npos);
  // The copy left held on purpose is the one violation of this test.
  tbtest::checkViolations(host_.ledger(), {"\"AEGP TOLV Suite\" v1"});
  host_.ledger().clearViolations();
}

TEST_F(CompanionTest, theSuiteListsOwnAcquireAndReleaseAreTheBrokers) {
  const SPSuitesSuite& suites = suitesSuite(host_);
  host_.ledger().beginCommand("caller");
  const void* viaList = nullptr;
  const void* viaBasic = nullptr;
  ASSERT_EQ(suites.AcquireSuite(nullptr, kAEGPTOLVSuite, 1, 1, &viaList), kSPNoError);
  ASSERT_EQ(tb::basicSuite()->AcquireSuite(kAEGPTOLVSuite, 1, &viaBasic), kSPNoError);
  EXPECT_EQ(viaList, viaBasic);
  EXPECT_EQ(suites.ReleaseSuite(nullptr, kAEGPTOLVSuite, 1, 1), kSPNoError);
  EXPECT_EQ(suites.ReleaseSuite(nullptr, kAEGPTOLVSuite, 1, 1), kSPNoError);
  tb::CommandReport report = host_.ledger().endCommand();
  EXPECT_TRUE(report.clean());
  // Each acquisition counts once, whichever way it came in.
  EXPECT_EQ(report.calls, (std::vector<std::string>{"AcquireSuite", "AcquireSuite", "ReleaseSuite",
                                                    "ReleaseSuite"}));
}

TEST_F(CompanionTest, anotherVersionOfThePublishedSuiteIsNotServed) {
  host_.ledger().beginCommand("caller");
  const void* suite = &kOther;
  EXPECT_EQ(tb::basicSuite()->AcquireSuite(kAEGPTOLVSuite, 2, &suite), tb::kSPSuiteNotFoundError);
  EXPECT_EQ(suite, tb::poisonAddress());
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

TEST_F(CompanionTest, aWithheldPublishedSuiteFailsTheRequest) {
  tb::FaultPlan plan;
  plan.withheld.insert({kAEGPTOLVSuite, 1});
  host_.ledger().arm(plan);
  EXPECT_EQ(request(1), tb::kSPSuiteNotFoundError);
  host_.ledger().disarm();
  comp_->currentTime = comp_->workDuration;
  host_.runIdle(2);
  EXPECT_TRUE(comptest::g_scriptRuns.empty());  // the request never arrived
}

TEST_F(CompanionTest, addSuiteRefusesTakenNamesAndMissingArguments) {
  const SPSuitesSuite& suites = suitesSuite(host_);
  SPSuiteRef ref = nullptr;
  host_.ledger().beginCommand("publisher");
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, kAEGPTOLVSuite, 1, 1, &kOther, &ref),
            tb::kSPSuiteAlreadyExistsError);
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, kAEGPItemSuite, 13, 1, &kOther, &ref),
            tb::kSPSuiteAlreadyExistsError);
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, nullptr, 1, 1, &kOther, &ref), A_Err_PARAMETER);
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, "", 1, 1, &kOther, &ref), A_Err_PARAMETER);
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, "Other Suite", 1, 1, nullptr, &ref), A_Err_PARAMETER);
  EXPECT_EQ(ref, tb::poisonAddress());
  // A new version of a published name is a suite of its own.
  EXPECT_EQ(suites.AddSuite(nullptr, nullptr, kAEGPTOLVSuite, 2, 7, &kOther, &ref), kSPNoError);
  EXPECT_NE(ref, nullptr);
  host_.ledger().endCommand();
  EXPECT_EQ(host_.suites().find(kAEGPTOLVSuite, 2), &kOther);
  EXPECT_NE(host_.suites().find(kAEGPTOLVSuite, 1), &kOther);
  EXPECT_EQ(host_.suites().published().size(), 2u);
}

TEST_F(CompanionTest, addSuiteIsCountedAndCanBeFailed) {
  tb::FaultPlan plan;
  plan.failCall = 0;
  plan.failWith = A_Err_ALLOC;
  host_.ledger().arm(plan);
  host_.ledger().beginCommand("publisher");
  SPSuiteRef ref = nullptr;
  EXPECT_EQ(suitesSuite(host_).AddSuite(nullptr, nullptr, "Other Suite", 1, 1, &kOther, &ref),
            A_Err_ALLOC);
  tb::CommandReport report = host_.ledger().endCommand();
  host_.ledger().disarm();
  EXPECT_EQ(report.calls, std::vector<std::string>{"AddSuite"});
  EXPECT_EQ(host_.suites().find("Other Suite", 1), nullptr);
}

TEST(PublishedSuite, aRequestWithNoPublisherIsAnsweredByTheBroker) {
  tb::Host host;
  EXPECT_EQ(tb::requestEngineUpdate(host, 1), tb::kSPSuiteNotFoundError);
  host.quit();
  tbtest::checkViolations(host.ledger(), {});
}

TEST(PublishedSuite, aSecondCopyOfThePlugInCannotPublishAndReleasesTheBroker) {
  tb::Host host;
  host.load(tbtest::modulePath("TOLV_AEGP"), true);
  tb::Module& copy = host.load(tbtest::modulePath("TOLV_AEGP"), true);
  EXPECT_EQ(copy.globalSetupErr, tb::kSPSuiteAlreadyExistsError);
  EXPECT_TRUE(copy.globalSetupProblems.empty());  // "SP Suites Suite" was given back
  EXPECT_EQ(host.idleHooks().size(), 2u);         // the copy's hook stays registered
  EXPECT_EQ(host.suites().published().size(), 1u);
  host.quit();
  tbtest::checkViolations(host.ledger(), {});
}

TEST(PublishedSuite, inspectShowsThePiplTheEntrysResultAndWhatWasPublished) {
  std::ostringstream out, err;
  ASSERT_EQ(tb::inspectModule(tbtest::modulePath("TOLV_AEGP"), out, err), 0);
  EXPECT_EQ(err.str(), "");
  const std::string report = out.str();
  for (const char* line :
       {"pipl kind: AEgx\n", "pipl Name: \"TOLV_AEGP\"\n", "pipl Category: \"General Plugin\"\n",
        "pipl Version: 196608\n", "entry: err=0\n", "published: \"AEGP TOLV Suite\" 1\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << "in:\n" << report;
  }
  EXPECT_EQ(report.find("published:"), report.rfind("published:"));  // one suite, once
}

}  // namespace
