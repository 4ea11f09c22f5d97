#include "testbed/host/Host.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "common/MeshSlot.h"
#include "testbed/host/Callbacks.h"
#include "testbed/host/CommandNames.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamRegistry.h"
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

Module& Host::load(const std::string& path, bool private_copy) {
  modules_.push_back(std::make_unique<Module>(path, private_copy));
  Module& module = *modules_.back();
  if (module.isEffect()) {
    globalSetup(module);
    paramsSetup(module);
  } else {
    module.pluginId = registerPlugin(module.name());
    CommandReport report = runCommand({&module, nullptr}, "entry", [&] {
      module.globalSetupErr =
          module.generalEntry()(basicSuite(), 1, 0, module.pluginId, &module.globalRefcon);
    });
    for (const std::string& held : report.held) {
      module.globalSetupProblems.push_back("held after start-up: " + held);
    }
    module.globalSetupDone = true;
  }
  return module;
}

Module* Host::moduleByMatchName(const std::string& match_name) const {
  for (const auto& m : modules_) {
    if (m->isEffect() && m->matchName() == match_name)
      return m.get();
  }
  return nullptr;
}

void Host::globalSetup(Module& module) {
  CommandResult r = send({&module, nullptr}, PF_Cmd_GLOBAL_SETUP);
  module.globalSetupDone = true;
  module.globalSetupErr = r.err;
  module.globalOut = r.out;
  const Pipl& pipl = module.pipl();
  auto compare = [&](const char* what, int64_t expected, int64_t got) {
    if (expected != got) {
      char text[160];
      std::snprintf(text, sizeof text, "%s 0x%08llX differs from the PiPL's 0x%08llX", what,
                    static_cast<unsigned long long>(got),
                    static_cast<unsigned long long>(expected));
      module.globalSetupProblems.push_back(text);
    }
  };
  try {
    compare("my_version", pipl.number("AE_Effect_Version"), r.out.my_version);
    compare("out_flags", pipl.number("AE_Effect_Global_OutFlags"),
            static_cast<A_u_long>(r.out.out_flags));
    compare("out_flags2", pipl.number("AE_Effect_Global_OutFlags_2"),
            static_cast<A_u_long>(r.out.out_flags2));
  } catch (const std::exception&) {
    module.globalSetupProblems.push_back("the PiPL holds a value that is not a number");
  }
  for (const std::string& held : r.report.held) {
    module.globalSetupProblems.push_back("held after GLOBAL_SETUP: " + held);
  }
}

void Host::paramsSetup(Module& module) {
  beginParamsSetup(module);
  CommandResult r = send({&module, nullptr}, PF_Cmd_PARAMS_SETUP);
  module.paramsSetupDone = true;
  module.paramsSetupErr = r.err;
  module.numParams = r.out.num_params;
  endParamsSetup(module);
  for (const std::string& held : r.report.held)
    module.paramProblems.push_back("held after PARAMS_SETUP: " + held);
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

CommandReport Host::runCommand(CommandTarget target, const std::string& command,
                               const std::function<void()>& body) {
  const std::string module = target.module ? moduleLabel(*target.module) : std::string();
  ledger_.beginCommand(module + " " + command, module, command);
  stack_.push_back(target);
  body();
  stack_.pop_back();
  CommandReport report = ledger_.endCommand();
  // Quiet-errors mode does not outlive the command that started it.
  log_.quietDepth -= report.quietLeftOn;
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

// Sequence data is the module's to dispose in setdown, or when it replaces it in resetup or
// flatten; anywhere else the instance would be left with a dead handle.
bool Host::maySequenceDataGo(PF_Handle h) const {
  const CommandTarget target = currentTarget();
  if (!target.effect || target.effect->sequenceData != h)
    return true;
  const std::string command = ledger_.currentCommand();
  return command == commandName(PF_Cmd_SEQUENCE_SETDOWN) ||
         command == commandName(PF_Cmd_SEQUENCE_RESETUP) ||
         command == commandName(PF_Cmd_SEQUENCE_FLATTEN);
}

void Host::quit() {
  closeProject();
  for (const auto& module : modules_) {
    if (module->isEffect() && module->globalSetupDone)
      send({module.get(), nullptr}, PF_Cmd_GLOBAL_SETDOWN);
  }
  for (const auto& [owner, count] : handles_.liveByOwner())
    ledger_.violation({owner, "quit", "handle leaked x" + std::to_string(count)});
}

// Copies what the stand-in renderer is given before it sees it, so that tests read the record
// exactly as it arrived, whatever the sender does with it afterwards.
void Host::recordEngineDelivery(CommandTarget target, PF_Cmd cmd, const void* extra) {
  if (cmd != PF_Cmd_COMPLETELY_GENERAL || !extra || target.module->matchName() != "ZEK TOLV_Engine")
    return;
  const auto* bytes = static_cast<const unsigned char*>(extra);
  std::vector<unsigned char> copy;
  if (!spareRecordBytes_.empty()) {
    copy = std::move(spareRecordBytes_.back());
    spareRecordBytes_.pop_back();
  }
  copy.assign(bytes, bytes + kMeshSlotBytes);
  engineRecords_.push_back({target.effect, std::move(copy)});
}

// A render loop clears the records after each frame; their storage is kept for the next ones, so
// that a record costs one copy and not a fresh block of pages each time.
void Host::clearEngineRecords() {
  constexpr size_t kKeptRecords = 4;
  for (EngineRecord& record : engineRecords_) {
    if (spareRecordBytes_.size() < kKeptRecords)
      spareRecordBytes_.push_back(std::move(record.bytes));
  }
  engineRecords_.clear();
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

CommandTarget Host::currentTarget() const {
  return stack_.empty() ? CommandTarget{} : stack_.back();
}

AEGP_PluginID Host::registerPlugin(const std::string& name) {
  (void)name;
  return nextPluginId_++;
}

const void* poisonAddress() {
  static const char block[64] = {};
  return block;
}

A_Err Host::checkPluginId(AEGP_PluginID id, const char* function) {
  const Module* module = currentTarget().module;
  if (!module || (module->pluginId != 0 && id == module->pluginId))
    return A_Err_NONE;
  ledger_.violation(std::string(function) + ": plug-in id " + std::to_string(id) +
                    " is not the module's (" + std::to_string(module->pluginId) + ")");
  return A_Err_PARAMETER;
}

PF_Handle Host::newHandle(A_u_longlong size, const Module* owner) {
  if (!ledger_.allowHandle())
    return nullptr;
  if (!owner)
    owner = currentTarget().module;
  return handles_.allocate(size, owner ? moduleLabel(*owner) : std::string());
}

bool Host::isHandle(PF_Handle h) const {
  return handles_.live(h);
}

void Host::disposeHandle(PF_Handle h) {
  if (handles_.live(h) && !maySequenceDataGo(h))
    ledger_.violation("host_dispose_handle: disposed the instance's sequence data");
  if (!handles_.dispose(h))
    ledger_.violation("host_dispose_handle: not a live handle");
}

A_u_longlong Host::handleSize(PF_Handle h) const {
  return handles_.size(h);
}

PF_Err Host::resizeHandle(A_u_longlong size, PF_Handle* h) {
  if (!h || !isHandle(*h))
    return PF_Err_BAD_CALLBACK_PARAM;
  if (!ledger_.allowHandle())
    return PF_Err_OUT_OF_MEMORY;
  return handles_.resize(*h, size) ? PF_Err_NONE : PF_Err_OUT_OF_MEMORY;
}

size_t Host::liveHandles() const {
  return handles_.liveCount();
}

}  // namespace tb
