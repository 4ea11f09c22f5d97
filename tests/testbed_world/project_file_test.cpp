// A saved project opens to what was saved over time and beside its compositions: layer starts,
// parameter keys, time scales, dynamic flags, project items and the active item. Saving what was
// opened gives the same bytes, and the reopened project renders the same records. A damaged tail
// is refused and leaves the open project as it was.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/platform/Process.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"
#include "tests/support/Modules.h"
#include "tests/support/Violations.h"

namespace {

namespace fs = std::filesystem;

const char* const kScene = R"({
  "comp": {"name": "Main", "width": 64, "height": 48, "fps": 25, "duration": 4,
           "work_area": [0.5, 2], "scales": {"time": 600, "work_area": 1000, "duration": 30}},
  "items": [{"name": "Clip", "kind": "footage"}, {"name": "Bin", "kind": "folder"}],
  "active": "Clip",
  "layers": [
    {"name": "Card", "kind": "solid", "size": [64, 48], "color": [255, 200, 100, 50],
     "start": 0.5,
     "masks": [{"name": "Outer", "points": [[4, 4], [60, 4], [60, 44], [4, 44]]},
               {"name": "Inner", "points": [[20, 16], [44, 16], [44, 32], [20, 32]]}],
     "effects": [{"match": "ZEK TOLV_Mask",
                  "params": {"1": {"keys": [[0, 4], [2, 12]]}, "4": "Outer", "9": "Inner",
                             "10": {"keys": [[0.5, -20], [1.5, 40]]}, "85": "Card"}},
                 {"match": "ZEK TOLV_Engine"}]}
  ]
})";

// A like project with two small effects, for the tests that open edited copies of it.
const char* const kSmallScene = R"({
  "comp": {"name": "Main", "width": 8, "height": 6, "fps": 25, "duration": 4,
           "scales": {"time": 600}},
  "items": [{"name": "Clip", "kind": "footage"}, {"name": "Bin", "kind": "folder"}],
  "active": "Clip",
  "layers": [{"name": "Card", "kind": "solid", "size": [8, 6], "start": 0.5,
              "effects": [{"match": "ZEK TOLV_TestUi", "params": {"1": {"keys": [[0, 4], [2, 12]]}}},
                          {"match": "ZEK TOLV_TestUi"}]}]
})";

std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class ProjectFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Named for the process and the test, so that test programs run side by side never share it.
    dir_ = fs::temp_directory_path() /
           ("tolv-project-" + std::to_string(tb::platform::processId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    ASSERT_TRUE(fs::create_directories(dir_));
    for (const char* name : {"TOLV_Mask", "TOLV_Engine", "TOLV_TestUi"})
      host_.load(tbtest::modulePath(name));
    tb::scene::buildScene(host_, tb::scene::parseScene(sceneText(), "project.json"));
  }
  virtual const char* sceneText() const { return kScene; }
  void TearDown() override {
    host_.quit();
    tbtest::checkViolations(host_.ledger(), {});
    fs::remove_all(dir_);
  }

  tb::Comp& comp() { return *host_.project().comps.front(); }
  tb::Effect& firstEffect() { return *comp().layers.front()->effects.front(); }

  // The records the renderer received for one frame at `seconds` of the composition.
  std::vector<std::vector<unsigned char>> renderRecords(double seconds) {
    host_.clearEngineRecords();
    host_.renderComp(comp(), {static_cast<A_long>(seconds * 600), 600});
    std::vector<std::vector<unsigned char>> records;
    for (const tb::EngineRecord& r : host_.engineRecords())
      records.push_back(r.bytes);
    return records;
  }

  tb::Host host_;
  fs::path dir_;
};

TEST_F(ProjectFileTest, savingWhatWasOpenedGivesTheSameBytesAndTheSameRecords) {
  firstEffect().streamFlags[2] = AEGP_DynStreamFlag_HIDDEN;
  firstEffect().streamFlags[3] = AEGP_DynStreamFlag_DISABLED;
  ASSERT_TRUE(firstEffect().dynamicFlags);
  const auto flags = *firstEffect().dynamicFlags;
  const auto before = renderRecords(1.5);
  ASSERT_FALSE(before.empty());

  host_.saveProject((dir_ / "first.tolvprj").string());
  host_.openProject((dir_ / "first.tolvprj").string());

  const tb::Comp& c = comp();
  EXPECT_EQ(c.currentTime.value, 900);
  EXPECT_EQ(c.currentTime.scale, 600u);
  EXPECT_EQ(c.duration.value, 120);
  EXPECT_EQ(c.duration.scale, 30u);
  EXPECT_EQ(c.workStart.value, 500);
  EXPECT_EQ(c.workStart.scale, 1000u);
  const tb::Layer& card = *c.layers.front();
  EXPECT_EQ(card.start.value, 300);
  EXPECT_EQ(card.start.scale, 600u);
  const tb::Effect& mask = firstEffect();
  ASSERT_EQ(mask.keys.size(), mask.params.size());
  ASSERT_EQ(mask.keys[1].size(), 2u);
  EXPECT_EQ(mask.keys[1][0].seconds, 0.0);
  EXPECT_EQ(mask.keys[1][1].seconds, 2.0);
  EXPECT_EQ(mask.keys[1][1].value.u.sd.value, 12);
  ASSERT_EQ(mask.keys[10].size(), 2u);
  EXPECT_EQ(mask.keys[10][1].seconds, 1.5);
  EXPECT_TRUE(mask.keys[4].empty());
  EXPECT_EQ(mask.streamFlags[2], AEGP_DynStreamFlag_HIDDEN);
  EXPECT_EQ(mask.streamFlags[3], AEGP_DynStreamFlag_DISABLED);
  ASSERT_TRUE(mask.dynamicFlags);
  EXPECT_EQ(*mask.dynamicFlags, flags);
  const tb::Project& project = host_.project();
  ASSERT_EQ(project.items.size(), 2u);
  EXPECT_EQ(project.items[0]->name, "Clip");
  EXPECT_EQ(project.items[0]->type, AEGP_ItemType_FOOTAGE);
  EXPECT_EQ(project.items[0]->width, 64);
  EXPECT_EQ(project.items[1]->name, "Bin");
  EXPECT_EQ(project.items[1]->type, AEGP_ItemType_FOLDER);
  EXPECT_EQ(project.activeItem, project.items[0].get());

  EXPECT_EQ(renderRecords(1.5), before);
  host_.saveProject((dir_ / "second.tolvprj").string());
  const std::string first = readBytes(dir_ / "first.tolvprj");
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == readBytes(dir_ / "second.tolvprj"));
}

