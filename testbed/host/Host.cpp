#include "testbed/host/Host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "testbed/host/Callbacks.h"
#include "testbed/host/CommandNames.h"
#include "testbed/host/HostError.h"
#include "testbed/host/UiCommands.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {
Host* g_current = nullptr;

A_long at(std::optional<A_Time> t) {
  return t ? t->value : 0;
}

// Times at the scale of `now`, a composition time; the effect sees its layer's time, which starts
// where the layer does.
void fillTimes(const Layer& layer, A_Time now, PF_InData* in_data) {
  const Comp& comp = *layer.comp;
  in_data->current_time = at(compToEffectTime(now, layer.start));
  in_data->time_scale = now.scale;
  in_data->time_step = at(rescaleTime(frameDuration(comp.fps), now.scale));
  in_data->local_time_step = in_data->time_step;
  in_data->total_time = at(rescaleTime(comp.duration, now.scale));
}
}  // namespace

std::string moduleLabel(const Module& module) {
  return module.isEffect() ? module.matchName() : module.name();
}

Host::Host() {
  if (g_current)
    throw HostError("only one testbed host may run at a time");
  g_current = this;
  registerAllSuites(suites_);
}

Host::~Host() {
  project_.comps.clear();
  refs_.clear();
  g_current = nullptr;
}

Host& Host::current() {
  if (!g_current)
    std::abort();  // a plug-in called the host with no host running
  return *g_current;
}

void Host::fillInData(CommandTarget target, PF_InData* in_data) {
  std::memset(in_data, 0, sizeof *in_data);
  in_data->inter = interactCallbacks();
  in_data->utils = utilCallbacks();
  in_data->effect_ref = reinterpret_cast<PF_ProgPtr>(target.effect);
  in_data->version = {13, 28};
  in_data->appl_id = 0x46585443;  // 'FXTC'
  in_data->pica_basicP = basicSuite();
  in_data->time_scale = 1;
  in_data->time_step = 1;
  in_data->downsample_x = {1, 1};
  in_data->downsample_y = {1, 1};
  in_data->pixel_aspect_ratio = {1, 1};
  if (target.effect) {
    in_data->sequence_data = target.effect->sequenceData;
    if (const Layer* layer = target.effect->layer) {
      in_data->width = layer->width;
      in_data->height = layer->height;
      in_data->extent_hint = {0, 0, layer->width, layer->height};
      // A command sent at a time sees it; otherwise the frame being rendered, else the
      // composition's current time.
      fillTimes(*layer,
                callTime_ ? *callTime_
                : frame_  ? frame_->time
                          : layer->comp->currentTime,
                in_data);
      if (frame_) {
        in_data->downsample_x = frame_->downsampleX;
        in_data->downsample_y = frame_->downsampleY;
      }
    }
  }
  if (target.module)
    in_data->num_params = target.module->numParams;
}

CommandResult Host::send(CommandTarget target, PF_Cmd cmd, PF_ParamDef** params,
                         PF_LayerDef* output, void* extra) {
  if (!target.module || !target.module->isEffect()) {
    throw HostError("a command can only be sent to an effect module");
  }
  CommandResult result;
  prefillOutData(target.effect, cmd, &result.out);
  PF_InData in_data;
  fillInData(target, &in_data);
  result.report = runCommand(target, commandName(cmd), [&] {
    recordEngineDelivery(target, cmd, extra);
    result.err = target.module->effectEntry()(cmd, &in_data, &result.out, params, output, extra);
  });
  const std::string module = moduleLabel(*target.module);
  if (!std::memchr(result.out.return_msg, '\0', sizeof result.out.return_msg)) {
    ledger_.violation({module, commandName(cmd), "return_msg is not terminated within its field"});
    result.out.return_msg[sizeof result.out.return_msg - 1] = '\0';
  }
  if (target.effect && isLive(target.effect)) {
    adoptSequenceData(*target.effect, cmd, result.out);
    logSent(target, cmd, result);
  } else if (result.out.sequence_data) {
    ledger_.violation({module, commandName(cmd), "handed back sequence data without an instance"});
  }
  return result;
}

