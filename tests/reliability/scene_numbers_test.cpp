// Scene files with numbers past what any value holds are refused with the scene's own error.
#include <gtest/gtest.h>

#include <string>

#include "testbed/scene/SceneParse.h"

namespace {

std::string messageOf(const std::string& text) {
  try {
    tb::scene::parseScene(text, "big.json");
  } catch (const tb::scene::SceneError& e) {
    return e.what();
  }
  return "";
}

TEST(SceneNumbers, aNumberTooLargeToReadIsASceneErrorNamingTheFile) {
  EXPECT_EQ(messageOf("{\"comp\": " + std::string(400, '5') + "}"),
            "big.json: a number too large to read");
  EXPECT_EQ(messageOf("[-" + std::string(400, '9') + "]"), "big.json: a number too large to read");
}

}  // namespace