// A saved project ends with the layer's start, the keys and flags of its two effects, the two
// items and the active item: these are their sizes in a project without keys.
constexpr size_t itemBytes(size_t name) {
  return 8 /*kind*/ + 8 + name + 8 /*width*/ + 8 /*height*/;
}
constexpr size_t kActiveBytes = 16;
constexpr size_t kTailBytes = sizeof(A_Time) + 2 * (8 /*no keys*/ + 24 /*flags*/) + 8 /*items*/ +
                              itemBytes(4) + itemBytes(3) + kActiveBytes;
constexpr size_t kActiveIndexFromEnd = 8;
constexpr size_t kStartScaleFromEnd = kTailBytes - offsetof(A_Time, scale);

class SmallProjectTest : public ProjectFileTest {
 protected:
  const char* sceneText() const override { return kSmallScene; }

  // The project with no keys, saved, changed by `edit` and opened: "opened" or the error.
  template <class Edit>
  std::string openEdited(const Edit& edit) {
    for (auto& effect : comp().layers.front()->effects)
      effect->keys.clear();
    const fs::path path = dir_ / "damaged.tolvprj";
    host_.saveProject(path.string());
    std::string bytes = readBytes(path);
    edit(bytes);
    writeBytes(path, bytes);
    try {
      host_.openProject(path.string());
    } catch (const tb::HostError& e) {
      return e.what();
    }
    return "opened";
  }
  std::string openDamaged(size_t fromEnd, uint32_t value) {
    return openEdited([&](std::string& bytes) {
      std::memcpy(bytes.data() + bytes.size() - fromEnd, &value, sizeof value);
    });
  }
};

TEST_F(SmallProjectTest, aProjectWithoutAnActiveItemOpensWithoutOne) {
  host_.project().activeItem = nullptr;
  host_.saveProject((dir_ / "none.tolvprj").string());
  host_.openProject((dir_ / "none.tolvprj").string());
  EXPECT_EQ(host_.project().activeItem, nullptr);
}

TEST_F(SmallProjectTest, aLayerStartWithoutAScaleIsRefusedAndTheProjectStays) {
  tb::Layer* card = comp().layers.front().get();
  EXPECT_NE(openDamaged(kStartScaleFromEnd, 0).find("a time without a scale"), std::string::npos);
  EXPECT_EQ(comp().layers.front().get(), card);
  EXPECT_EQ(card->start.scale, 600u);
}

TEST_F(SmallProjectTest, anActiveItemTheFileDoesNotHoldIsRefused) {
  EXPECT_NE(openDamaged(kActiveIndexFromEnd, 2).find("active item it does not hold"),
            std::string::npos);
  EXPECT_EQ(host_.project().activeItem, host_.project().items[0].get());
}

TEST_F(SmallProjectTest, theOffsetsNameTheFieldsTheyChange) {
  EXPECT_EQ(openDamaged(kStartScaleFromEnd, 1000), "opened");
  EXPECT_EQ(comp().layers.front()->start.value, 300);
  EXPECT_EQ(comp().layers.front()->start.scale, 1000u);
  EXPECT_EQ(host_.project().activeItem, host_.project().items[0].get());
}

// A project saved before starts, keys and items were kept opens without them.
TEST_F(SmallProjectTest, anOlderProjectOpensWithoutWhatItDidNotKeep) {
  EXPECT_EQ(openEdited([](std::string& bytes) {
              bytes[7] = '2';
              bytes.resize(bytes.size() - kTailBytes);
            }),
            "opened");
  EXPECT_EQ(comp().layers.front()->start.value, 0);
  EXPECT_TRUE(host_.project().items.empty());
  EXPECT_EQ(host_.project().activeItem, comp().item.get());
  EXPECT_TRUE(firstEffect().keys.empty());
}

TEST_F(SmallProjectTest, keysOutOfTimeOrderAreRefused) {
  tb::Effect& effect = firstEffect();
  std::swap(effect.keys[1][0].seconds, effect.keys[1][1].seconds);
  const fs::path path = dir_ / "unordered.tolvprj";
  host_.saveProject(path.string());
  std::swap(effect.keys[1][0].seconds, effect.keys[1][1].seconds);
  EXPECT_THROW(host_.openProject(path.string()), tb::HostError);
  EXPECT_EQ(&firstEffect(), &effect);
}

TEST_F(SmallProjectTest, aKeyOfAnotherTypeThanItsParameterIsRefused) {
  tb::Effect& effect = firstEffect();
  effect.keys[1][1].value.param_type = PF_Param_POINT;
  const fs::path path = dir_ / "retyped.tolvprj";
  host_.saveProject(path.string());
  effect.keys[1][1].value.param_type = PF_Param_SLIDER;
  EXPECT_THROW(host_.openProject(path.string()), tb::HostError);
  EXPECT_EQ(&firstEffect(), &effect);
}

}  // namespace
