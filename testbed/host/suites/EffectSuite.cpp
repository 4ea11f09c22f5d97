// "AEGP Effect Suite" versions 2 and 3: the effects of a layer, their names, and calling one.
#include <algorithm>
#include <cstring>

#include "testbed/host/Module.h"
#include "testbed/host/suites/HostRefs.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// Bytes the host writes past a name's terminator: the caller's buffer must take the longest name.
constexpr char kGarbage = '\xA5';

// Writes name, terminator, then garbage to fill max_size + 1 bytes, as a host that copies its
// fixed-size field whole would.
void writeFixedName(const std::string& name, A_long max_size, A_char* out) {
  size_t length = std::min(name.size(), static_cast<size_t>(max_size));
  std::memcpy(out, name.data(), length);
  out[length] = '\0';
  std::memset(out + length + 1, kGarbage, static_cast<size_t>(max_size) - length);
}

A_Err AEGP_GetLayerNumEffects(AEGP_LayerH layerH, A_long* num_effectsPL) {
  TB_ENTER(num_effectsPL);
  Layer* layer = layerOf(layerH);
  if (!layer || !num_effectsPL)
    return A_Err_PARAMETER;
  *num_effectsPL = static_cast<A_long>(layer->effects.size());
  return A_Err_NONE;
}

A_Err AEGP_GetLayerEffectByIndex(AEGP_PluginID plugin_id, AEGP_LayerH layerH,
                                 AEGP_EffectIndex index, AEGP_EffectRefH* effectPH) {
  TB_ENTER_AS(plugin_id, effectPH);
  Layer* layer = layerOf(layerH);
  if (!layer || !effectPH)
    return A_Err_PARAMETER;
  if (index < 0 || static_cast<size_t>(index) >= layer->effects.size())
    return A_Err_PARAMETER;
  *effectPH = reinterpret_cast<AEGP_EffectRefH>(
      Host::current().newRef<EffectRefObject>("effect ref", layer->effects[index].get()));
  return A_Err_NONE;
}

A_Err AEGP_GetInstalledKeyFromLayerEffect(AEGP_EffectRefH effect_refH,
                                          AEGP_InstalledEffectKey* installed_keyP) {
  TB_ENTER(installed_keyP);
  Effect* effect = effectOf(effect_refH);
  if (!effect || !installed_keyP)
    return A_Err_PARAMETER;
  *installed_keyP = Host::current().installedKey(*effect->module);
  return A_Err_NONE;
}

// Runs the command synchronously on the caller's thread, as a nested command of the caller's, at
// the composition time given.
A_Err AEGP_EffectCallGeneric(AEGP_PluginID plugin_id, AEGP_EffectRefH effectH, const A_Time* timePT,
                             PF_Cmd effect_cmd, void* effect_extraPV) {
  TB_ENTER_AS(plugin_id);
  Effect* effect = effectOf(effectH);
  if (!effect || !timePT || timePT->scale == 0)
    return A_Err_PARAMETER;
  return Host::current().sendToEffectAt(*effect, effect_cmd, *timePT, effect_extraPV).err;
}

A_Err AEGP_DisposeEffect(AEGP_EffectRefH effectH) {
  TB_ENTER();
  if (!resolveToEnd<EffectRefObject>(effectH, "effect reference"))
    return A_Err_PARAMETER;
  return disposeRefChecked(effectH, "effect reference");
}

A_Err AEGP_GetEffectName(AEGP_InstalledEffectKey installed_key, A_char* nameZ) {
  TB_ENTER(OutText{nameZ, AEGP_MAX_EFFECT_NAME_SIZE + 1});
  Module* module = Host::current().moduleByKey(installed_key);
  if (!module || !nameZ)
    return A_Err_PARAMETER;
  writeFixedName(module->name(), AEGP_MAX_EFFECT_NAME_SIZE, nameZ);
  return A_Err_NONE;
}

A_Err AEGP_GetEffectMatchName(AEGP_InstalledEffectKey installed_key, A_char* matchnameZ) {
  TB_ENTER(OutText{matchnameZ, AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1});
  Module* module = Host::current().moduleByKey(installed_key);
  if (!module || !matchnameZ)
    return A_Err_PARAMETER;
  writeFixedName(module->matchName(), AEGP_MAX_EFFECT_MATCH_NAME_SIZE, matchnameZ);
  return A_Err_NONE;
}

template <class Suite>
Suite effectSuite() {
  return {AEGP_GetLayerNumEffects, AEGP_GetLayerEffectByIndex, AEGP_GetInstalledKeyFromLayerEffect,
          AEGP_EffectCallGeneric,  AEGP_DisposeEffect,         AEGP_GetEffectName,
          AEGP_GetEffectMatchName};
}

const AEGP_EffectSuite2 kEffect2 = effectSuite<AEGP_EffectSuite2>();
const AEGP_EffectSuite3 kEffect3 = effectSuite<AEGP_EffectSuite3>();

}  // namespace

void registerEffectSuites(SuiteTable& table) {
  table.add(kAEGPEffectSuite, 2, &kEffect2);
  table.add(kAEGPEffectSuite, 3, &kEffect3);
}

}  // namespace tb
