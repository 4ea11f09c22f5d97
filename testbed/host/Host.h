// The testbed host: loads plug-in modules, serves their host calls, and sends them commands.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/Ledger.h"
#include "testbed/host/Model.h"
#include "testbed/host/Module.h"
#include "testbed/host/SuiteTable.h"

namespace tb {

// What plug-ins asked the host to show or run, in order.
struct HostLog {
  std::vector<std::string> alerts;
  std::vector<std::string> scripts;
  int quietDepth = 0;  // nesting of AEGP_StartQuietErrors
};

// A record delivered to the stand-in renderer, copied byte for byte before delivery.
struct EngineRecord {
  const Effect* effect = nullptr;
  std::vector<unsigned char> bytes;
};

struct CommandResult {
  PF_Err err = PF_Err_NONE;
  PF_OutData out = {};
  CommandReport report;
};

// What a command is about: the module, and the effect instance for instance commands.
struct CommandTarget {
  Module* module = nullptr;
  Effect* effect = nullptr;
};

class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The live host that plug-in calls reach; there is one at a time.
  static Host& current();

  Ledger& ledger() { return ledger_; }
  SuiteTable& suites() { return suites_; }
  Project& project() { return project_; }
  HostLog& log() { return log_; }

  // Loads a module and starts it as the host does: an effect gets GLOBAL_SETUP (its flags and
  // version compared with its PiPL) and then PARAMS_SETUP, a general plug-in its entry call.
  // Throws HostError.
  Module& load(const std::string& path, bool private_copy = false);
  const std::vector<std::unique_ptr<Module>>& modules() const { return modules_; }
  Module* moduleByMatchName(const std::string& match_name) const;

  // Sends one command to an effect module (and instance), with fresh PF_InData and PF_OutData.
  CommandResult send(CommandTarget target, PF_Cmd cmd, PF_ParamDef** params = nullptr,
                     PF_LayerDef* output = nullptr, void* extra = nullptr);
  // Fills PF_InData as the host does for a command on the target.
  void fillInData(CommandTarget target, PF_InData* in_data);

  // The command in progress, innermost first; null outside commands.
  CommandTarget currentTarget() const;

  // Host handles given to plug-ins (sequence data and the like).
  PF_Handle newHandle(A_u_longlong size);
  bool isHandle(PF_Handle h) const;
  void disposeHandle(PF_Handle h);
  A_u_longlong handleSize(PF_Handle h) const;
  PF_Err resizeHandle(A_u_longlong size, PF_Handle* h);
  size_t liveHandles() const;

  // AEGP registration: distinct ids per module.
  AEGP_PluginID registerPlugin(const std::string& name);

  // The installed-effect key of a loaded effect module, and back (0 / null when unknown).
  AEGP_InstalledEffectKey installedKey(const Module& module) const;
  Module* moduleByKey(AEGP_InstalledEffectKey key) const;

  // Compositions and layers.
  Comp& addComp(const std::string& name, A_long width, A_long height);
  Layer& addLayer(Comp& comp, const std::string& name, A_long width, A_long height);

  // Effect stacks, with the sequence commands the host sends. Applying appends the effect at the
  // bottom of the stack, gives it the module's parameter defaults and sends SEQUENCE_SETUP (its
  // result in *setup when asked). Duplicating puts a copy below the original with a copy of its
  // flat sequence bytes and sends SEQUENCE_RESETUP. Removing sends SEQUENCE_SETDOWN.
  Effect& applyEffect(Layer& layer, Module& module, CommandResult* setup = nullptr);
  Effect& duplicateEffect(Effect& effect, CommandResult* resetup = nullptr);
  void removeEffect(Effect& effect);
  void moveEffect(Effect& effect, int new_index);
  // Sends an instance command to an applied effect.
  CommandResult sendToEffect(Effect& effect, PF_Cmd cmd, void* extra = nullptr);

  // Projects. Saving writes every composition, layer and effect (parameter values and flat
  // sequence bytes) to a temporary file and renames it over path. Closing sends SETDOWN to every
  // effect. Opening closes the current project, rebuilds the saved one and gives every effect its
  // saved bytes back in a new handle with SEQUENCE_RESETUP. Throws HostError.
  void saveProject(const std::string& path);
  void closeProject();
  void openProject(const std::string& path);

  // Host reference objects handed to plug-ins (effect and stream references): owned by the host,
  // held in the ledger under kind until disposed.
  template <class T, class... Args>
  T* newRef(const char* kind, Args&&... args) {
    auto ref = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = ref.get();
    refs_[raw] = std::move(ref);
    ledger_.hold(raw, kind);
    return raw;
  }
  // Disposes a reference made by newRef; false when it is not one (stale, doubled or foreign).
  bool disposeRef(const void* ref);

  // Every record delivered to a "ZEK TOLV_Engine" instance, in arrival order.
  const std::vector<EngineRecord>& engineRecords() const { return engineRecords_; }
  void clearEngineRecords() { engineRecords_.clear(); }

 private:
  void globalSetup(Module& module);
  // PARAMS_SETUP once, right after a successful global setup, as the host does.
  void paramsSetup(Module& module);
  void adoptSequenceData(Effect& effect, PF_Cmd cmd, const PF_OutData& out);
  void recordEngineDelivery(CommandTarget target, PF_Cmd cmd, const void* extra);

  Ledger ledger_;
  SuiteTable suites_;
  Project project_;
  HostLog log_;
  std::vector<std::unique_ptr<Module>> modules_;
  std::vector<CommandTarget> stack_;
  struct Handles;
  std::unique_ptr<Handles> handles_;
  AEGP_PluginID nextPluginId_ = 1;
  std::map<const void*, std::unique_ptr<HostObject>> refs_;
  std::vector<EngineRecord> engineRecords_;
};

// Every suite function starts with this: the call is counted and may be failed on purpose.
#define TB_ENTER()                                                           \
  do {                                                                       \
    if (A_Err tb_injected_ = ::tb::Host::current().ledger().enter(__func__)) \
      return tb_injected_;                                                   \
  } while (0)

}  // namespace tb
