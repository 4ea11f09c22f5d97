// A plug-in module loaded as the host loads it: its own globals, its PiPL, its entry point.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/Pipl.h"

namespace tb {

class Module {
 public:
  // Loads the module at path with the PiPL beside it (same name, ending ".r"). A private copy is
  // loaded from a copy of the file, so that it starts with fresh globals. Throws HostError.
  Module(const std::string& path, bool private_copy);
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  const std::string& path() const { return path_; }
  const Pipl& pipl() const { return pipl_; }
  bool isEffect() const { return effectEntry_ != nullptr; }
  std::string matchName() const { return pipl_.text("AE_Effect_Match_Name"); }
  std::string name() const { return pipl_.text("Name"); }

  PF_EntryPointFunc effectEntry() const { return effectEntry_; }
  AEGP_EntryPointFunc generalEntry() const { return generalEntry_; }

  // Filled in as the host talks to the module.
  AEGP_PluginID pluginId = 0;                // from AEGP_RegisterWithAEGP (effects) or the host
  std::string registeredName;                // the name given to AEGP_RegisterWithAEGP
  AEGP_GlobalRefcon globalRefcon = nullptr;  // what a general plug-in's entry point set
  bool globalSetupDone = false;
  PF_Err globalSetupErr = PF_Err_NONE;
  PF_OutData globalOut = {};
  std::vector<std::string> globalSetupProblems;  // flags or version that differ from the PiPL
  bool paramsSetupDone = false;
  PF_Err paramsSetupErr = PF_Err_NONE;
  A_long numParams = 0;                // as set by the module in PARAMS_SETUP
  std::vector<PF_ParamDef> paramDefs;  // as added, in order; index 0 is the input layer
  // The popup items and checkbox labels of paramDefs: the host keeps its own copies, since the
  // texts the module passed live in its memory. A deque keeps each copy where it is.
  std::deque<std::string> paramTexts;
  std::vector<std::string> paramProblems;  // records the host found damaged when they were added

 private:
  std::string path_;
  std::string loadedPath_;
  void* dl_ = nullptr;
  Pipl pipl_;
  PF_EntryPointFunc effectEntry_ = nullptr;
  AEGP_EntryPointFunc generalEntry_ = nullptr;
};

}  // namespace tb
