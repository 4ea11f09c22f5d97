// The testbed host: loads plug-in modules, serves their host calls, and sends them commands.
#pragma once

#include <cstring>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/HandleHeap.h"
#include "testbed/host/Ledger.h"
#include "testbed/host/Model.h"
#include "testbed/host/Module.h"
#include "testbed/host/RefRegistry.h"
#include "testbed/host/SuiteTable.h"

namespace tb {

// One command sent to an effect instance, with its result.
struct SentCommand {
  static constexpr PF_Cmd kIdleHook = -1;         // an idle hook's run, not an effect command
  static constexpr A_long kDefaultMaxSleep = 50;  // ms: what the host offers each idle hook
  std::string layer;
  int effect = -1;        // index in the layer's stack
  std::string matchName;  // for an idle hook, the module's name
  PF_Cmd cmd = 0;
  PF_Err err = PF_Err_NONE;
  std::vector<std::string> held;  // what the command left held
  // An idle hook: max_sleep as the hook left it (given kDefaultMaxSleep).
  A_long maxSleep = 0;
  // QUERY_DYNAMIC_FLAGS: the flags the instance answered with.
  PF_OutFlags outFlags = 0;
  PF_OutFlags2 outFlags2 = 0;
};

// One PF_UpdateParamUI: the control and the flags the effect published for it.
struct ParamUiUpdate {
  std::string layer;
  int effect = -1;
  int param = 0;
  PF_ParamUIFlags uiFlags = 0;
  PF_ParamFlags flags = 0;
};

// One AEGP_ExecuteScript: the text, the status returned, and the message of the error that stopped
// the script (empty when it ran to the end).
struct ScriptRun {
  std::string text;
  A_Err err = A_Err_NONE;
  std::string error;
};

// What plug-ins asked the host to show or run, and what the host sent, in order.
struct HostLog {
  std::vector<std::string> alerts;  // as shown: line breaks kept
  std::vector<ScriptRun> scripts;
  int quietDepth = 0;                  // nesting of AEGP_StartQuietErrors
  std::vector<AEGP_Command> commands;  // AEGP_DoCommand
  std::vector<std::string> lightsCreated;
  std::vector<std::string> lightsDeleted;
  std::vector<SentCommand> sent;  // instance commands
  std::vector<ParamUiUpdate> paramUi;
};

struct IdleHookEntry {
  Module* module = nullptr;
  AEGP_PluginID plugin = 0;
  AEGP_IdleHook hook = nullptr;
  AEGP_IdleRefcon refcon = nullptr;
};

// The frame being rendered: commands sent meanwhile see its time and downsampling in PF_InData.
struct FrameContext {
  Comp* comp = nullptr;
  A_Time time{0, 1};
  PF_RationalScale downsampleX{1, 1};
  PF_RationalScale downsampleY{1, 1};
};

// A layer's final frame after its effect stack; none when an effect failed.
struct LayerFrame {
  Layer* layer = nullptr;
  std::optional<World> frame;
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

// How reports name a module: an effect by its match name, a general plug-in by its name.
std::string moduleLabel(const Module& module);

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
  const Project& project() const { return project_; }
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

  // Counts a host call (see TB_ENTER); the error it must fail with, or 0.
  A_Err enterCall(const char* function);
  // A handle that the call in progress cannot use as a `what` (a stale or foreign address, an
  // object of another kind, or poison): a violation of the call naming both.
  void refusedHandle(const void* handle, const char* what);

  // Runs one command of a module (an effect command, a general plug-in's entry or hook) under the
  // ledger, as the innermost command: what it leaves held is reported and is a violation of it.
  CommandReport runCommand(CommandTarget target, const std::string& command,
                           const std::function<void()>& body);

  // Host handles given to plug-ins (sequence data and the like).
  // A handle is accounted to owner, else to the module whose command is in progress.
  PF_Handle newHandle(A_u_longlong size, const Module* owner = nullptr);
  bool isHandle(PF_Handle h) const;
  void disposeHandle(PF_Handle h);
  A_u_longlong handleSize(PF_Handle h) const;
  PF_Err resizeHandle(A_u_longlong size, PF_Handle* h);
  size_t liveHandles() const;

  // AEGP registration: distinct ids per module.
  AEGP_PluginID registerPlugin(const std::string& name);
  // 0 when id is the one the module in command registered (or, for a general plug-in, was given
  // at its entry point) or when no module's command is in progress; else a violation and an error.
  A_Err checkPluginId(AEGP_PluginID id, const char* function);

  // The installed-effect key of a loaded effect module, and back (0 / null when unknown).
  AEGP_InstalledEffectKey installedKey(const Module& module) const;
  Module* moduleByKey(AEGP_InstalledEffectKey key) const;

