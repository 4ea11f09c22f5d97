// Starting and stopping modules as the host does: global and parameter setup of an effect, the
// entry call of a general plug-in, and quitting with the setdown of everything.
#include "testbed/host/Host.h"

#include <cstdio>

#include "testbed/host/ParamRegistry.h"

namespace tb {

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

void Host::quit() {
  closeProject();
  for (const auto& module : modules_) {
    if (module->isEffect() && module->globalSetupDone)
      send({module.get(), nullptr}, PF_Cmd_GLOBAL_SETDOWN);
  }
  for (const auto& [owner, count] : handles_.liveByOwner())
    ledger_.violation({owner, "quit", "handle leaked x" + std::to_string(count)});
}

}  // namespace tb
