// A parsed scene turned into the testbed's model: the composition, its layers with transforms,
// masks and pixels, their effects applied by match name with the scene's parameter values, and
// the selection. What the parser could not check (match names, parameter indices and types,
// images on disk) is checked here, with the same kind of message.
#pragma once

#include "testbed/host/Host.h"
#include "testbed/scene/SceneParse.h"

namespace tb::scene {

// Builds the scene into the host's project; throws SceneError. The modules must be loaded.
Comp& buildScene(Host& host, const SceneSpec& parsed);

// Checks that `value` fits parameter `index` of the effect (`at`: its place in the scene file);
// throws SceneError. With apply, also sets it, as the user would in the effect's controls.
void setParam(Host& host, Effect& effect, int index, const ParamValue& value, const KeyPath& at,
              bool apply);

}  // namespace tb::scene
