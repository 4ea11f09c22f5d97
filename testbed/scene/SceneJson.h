// A scene written back as JSON in the file format, so that a parsed scene can be saved, compared
// and read again to the same SceneSpec.
#pragma once

#include <nlohmann/json.hpp>

#include "testbed/scene/Scene.h"

namespace tb::scene {

nlohmann::json sceneToJson(const SceneSpec& scene);

}  // namespace tb::scene
