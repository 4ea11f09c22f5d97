#include "testbed/scene/Scene.h"

namespace tb::scene {

const char* layerKindName(LayerKind kind) {
  switch (kind) {
    case LayerKind::Solid:
      return "solid";
    case LayerKind::Image:
      return "image";
    case LayerKind::Gradient:
      return "gradient";
    case LayerKind::Light:
      return "light";
    case LayerKind::Null:
      return "null";
  }
  return "solid";
}

std::string resolveScenePath(const SceneSpec& scene, const std::string& relative) {
  if (!relative.empty() && relative[0] == '/') {
    return relative;
  }
  return scene.directory + "/" + relative;
}

}  // namespace tb::scene