  // Compositions and layers. A new composition runs at 25 fps for 10 seconds with the whole of
  // it as work area; the first one made becomes the active item.
  Comp& addComp(const std::string& name, A_long width, A_long height);
  // Throws HostError for a rate, duration or work area the host cannot count.
  void setCompTiming(Comp& comp, double fps, double duration, double workStart,
                     double workDuration);
  Layer& addLayer(Comp& comp, const std::string& name, A_long width, A_long height);
  Layer* layerById(const Comp& comp, AEGP_LayerIDVal id) const;
  Layer* parentOf(const Layer& layer) const;
  // False when parent is the layer itself or one of its descendants.
  bool setParent(Layer& layer, Layer* parent);
  // The layer-to-world matrix at a composition time, through the parent chain.
  A_Matrix4 layerToWorld(const Layer& layer, double seconds) const;
  // A point light at center, on top of the composition; logged as created.
  Layer& createLight(Comp& comp, const std::string& name, A_FloatPoint center);
  // Sends SETDOWN to the layer's effects, unparents its children and removes it.
  void deleteLayer(Layer& layer);
  // Adds a mask with a fresh path id; returns it.
  PF_PathID addMask(Layer& layer, const std::string& name, const Outline& outline);
  // Removes the mask; false when the layer has no mask of that id.
  bool deleteMask(Layer& layer, PF_PathID id);

  // Renders every layer with pixels from the top down: the layer's pixels go into its first
  // effect, each effect's output into the next, with PF_Cmd_RENDER at the given time.
  std::vector<LayerFrame> renderComp(Comp& comp, A_Time time, A_long downsampleX = 1,
                                     A_long downsampleY = 1);
  const FrameContext* frame() const { return frame_ ? &*frame_ : nullptr; }

  // Idle hooks registered through AEGP_RegisterIdleHook; runIdle calls each once per round.
  void addIdleHook(IdleHookEntry entry) { idleHooks_.push_back(entry); }
  const std::vector<IdleHookEntry>& idleHooks() const { return idleHooks_; }
  void runIdle(int rounds);

  // Effect stacks, with the sequence commands the host sends. Applying appends the effect at the
  // bottom of the stack, gives it the module's parameter defaults and sends SEQUENCE_SETUP (its
  // result in *setup when asked). Duplicating puts a copy below the original with a copy of its
  // flat sequence bytes and sends SEQUENCE_RESETUP. Removing sends SEQUENCE_SETDOWN.
  Effect& applyEffect(Layer& layer, Module& module, CommandResult* setup = nullptr);
  Effect& duplicateEffect(Effect& effect, CommandResult* resetup = nullptr);
  void removeEffect(Effect& effect);
  void moveEffect(Effect& effect, int new_index);
  // UI commands as the user's actions send them, each with copies of the effect's parameters: what
  // the plug-in writes into its params array stays there, and only PF_UpdateParamUI and stream
  // writes change the project. Changing a parameter sends USER_CHANGED_PARAM where the parameter
  // is supervised, then the update; the update sends UPDATE_PARAMS_UI where the module asked for
  // it; QUERY_DYNAMIC_FLAGS follows each update and each apply where the module supports it, with
  // out_data holding the instance's current flags, and its answer is kept in the effect.
  void userChangedParam(Effect& effect, int index);
  void updateParamsUI(Effect& effect);
  void queryDynamicFlags(Effect& effect);
  // Sends an instance command to an applied effect.
  CommandResult sendToEffect(Effect& effect, PF_Cmd cmd, void* extra = nullptr);
  // The same at a composition time, which the command sees in PF_InData and its reads take.
  CommandResult sendToEffectAt(Effect& effect, PF_Cmd cmd, A_Time compTime, void* extra);

  // Projects. Saving writes every composition, layer and effect (parameter values and keys,
  // dynamic flags and flat sequence bytes), the layers' starts, the project items and the active
  // item to a temporary file and renames it over path. Closing sends SETDOWN to every
  // effect. Opening reads the whole file into a new project; only when it was read without fault
  // is the current project closed and replaced, and every effect gets its saved bytes back in a
  // new handle with SEQUENCE_RESETUP. Throws HostError (the open project is then untouched).
  void saveProject(const std::string& path);
  void closeProject();
  void openProject(const std::string& path);
  // Closes the project and quits as the host does: setdown of every instance, then global setdown
  // of every effect module. A handle still alive after that is a leak of the module that
  // allocated it.
  void quit();

