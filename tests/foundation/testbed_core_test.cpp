// The testbed's own machinery, where a fault would hide a plug-in fault: the ledger's accounting
// and injection, the PiPL reader, module loading and the inspect report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "testbed/cli/ModuleReport.h"
#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/host/Pipl.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

TEST(Ledger, countsCallsAcrossNestedCommandsAndFailsTheArmedOne) {
  tb::Ledger ledger;
  tb::FaultPlan plan;
  plan.failCall = 2;
  plan.failWith = 42;
  ledger.arm(plan);
  ledger.beginCommand("outer");
  EXPECT_EQ(ledger.enter("first"), 0);
  ledger.beginCommand("nested");
  EXPECT_EQ(ledger.enter("nested call"), 0);
  EXPECT_EQ(ledger.enter("nested call"), 42);  // the count runs on into nested commands
  EXPECT_TRUE(ledger.injected());
  tb::CommandReport nested = ledger.endCommand();
  EXPECT_EQ(ledger.enter("second"), 0);
  EXPECT_FALSE(ledger.injected());
  tb::CommandReport outer = ledger.endCommand();
  EXPECT_EQ(nested.calls.size(), 2u);
  EXPECT_EQ(outer.calls, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(outer.allCalls,
            (std::vector<std::string>{"first", "nested call", "nested call", "second"}));
  // A new outermost command counts from 0 again.
  ledger.beginCommand("again");
  EXPECT_EQ(ledger.enter("a"), 0);
  EXPECT_EQ(ledger.enter("b"), 0);
  EXPECT_EQ(ledger.enter("c"), 42);
  ledger.endCommand();
}

TEST(CallList, readsAsTheNamesInTheOrderTheyCame) {
  // Two copies of one text: a name is compared by what it says, not where it lives.
  static const char kFirst[] = "AEGP_GetEffectLayer";
  static const char kAgain[] = "AEGP_GetEffectLayer";
  tb::CallList calls;
  EXPECT_TRUE(calls.empty());
  calls.push_back(kFirst);
  calls.push_back("subpixel_sample");
  calls.push_back(kAgain);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[1], "subpixel_sample");
  EXPECT_EQ(calls.front(), "AEGP_GetEffectLayer");
  EXPECT_EQ(calls.back(), "AEGP_GetEffectLayer");
  EXPECT_THROW(calls.at(3), std::out_of_range);
  const std::vector<std::string> expected = {"AEGP_GetEffectLayer", "subpixel_sample",
                                             "AEGP_GetEffectLayer"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(std::vector<std::string>(calls), expected);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.end()), expected);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), std::string("AEGP_GetEffectLayer")), 2);
  EXPECT_EQ(calls.end() - calls.begin(), 3);
  EXPECT_NE(calls, (std::vector<std::string>{"AEGP_GetEffectLayer", "subpixel_sample"}));
  EXPECT_NE(calls, (std::vector<std::string>{"AEGP_GetEffectLayer", "subpixel_sampl",
                                             "AEGP_GetEffectLayer"}));

  tb::CallList more;
  more.push_back("AEGP_DisposeEffect");
  more.append(calls);
  EXPECT_EQ(more, (std::vector<std::string>{"AEGP_DisposeEffect", "AEGP_GetEffectLayer",
                                            "subpixel_sample", "AEGP_GetEffectLayer"}));
  EXPECT_NE(more, calls);
}

