// The world part of a saved project: timing, transforms with keys, parents, masks, lights and
// pixels come back as they were saved.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "tests/testbed_world/WorldFixture.h"

namespace {

class ProjectWorldTest : public twtest::WorldTest {};

TEST_F(ProjectWorldTest, aProjectOpensWithItsWorldAsSaved) {
  host_.setCompTiming(*comp_, 30, 3, 0.5, 2);
  tb::Outline keyed = twtest::circle(50, 40, 20);
  keyed.keys.push_back({1.5, twtest::circle(40, 30, 10).shape});
  const PF_PathID id = host_.addMask(*layer_, "Round", keyed);
  layer_->transform.positionKeys.push_back({2.0, {5, 6, 7}});
  layer_->pixels->at(3, 4) = PF_Pixel{1, 2, 3, 4};
  tb::Layer& light = host_.createLight(*comp_, "Lamp", {9, 8});
  light.intensity = 0;
  ASSERT_TRUE(host_.setParent(light, layer_));
  comp_->selected = {layer_->id};
  std::string path = (std::filesystem::temp_directory_path() / "tolv-world-XXXXXX").string();
  const int fd = mkstemp(path.data());
  ASSERT_GE(fd, 0);
  close(fd);
  host_.saveProject(path);
  host_.openProject(path);
  std::remove(path.c_str());

  ASSERT_EQ(host_.project().comps.size(), 1u);
  const tb::Comp& comp = *host_.project().comps[0];
  EXPECT_EQ(comp.timeScale, 30u);
  EXPECT_EQ(comp.duration.value, 90);
  EXPECT_EQ(comp.workStart.value, 15);
  EXPECT_EQ(host_.project().activeItem, comp.item.get());
  ASSERT_EQ(comp.layers.size(), 2u);
  const tb::Layer& lamp = *comp.layers[0];
  const tb::Layer& card = *comp.layers[1];
  EXPECT_EQ(comp.selected, std::vector<AEGP_LayerIDVal>{card.id});
  EXPECT_EQ(lamp.kind, tb::LayerKind::Light);
  EXPECT_EQ(lamp.intensity, 0.0);
  EXPECT_EQ(lamp.source, nullptr);
  EXPECT_EQ(host_.parentOf(lamp), &card);
  ASSERT_EQ(card.masks.size(), 1u);
  EXPECT_EQ(card.masks[0].id, id);
  EXPECT_EQ(card.masks[0].name, "Round");
  ASSERT_EQ(card.masks[0].outline.keys.size(), 1u);
  EXPECT_EQ(card.masks[0].outline.keys[0].shape.vertices[0].point.x, 50.0);
  ASSERT_EQ(card.transform.positionKeys.size(), 1u);
  EXPECT_EQ(card.transform.positionKeys[0].value.z, 7.0);
  ASSERT_TRUE(card.pixels.has_value());
  EXPECT_EQ(card.pixels->at(3, 4).blue, 4);
  EXPECT_EQ(card.pixels->at(0, 0).red, 10);
  // New masks keep ids unique after opening.
  tb::Layer& reopened = *host_.project().comps[0]->layers[1];
  EXPECT_NE(host_.addMask(reopened, "Next", twtest::circle(1, 1, 1)), id);
}

}  // namespace
