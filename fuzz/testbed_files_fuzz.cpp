// The files the testbed reads: scene files, saved projects and PiPL resource sources. Whatever
// they hold, reading one ends with the thing read or with the reader's own error (SceneError,
// HostError, the PiPL parser's runtime_error), never a crash, a sanitizer report or another
// exception; a project opened from one, and a scene built from one, close again leaving nothing.
//
// Input: a kind byte (0: scene file, 1: project file, 2: PiPL), then the file's text. A project
// file that the input does not start with the project's magic number gets it, so that the reader
// goes past the first check.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

#include "fuzz/FuzzHost.h"
#include "testbed/host/HostError.h"
#include "testbed/host/Pipl.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneRun.h"

namespace {

constexpr char kProjectMagic[] = "TOLVPRJ3";

void readScene(tb::Host& host, const std::string& text) {
  try {
    const tb::scene::SceneSpec scene = tb::scene::parseScene(text, "/tmp/fuzz.json");
    tb::Comp& comp = tb::scene::buildScene(host, scene);
    tb::scene::checkSteps(host, comp, scene);
  } catch (const tb::scene::SceneError&) {
  } catch (const tb::HostError&) {
  }
}

void openProject(tb::Host& host, const std::string& bytes) {
  static const std::string path = "/tmp/tolv_fuzz_project_" + std::to_string(getpid());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (bytes.compare(0, 8, kProjectMagic) != 0)
      out.write(kProjectMagic, 8);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  try {
    host.openProject(path);
  } catch (const tb::HostError&) {
  }
}

void readPipl(const std::string& text) {
  try {
    const tb::Pipl pipl = tb::parsePipl(text, "fuzz.r");
    (void)pipl.kindCode();
    (void)pipl.number("Version");
  } catch (const std::runtime_error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tb::Host& host = fuzzhost::host({"TOLV_Mask", "TOLV_Distort", "TOLV_Engine"});
  if (size == 0)
    return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t handles_before = host.liveHandles();
  switch (data[0] % 3) {
    case 0:
      readScene(host, text);
      break;
    case 1:
      openProject(host, text);
      break;
    default:
      readPipl(text);
      return 0;
  }
  host.closeProject();
  if (host.liveHandles() > handles_before)
    fuzzhost::fail("a handle outlived its project");
  for (const tb::Violation& v : host.ledger().violations())
    std::fprintf(stderr, "violation: %s\n", tb::describe(v).c_str());
  if (!host.ledger().violations().empty())
    fuzzhost::fail("the host saw a broken rule");
  host.log() = tb::HostLog();
  host.clearEngineRecords();
  return 0;
}
