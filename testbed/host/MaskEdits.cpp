// Deleting a mask, as the user does in the timeline.
#include <algorithm>

#include "testbed/host/Host.h"

namespace tb {

// The other masks keep their path ids. A path parameter that chose the deleted mask chooses none
// from then on, as the host shows it.
bool Host::deleteMask(Layer& layer, PF_PathID id) {
  auto& masks = layer.masks;
  const auto it =
      std::find_if(masks.begin(), masks.end(), [&](const Mask& m) { return m.id == id; });
  if (id == 0 || it == masks.end())
    return false;
  masks.erase(it);
  for (const auto& effect : layer.effects) {
    for (PF_ParamDef& param : effect->params) {
      if (param.param_type == PF_Param_PATH && param.u.path_d.path_id == id)
        param.u.path_d.path_id = 0;
    }
  }
  return true;
}

}  // namespace tb