  // Host reference objects handed to plug-ins (effect and stream references and the like): owned
  // by the host, held in the ledger under kind until disposed.
  template <class T, class... Args>
  T* newRef(const char* kind, Args&&... args) {
    T* ref = refs_.make<T>(std::forward<Args>(args)...);
    ledger_.hold(ref, kind);
    return ref;
  }
  // Disposes a reference made by newRef; false when it is not one (stale, doubled or foreign).
  bool disposeRef(const void* ref);
  // The first live reference of kind T that pred accepts, or null.
  template <class T, class Pred>
  T* findRef(Pred pred) const {
    T* found = nullptr;
    refs_.forEach([&](const void* key) {
      T* ref = lookup<T>(key);
      if (!found && ref && pred(*ref))
        found = ref;
    });
    return found;
  }
  const RefRegistry& refs() const { return refs_; }
  const HandleHeap& handles() const { return handles_; }

  // Every record delivered to a "ZEK TOLV_Engine" instance, in arrival order.
  const std::vector<EngineRecord>& engineRecords() const { return engineRecords_; }
  void clearEngineRecords();
  // Records are kept unless this is turned off, as a benchmark does that times a render the way a
  // host runs it, without the testbed's own copy; deliveries are counted either way.
  void keepEngineRecords(bool keep) { keepEngineRecords_ = keep; }
  size_t engineDeliveries() const { return engineDeliveries_; }

 private:
  void globalSetup(Module& module);
  // PARAMS_SETUP once, right after a successful global setup, as the host does.
  void paramsSetup(Module& module);
  void adoptSequenceData(Effect& effect, PF_Cmd cmd, const PF_OutData& out);
  bool maySequenceDataGo(PF_Handle h) const;
  // Reads a project file into project_, which starts empty. Throws HostError.
  void readProject(std::ifstream& in, const std::string& path);
  void discardSequenceData(Project& project);
  void recordEngineDelivery(CommandTarget target, PF_Cmd cmd, const void* extra);
  void logSent(CommandTarget target, PF_Cmd cmd, const CommandResult& result);
  std::optional<World> renderLayer(Layer& layer);

  Ledger ledger_;
  SuiteTable suites_;
  Project project_;
  HostLog log_;
  std::vector<std::unique_ptr<Module>> modules_;
  std::vector<CommandTarget> stack_;
  HandleHeap handles_;
  AEGP_PluginID nextPluginId_ = 1;
  RefRegistry refs_;
  std::vector<EngineRecord> engineRecords_;
  std::vector<std::vector<unsigned char>> spareRecordBytes_;  // storage of cleared records
  bool keepEngineRecords_ = true;
  size_t engineDeliveries_ = 0;
  std::optional<FrameContext> frame_;
  std::optional<A_Time> callTime_;  // the time of a command sent at a time, while it runs
  std::vector<IdleHookEntry> idleHooks_;
  // The host call entered last, as violations name it: the serving function's __func__, kept
  // rather than copied since every host call sets it.
  const char* call_ = "";
};

// What out-parameters hold until a call writes them, and after a call that failed: a non-null
// address that the host knows as poison (so that using or releasing it is a violation), and
// numbers of an unlikely pattern.
const void* poisonAddress();
// A text field of the host's fixed size: poison fills it, with a terminator in its last byte.
struct OutText {
  A_char* text;
  size_t size;
};
template <class T>
void poison(T* out) {
  if (!out)
    return;
  if constexpr (std::is_pointer_v<T>)
    *out = reinterpret_cast<T>(const_cast<void*>(poisonAddress()));
  else if constexpr (std::is_floating_point_v<T>)
    *out = static_cast<T>(-7.7e30);
  else
    std::memset(static_cast<void*>(out), 0x5A, sizeof *out);
}
void poison(AEGP_StreamValue2* out);
void poison(OutText out);
template <class... T>
void poisonAll(T... outs) {
  (poison(outs), ...);
}

// Every host function the testbed serves that can fail starts with this, naming its
// out-parameters: they get poison first, so that whatever the call does not write (everything,
// when it fails) is caught when used; then the call is counted and may be failed on purpose.
#define TB_ENTER(...)                                                   \
  do {                                                                  \
    ::tb::poisonAll(__VA_ARGS__);                                       \
    if (A_Err tb_injected_ = ::tb::Host::current().enterCall(__func__)) \
      return tb_injected_;                                              \
  } while (0)

// A function that takes a plug-in id starts with this instead: an id other than the one the
// calling module was given is a violation answered with an error.
#define TB_ENTER_AS(plugin_id, ...)                                                    \
  do {                                                                                 \
    TB_ENTER(__VA_ARGS__);                                                             \
    if (A_Err tb_wrong_id_ = ::tb::Host::current().checkPluginId(plugin_id, __func__)) \
      return tb_wrong_id_;                                                             \
  } while (0)

}  // namespace tb
