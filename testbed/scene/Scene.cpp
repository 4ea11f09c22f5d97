#include "testbed/scene/Scene.h"

namespace tb::scene {

std::string resolveScenePath(const SceneSpec& scene, const std::string& relative) {
  if (!relative.empty() && relative[0] == '/') {
    return relative;
  }
  return scene.directory + "/" + relative;
}

}  // namespace tb::scene