TEST(HostObjects, anObjectGoneIsNotLiveEvenRightAfterItWasAskedAbout) {
  struct Probe : tb::HostObject {
    Probe() : HostObject(tb::kMemHandleMagic) {}
  };
  auto first = std::make_unique<Probe>();
  const void* address = first.get();
  EXPECT_TRUE(tb::isLive(address));
  EXPECT_TRUE(tb::isLive(address));
  first.reset();
  EXPECT_FALSE(tb::isLive(address));
  EXPECT_FALSE(tb::isLive(nullptr));
  Probe second;
  EXPECT_TRUE(tb::isLive(&second));

  // Many objects asked about in turn, half of them then gone, one never asked about at all.
  std::vector<std::unique_ptr<Probe>> many;
  std::vector<const void*> addresses;
  for (int i = 0; i < 40; ++i) {
    many.push_back(std::make_unique<Probe>());
    addresses.push_back(many.back().get());
  }
  for (int round = 0; round < 2; ++round) {
    for (const void* a : addresses)
      EXPECT_TRUE(tb::isLive(a));
  }
  for (size_t i = 0; i < many.size(); i += 2)
    many[i].reset();
  auto unasked = std::make_unique<Probe>();
  const void* unaskedAddress = unasked.get();
  unasked.reset();
  for (size_t i = 0; i < addresses.size(); ++i)
    EXPECT_EQ(tb::isLive(addresses[i]), i % 2 == 1) << "object " << i;
  EXPECT_FALSE(tb::isLive(unaskedAddress));
}

TEST(Ledger, reportsSuitesAndReferencesStillHeld) {
  tb::Ledger ledger;
  int a = 0, b = 0;
  ledger.beginCommand("cmd");
  ledger.acquired("AEGP Effect Suite", 2);
  ledger.acquired("AEGP Effect Suite", 3);
  EXPECT_TRUE(ledger.released("AEGP Effect Suite", 3));
  ledger.hold(&a, "effect ref");
  ledger.hold(&b, "stream ref");
  EXPECT_TRUE(ledger.release(&b));
  EXPECT_FALSE(ledger.release(&b));
  tb::CommandReport report = ledger.endCommand();
  ASSERT_EQ(report.held.size(), 2u);
  EXPECT_NE(report.held[0].find("\"AEGP Effect Suite\" v2"), std::string::npos);
  EXPECT_EQ(report.held[1], "effect ref");
  ASSERT_EQ(ledger.violations().size(), 2u);
  EXPECT_EQ(tb::describe(ledger.violations()[0]),
            "host: cmd: left held: suite \"AEGP Effect Suite\" v2 x1");
  EXPECT_EQ(tb::describe(ledger.violations()[1]), "host: cmd: left held: effect ref x1");
}

TEST(Ledger, leftoversAreViolationsOfTheCommandThatTookThem) {
  tb::Ledger ledger;
  int a = 0;
  ledger.beginCommand("Outer render", "Outer", "RENDER");
  ledger.acquired("PF ANSI Suite", 1);
  ledger.hold(&a, "stream ref");
  ledger.quietStarted();
  ledger.beginCommand("Inner general", "Inner", "COMPLETELY_GENERAL");
  EXPECT_TRUE(ledger.released("PF ANSI Suite", 1));
  EXPECT_TRUE(ledger.release(&a));
  ledger.quietEnded();
  ledger.quietStarted();
  tb::CommandReport inner = ledger.endCommand();
  tb::CommandReport outer = ledger.endCommand();
  EXPECT_TRUE(outer.clean());
  EXPECT_EQ(inner.quietLeftOn, 1);
  std::vector<std::string> texts;
  for (const tb::Violation& v : ledger.violations())
    texts.push_back(tb::describe(v));
  EXPECT_EQ(texts,
            (std::vector<std::string>{
                "Inner: COMPLETELY_GENERAL: released suite \"PF ANSI Suite\" v1 acquired "
                "by an outer command",
                "Inner: COMPLETELY_GENERAL: released a stream ref taken by an outer command",
                "Inner: COMPLETELY_GENERAL: ended quiet-errors mode an outer command started",
                "Inner: COMPLETELY_GENERAL: left quiet-errors mode on x1"}));
  EXPECT_EQ(outer.suites, (std::vector<std::pair<std::string, int>>{{"PF ANSI Suite", 1}}));
}

