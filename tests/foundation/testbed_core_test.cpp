// The testbed's own machinery, where a fault would hide a plug-in fault: the ledger's accounting
// and injection, the PiPL reader, module loading and the inspect report.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "testbed/cli/ModuleReport.h"
#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/host/Pipl.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

TEST(Ledger, countsCallsPerCommandAndFailsTheArmedOne) {
  tb::Ledger ledger;
  tb::FaultPlan plan;
  plan.failCall = 1;
  plan.failWith = 42;
  ledger.arm(plan);
  ledger.beginCommand("outer");
  EXPECT_EQ(ledger.enter("first"), 0);
  ledger.beginCommand("nested");
  EXPECT_EQ(ledger.enter("nested call"), 0);  // faults belong to the outermost command
  EXPECT_EQ(ledger.enter("nested call"), 0);
  tb::CommandReport nested = ledger.endCommand();
  EXPECT_EQ(ledger.enter("second"), 42);
  EXPECT_EQ(ledger.enter("third"), 0);
  tb::CommandReport outer = ledger.endCommand();
  EXPECT_EQ(nested.calls.size(), 2u);
  EXPECT_EQ(outer.calls, (std::vector<std::string>{"first", "second", "third"}));
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
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  // A copy of a built module with its PiPL source, which the test may then change.
  std::string copyModule(const std::string& name) {
    fs::copy_file(tbtest::modulePath(name), dir / (name + ".so"));
    fs::copy_file(tbtest::buildDir() + "/plugins/" + name + ".r", dir / (name + ".r"));
    return (dir / (name + ".so")).string();
  }
  void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
  fs::path dir;
};

TEST_F(ModuleFiles, unusableFilesAreRefusedWithTheirName) {
  tb::Host host;
  EXPECT_THROW(host.load((dir / "absent.so").string()), tb::HostError);
  write(dir / "foreign.so", "not a module");
  try {
    host.load((dir / "foreign.so").string());
    ADD_FAILURE();
  } catch (const tb::HostError& e) {
    EXPECT_NE(std::string(e.what()).find("foreign.so: not a plug-in module"), std::string::npos);
  }
  write(dir / "foreign.r", "resource 'PiPL' (1) { { Kind { AEEffect } } };");
  try {
    host.load((dir / "foreign.so").string());
    ADD_FAILURE();
  } catch (const tb::HostError& e) {
    EXPECT_NE(std::string(e.what()).find("dlopen failed"), std::string::npos);
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
  EXPECT_EQ(tb::inspectModule((dir / "absent.so").string(), out, err), 2);
  EXPECT_TRUE(out.str().empty());
  EXPECT_NE(err.str().find("absent.so: no such module file"), std::string::npos);

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
