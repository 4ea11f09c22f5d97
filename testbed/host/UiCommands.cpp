// UI commands: a parameter changed by the user, the effect's controls brought up to date, and the
// question of which flags the instance needs now.
#include "testbed/host/UiCommands.h"

#include "testbed/host/Host.h"
#include "testbed/host/ParamKeys.h"
#include "testbed/host/ParamValues.h"

namespace tb {

namespace {

std::pair<PF_OutFlags, PF_OutFlags2> currentFlags(const Effect& effect) {
  if (effect.dynamicFlags)
    return *effect.dynamicFlags;
  return {effect.module->globalOut.out_flags, effect.module->globalOut.out_flags2};
}

}  // namespace

void prefillOutData(const Effect* effect, PF_Cmd cmd, PF_OutData* out) {
  if (cmd != PF_Cmd_QUERY_DYNAMIC_FLAGS || !effect || !isLive(effect))
    return;
  const auto [flags, flags2] = currentFlags(*effect);
  out->out_flags = flags;
  out->out_flags2 = flags2;
}

void Host::userChangedParam(Effect& effect, int index) {
  if (effect.params.at(static_cast<size_t>(index)).flags & PF_ParamFlag_SUPERVISE) {
    ParamCopies params(effect, currentLayerSeconds(effect));
    PF_UserChangedParamExtra extra{index};
    send({effect.module, &effect}, PF_Cmd_USER_CHANGED_PARAM, params.array(), nullptr, &extra);
  }
  if (lookup<Effect>(&effect))
    updateParamsUI(effect);
}

void Host::updateParamsUI(Effect& effect) {
  if (effect.module->globalOut.out_flags & PF_OutFlag_SEND_UPDATE_PARAMS_UI) {
    ParamCopies params(effect, currentLayerSeconds(effect));
    send({effect.module, &effect}, PF_Cmd_UPDATE_PARAMS_UI, params.array());
  }
  if (lookup<Effect>(&effect))
    queryDynamicFlags(effect);
}

// The answer of a command that failed is not taken.
void Host::queryDynamicFlags(Effect& effect) {
  if (!(effect.module->globalOut.out_flags2 & PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS))
    return;
  ParamCopies params(effect, currentLayerSeconds(effect));
  CommandResult r = send({effect.module, &effect}, PF_Cmd_QUERY_DYNAMIC_FLAGS, params.array());
  if (!lookup<Effect>(&effect))
    return;
  if (r.err == PF_Err_NONE)
    effect.dynamicFlags = {{r.out.out_flags, r.out.out_flags2}};
  SentCommand& sent = log_.sent.back();
  sent.outFlags = r.out.out_flags;
  sent.outFlags2 = r.out.out_flags2;
}

}  // namespace tb