TEST(Ledger, releaseOfASuiteNeverAcquiredIsAViolation) {
  tb::Ledger ledger;
  ledger.beginCommand("cmd");
  EXPECT_FALSE(ledger.released("PF ANSI Suite", 1));
  ledger.endCommand();
  ASSERT_EQ(ledger.violations().size(), 1u);
}

TEST(Ledger, pollsAndHandleAllocationsFailWhereArmed) {
  tb::Ledger ledger;
  tb::FaultPlan plan;
  plan.cancelPoll = 2;
  plan.failHandle = 0;
  ledger.arm(plan);
  ledger.beginCommand("cmd");
  EXPECT_EQ(ledger.poll(), PF_Err_NONE);
  EXPECT_EQ(ledger.poll(), PF_Err_NONE);
  EXPECT_EQ(ledger.poll(), PF_Interrupt_CANCEL);
  EXPECT_FALSE(ledger.allowHandle());
  EXPECT_TRUE(ledger.allowHandle());
  tb::CommandReport report = ledger.endCommand();
  EXPECT_EQ(report.polls, 3);
  EXPECT_EQ(report.handleAllocations, 2);
}

TEST(Pipl, readsPropertiesSkippingPreprocessorLinesAndComments) {
  tb::Pipl p = tb::parsePipl(
      "#include <AE_General.r>\n"
      "resource 'PiPL' (16000) {\n"
      "  { /* kind */ Kind { AEEffect },\n"
      "    Name { \"Morvane\" },  // the name\n"
      "#ifdef AE_OS_WIN\n"
      "    CodeWin64X86 { \"EntryPointFunc\" },\n"
      "#endif\n"
      "    AE_Effect_Global_OutFlags { 0x04000400 },\n"
      "    AE_PiPL_Version { 2, 0 }\n"
      "  }\n"
      "};\n",
      "x.r");
  EXPECT_TRUE(p.isEffect());
  EXPECT_EQ(p.kindCode(), "eFKT");
  EXPECT_EQ(p.text("Name"), "Morvane");
  EXPECT_EQ(p.number("AE_Effect_Global_OutFlags"), 0x04000400);
  EXPECT_EQ(p.number("AE_PiPL_Version", 1), 0);
  EXPECT_EQ(p.text("CodeWin64X86"), "EntryPointFunc");
  EXPECT_FALSE(p.has("Category"));
}

