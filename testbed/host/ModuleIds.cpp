// How plug-ins name modules to the host: installed-effect keys and AEGP plug-in ids.
#include "testbed/host/Host.h"

namespace tb {

AEGP_InstalledEffectKey Host::installedKey(const Module& module) const {
  for (size_t i = 0; i < modules_.size(); ++i) {
    if (modules_[i].get() == &module)
      return static_cast<AEGP_InstalledEffectKey>(i + 1);
  }
  return 0;
}

Module* Host::moduleByKey(AEGP_InstalledEffectKey key) const {
  if (key < 1 || static_cast<size_t>(key) > modules_.size())
    return nullptr;
  Module* module = modules_[key - 1].get();
  return module->isEffect() ? module : nullptr;
}

AEGP_PluginID Host::registerPlugin(const std::string& name) {
  (void)name;
  return nextPluginId_++;
}

A_Err Host::checkPluginId(AEGP_PluginID id, const char* function) {
  const Module* module = currentTarget().module;
  if (!module || (module->pluginId != 0 && id == module->pluginId))
    return A_Err_NONE;
  ledger_.violation(std::string(function) + ": plug-in id " + std::to_string(id) +
                    " is not the module's (" + std::to_string(module->pluginId) + ")");
  return A_Err_PARAMETER;
}

}  // namespace tb
