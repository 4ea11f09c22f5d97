// A project opens whole or not at all: every truncation point of a saved project is refused with
// one clear error, and the open project stays exactly as it was (no command sent, no handle made
// or lost, and it saves to the same bytes).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const fs::path& path, const std::vector<char>& bytes, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(size));
}

class ProjectOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tolv-project-open-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    tb::Module& sender = host_.load(tbtest::modulePath("TOLV_TestSender"));
    tb::Module& rules =
        host_.load(tbtest::buildDir() + "/test_plugins/TOLV_TestRules" + tbtest::kModuleSuffix);
    tb::Comp& comp = host_.addComp("Main", 4, 3);
    tb::Layer& layer = host_.addLayer(comp, "Card", 4, 3);
    layer.pixels = tb::makeSolid(4, 3, PF_Pixel{255, 1, 2, 3});
    tb::Outline outline;
    outline.shape.closed = true;
    outline.shape.vertices = {
        {{0, 0}, {0, 0}, {0, 0}}, {{3, 0}, {0, 0}, {0, 0}}, {{3, 2}, {0, 0}, {0, 0}}};
    host_.addMask(layer, "Mask 1", outline);
    host_.applyEffect(layer, rules);  // sequence data of its own
    host_.applyEffect(layer, sender);
  }
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
    fs::remove_all(dir_);
  }

  tb::Host host_;
  fs::path dir_;
};

TEST_F(ProjectOpenTest, everyTruncationPointIsRefusedAndLeavesTheOpenProjectAsItWas) {
  const fs::path saved = dir_ / "saved.tolvprj";
  host_.saveProject(saved.string());
  const std::vector<char> whole = readAll(saved);
  ASSERT_GT(whole.size(), 100u);
  const size_t sent = host_.log().sent.size();
  const size_t handles = host_.liveHandles();
  const fs::path cut = dir_ / "cut.tolvprj";
  for (size_t size = 0; size < whole.size(); ++size) {
    writeAll(cut, whole, size);
    try {
      host_.openProject(cut.string());
      ADD_FAILURE() << "opened a project cut at " << size << " bytes";
    } catch (const tb::HostError& e) {
      ASSERT_EQ(std::string(e.what()), cut.string() + ": project file is truncated") << size;
    }
    ASSERT_EQ(host_.log().sent.size(), sent) << size;
    ASSERT_EQ(host_.liveHandles(), handles) << size;
  }
  const fs::path again = dir_ / "again.tolvprj";
  host_.saveProject(again.string());
  EXPECT_EQ(readAll(again), whole);
  // The whole file still opens, and replaces the project.
  host_.openProject(saved.string());
  ASSERT_EQ(host_.project().comps.size(), 1u);
  EXPECT_EQ(host_.project().comps[0]->layers.at(0)->effects.size(), 2u);
  EXPECT_EQ(host_.liveHandles(), handles);
}

TEST_F(ProjectOpenTest, aDamagedCountIsRefusedAndLeavesTheOpenProjectAsItWas) {
  const fs::path saved = dir_ / "saved.tolvprj";
  host_.saveProject(saved.string());
  std::vector<char> damaged = readAll(saved);
  // The composition count follows the magic and the two next ids.
  const uint64_t huge = ~uint64_t(0);
  std::memcpy(damaged.data() + 24, &huge, sizeof huge);
  writeAll(saved, damaged, damaged.size());
  const size_t handles = host_.liveHandles();
  try {
    host_.openProject(saved.string());
    ADD_FAILURE() << "opened a damaged project";
  } catch (const tb::HostError& e) {
    EXPECT_EQ(std::string(e.what()), saved.string() + ": project file holds a damaged count");
  }
  ASSERT_EQ(host_.project().comps.size(), 1u);
  EXPECT_EQ(host_.project().comps[0]->name, "Main");
  EXPECT_EQ(host_.liveHandles(), handles);
}

// Sizes from the file are weighed against what the file still holds before anything is made for
// them: a layer claiming 30000 x 30000 pixels in a short file is refused at once, without the
// 3.6 GB world it names.
TEST_F(ProjectOpenTest, pixelsPastTheEndOfTheFileAreRefusedBeforeTheyAreMade) {
  const fs::path saved = dir_ / "saved.tolvprj";
  host_.saveProject(saved.string());
  std::vector<char> damaged = readAll(saved);
  // The layer's pixels: "has pixels", width 4, height 3, then the rows, whose first pixel is
  // (255, 1, 2, 3).
  char header[3 * sizeof(uint64_t) + sizeof(PF_Pixel)];
  const uint64_t fields[3] = {1, 4, 3};
  const PF_Pixel first{255, 1, 2, 3};
  std::memcpy(header, fields, sizeof fields);
  std::memcpy(header + sizeof fields, &first, sizeof first);
  const auto at = std::search(damaged.begin(), damaged.end(), header, header + sizeof header);
  ASSERT_NE(at, damaged.end());
  const uint64_t side = 30000;
  std::memcpy(&*at + 8, &side, sizeof side);
  std::memcpy(&*at + 16, &side, sizeof side);
  writeAll(saved, damaged, damaged.size());
  const size_t handles = host_.liveHandles();
  try {
    host_.openProject(saved.string());
    ADD_FAILURE() << "opened a damaged project";
  } catch (const tb::HostError& e) {
    EXPECT_EQ(std::string(e.what()), saved.string() + ": project file is truncated");
  }
  ASSERT_EQ(host_.project().comps.size(), 1u);
  EXPECT_EQ(host_.liveHandles(), handles);
}

// A count the file's length cannot hold is the file cut short, whatever record it counts.
TEST_F(ProjectOpenTest, aCountPastTheEndOfTheFileIsReportedAsATruncation) {
  const fs::path saved = dir_ / "saved.tolvprj";
  host_.saveProject(saved.string());
  std::vector<char> damaged = readAll(saved);
  const uint64_t many = 60000;  // within every limit, beyond the file
  std::memcpy(damaged.data() + 24, &many, sizeof many);
  writeAll(saved, damaged, damaged.size());
  try {
    host_.openProject(saved.string());
    ADD_FAILURE() << "opened a damaged project";
  } catch (const tb::HostError& e) {
    EXPECT_EQ(std::string(e.what()), saved.string() + ": project file is truncated");
  }
  EXPECT_EQ(host_.project().comps.at(0)->name, "Main");
}

}  // namespace