TEST(Pipl, badSourcesNameFileAndLine) {
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"", "x.r:1: expected 'resource'"},
      {"resource 'PiPL' (1) {\n{\nName { \"open\n} } };", "x.r:3: unterminated quoted text"},
      {"resource 'PiPL' (1) {\n{\n}\n};", "x.r:4: no properties"},
      {"resource 'PiPL' (1) { { Kind { AEEffect ", "x.r:1: unexpected end of file in Kind"},
      {"resource 'PiPL' (1) { /* never closed", "x.r:1: unterminated comment"},
  };
  for (const Case& c : cases) {
    try {
      tb::parsePipl(c.text, "x.r");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

class ModuleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("tolv-modules-" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::error_code ec;
    fs::remove_all(dir, ec);  // what an earlier run could not remove
    fs::create_directories(dir);
  }
  // Windows keeps the file of a loaded module open, and modules stay loaded: those are left.
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // A copy of a built module with its PiPL source, which the test may then change.
  std::string copyModule(const std::string& name) {
    fs::copy_file(tbtest::modulePath(name), dir / (name + tbtest::kModuleSuffix));
    fs::copy_file(tbtest::buildDir() + "/plugins/" + name + ".r", dir / (name + ".r"));
    return (dir / (name + tbtest::kModuleSuffix)).string();
  }
  void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
  fs::path dir;
};

TEST_F(ModuleFiles, unusableFilesAreRefusedWithTheirName) {
  tb::Host host;
  EXPECT_THROW(host.load((dir / ("absent" + tbtest::kModuleSuffix)).string()), tb::HostError);
  write(dir / ("foreign" + tbtest::kModuleSuffix), "not a module");
  try {
    host.load((dir / ("foreign" + tbtest::kModuleSuffix)).string());
    ADD_FAILURE();
  } catch (const tb::HostError& e) {
    EXPECT_NE(
        std::string(e.what()).find("foreign" + tbtest::kModuleSuffix + ": not a plug-in module"),
        std::string::npos);
  }
  write(dir / "foreign.r", "resource 'PiPL' (1) { { Kind { AEEffect } } };");
  try {
    host.load((dir / ("foreign" + tbtest::kModuleSuffix)).string());
    ADD_FAILURE();
  } catch (const tb::HostError& e) {
#ifdef _WIN32
    EXPECT_NE(std::string(e.what()).find("LoadLibrary failed"), std::string::npos);
#else
    EXPECT_NE(std::string(e.what()).find("dlopen failed"), std::string::npos);
#endif
  }
}

TEST_F(ModuleFiles, globalSetupFlagsAreComparedWithThePipl) {
  std::string path = copyModule("TOLV_Distort");
  std::ifstream in(dir / "TOLV_Distort.r");
  std::stringstream text;
  text << in.rdbuf();
  std::string changed = text.str();
  changed.replace(changed.find("0x04200000"), 10, "0x04200400");
  write(dir / "TOLV_Distort.r", changed);
  tb::Host host;
  tb::Module& m = host.load(path);
  ASSERT_EQ(m.globalSetupProblems.size(), 1u);
  EXPECT_EQ(m.globalSetupProblems[0], "out_flags 0x04200000 differs from the PiPL's 0x04200400");
}

TEST_F(ModuleFiles, inspectReportsAndExitsTwoOnABadFile) {
  std::ostringstream out, err;
  EXPECT_EQ(tb::inspectModule((dir / ("absent" + tbtest::kModuleSuffix)).string(), out, err), 2);
  EXPECT_TRUE(out.str().empty());
  EXPECT_NE(err.str().find("absent" + tbtest::kModuleSuffix + ": no such module file"),
            std::string::npos);

  std::ostringstream out2, err2;
  EXPECT_EQ(tb::inspectModule(tbtest::modulePath("TOLV_Mask"), out2, err2), 0);
  EXPECT_NE(out2.str().find("pipl AE_Effect_Match_Name: \"ZEK TOLV_Mask\"\n"), std::string::npos);
  EXPECT_NE(out2.str().find("about: \"ZEK Morvane, v1.6\\rMask controlled warping.\"\n"),
            std::string::npos);
  EXPECT_NE(out2.str().find("global_setup: err=0 my_version=0x00100000 out_flags=0x04000400 "
                            "out_flags2=0x00000007\n"),
            std::string::npos);
  EXPECT_TRUE(err2.str().empty()) << err2.str();
}

TEST(CEscape, escapesControlCharactersQuotesAndBackslashes) {
  EXPECT_EQ(tb::cEscape("a\rb\"c\\d\x01 "), "a\\rb\\\"c\\\\d\\x01 ");
}

TEST(Handles, newHandlesAreGarbageAndResizeKeepsLeadingBytes) {
  tb::Host host;
  PF_Handle h = host.newHandle(4);
  ASSERT_NE(h, nullptr);
  unsigned char* p = static_cast<unsigned char*>(*h);
  EXPECT_EQ(p[0], 0xA5);
  p[0] = 1, p[1] = 2, p[2] = 3, p[3] = 4;
  EXPECT_EQ(host.resizeHandle(8, &h), PF_Err_NONE);
  p = static_cast<unsigned char*>(*h);
  EXPECT_EQ(host.handleSize(h), 8u);
  const unsigned char expected[8] = {1, 2, 3, 4, 0xA5, 0xA5, 0xA5, 0xA5};
  EXPECT_EQ(std::memcmp(p, expected, 8), 0);
  host.disposeHandle(h);
  EXPECT_EQ(host.liveHandles(), 0u);
  EXPECT_FALSE(host.isHandle(h));
}

}  // namespace
