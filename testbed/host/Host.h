// The testbed host: loads plug-in modules, serves their host calls, and sends them commands.
#pragma once

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

 private:
  void globalSetup(Module& module);
  // PARAMS_SETUP once, right after global setup, as the host does.
  void paramsSetup(Module& module);

  Ledger ledger_;
  SuiteTable suites_;
  Project project_;
  HostLog log_;
  std::vector<std::unique_ptr<Module>> modules_;
  std::vector<CommandTarget> stack_;
  struct Handles;
  std::unique_ptr<Handles> handles_;
  AEGP_PluginID nextPluginId_ = 1;
};

// Every suite function starts with this: the call is counted and may be failed on purpose.
#define TB_ENTER()                                                           \
  do {                                                                       \
    if (A_Err tb_injected_ = ::tb::Host::current().ledger().enter(__func__)) \
      return tb_injected_;                                                   \
  } while (0)

}  // namespace tb