namespace {

// The serial of the newest live reference; every reference made later has a greater one.
uint64_t newestSerial(const RefRegistry& refs) {
  uint64_t newest = 0;
  refs.forEach([&](const void* ref) { newest = std::max(newest, refs.serial(ref)); });
  return newest;
}

// References a command took and left held (its violations already say so) end with it, so that a
// later command using one is refused as stale instead of served. Text handles a script run filled
// are the plug-in's to keep.
void endReferencesLeftSince(RefRegistry& refs, uint64_t serial) {
  std::vector<const void*> left;
  refs.forEach([&](const void* ref) {
    if (refs.serial(ref) > serial && !lookup<MemHandleObject>(ref))
      left.push_back(ref);
  });
  for (const void* ref : left)
    refs.dispose(ref);
}

}  // namespace

CommandReport Host::runCommand(CommandTarget target, const std::string& command,
                               const std::function<void()>& body) {
  const std::string module = target.module ? moduleLabel(*target.module) : std::string();
  const uint64_t before = newestSerial(refs_);
  ledger_.beginCommand(module + " " + command, module, command);
  stack_.push_back(target);
  body();
  stack_.pop_back();
  CommandReport report = ledger_.endCommand();
  // Quiet-errors mode does not outlive the command that started it.
  log_.quietDepth -= report.quietLeftOn;
  endReferencesLeftSince(refs_, before);
  return report;
}

// The host keeps the handle a module gives back; SETDOWN ends it.
// Setdown must end with no sequence data, and what a module hands back must be a live handle.
void Host::adoptSequenceData(Effect& effect, PF_Cmd cmd, const PF_OutData& out) {
  auto fault = [&](const std::string& what) {
    ledger_.violation({moduleLabel(*effect.module), commandName(cmd), what});
  };
  if (cmd == PF_Cmd_SEQUENCE_SETDOWN) {
    if (out.sequence_data)
      fault("handed back sequence data after setdown");
    effect.sequenceData = nullptr;
    return;
  }
  if (out.sequence_data && !handles_.live(out.sequence_data)) {
    fault("handed back sequence data that is not a live handle");
  } else if (out.sequence_data) {
    effect.sequenceData = out.sequence_data;
  }
  // A module that disposed its data (unflattening, say) and handed nothing back has none.
  if (effect.sequenceData && !handles_.live(effect.sequenceData))
    effect.sequenceData = nullptr;
  if (out.flat_sdata_size)
    effect.flatSize = out.flat_sdata_size;
}

void Host::logSent(CommandTarget target, PF_Cmd cmd, const CommandResult& result) {
  const Effect& effect = *target.effect;
  SentCommand sent;
  sent.layer = effect.layer ? effect.layer->name : std::string();
  sent.effect = effectIndex(effect);
  sent.matchName = target.module->matchName();
  sent.cmd = cmd;
  sent.err = result.err;
  sent.held = result.report.held;
  log_.sent.push_back(std::move(sent));
}

bool Host::disposeRef(const void* ref) {
  if (!refs_.dispose(ref))
    return false;
  ledger_.release(ref);
  return true;
}

CommandTarget Host::currentTarget() const {
  return stack_.empty() ? CommandTarget{} : stack_.back();
}

A_Err Host::enterCall(const char* function) {
  call_ = function;
  return ledger_.enter(function);
}

void Host::refusedHandle(const void* handle, const char* what) {
  const std::string kind = kindOf(handle);
  std::string text = std::string(call_) + ": ";
  if (handle == poisonAddress())
    text += std::string(what) + " is the poison a failed call left";
  else if (!kind.empty())
    text += std::string(what) + " given is " + (kind[0] == 'e' ? "an " : "a ") + kind;
  else
    text += std::string("not a live ") + what;
  ledger_.violation(std::move(text));
}

const void* poisonAddress() {
  static const char block[64] = {};
  return block;
}

void poison(AEGP_StreamValue2* out) {
  if (!out)
    return;
  std::memset(static_cast<void*>(out), 0x5A, sizeof *out);
  poison(&out->streamH);
}

void poison(OutText out) {
  if (!out.text || out.size == 0)
    return;
  std::memset(out.text, 'Z', out.size - 1);
  out.text[out.size - 1] = '\0';
}

}  // namespace tb
