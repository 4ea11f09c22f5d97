// Reading scene files. Every fault gives one SceneError whose message names the file, the place
// (line and column for a JSON syntax error, otherwise the key path such as
// `layers[0].effects[1].params.85`) and what is wrong.
#pragma once

#include <string>

#include "testbed/scene/KeyPath.h"
#include "testbed/scene/Scene.h"

namespace tb::scene {

// `fileName` names the text in messages and gives the folder relative paths start from.
SceneSpec parseScene(const std::string& text, const std::string& fileName);

SceneSpec loadScene(const std::string& path);

}  // namespace tb::scene
