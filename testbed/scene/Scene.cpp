#include "testbed/scene/Scene.h"

#include "testbed/platform/PathSyntax.h"

namespace tb::scene {

std::string resolveScenePath(const SceneSpec& scene, const std::string& relative) {
  if (platform::isAbsolutePath(relative)) {
    return relative;
  }
  return scene.directory + platform::kPreferredSeparator + relative;
}

}  // namespace tb::scene
