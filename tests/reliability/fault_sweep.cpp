// The whole system under failure: every command handler of the three modules, in representative
// scenes, is run once to count its host calls (nested commands included), then run again with each
// of those calls failed in turn, and with each abort poll answered with a cancel. Every run happens
// in a child process forked from the built scene, so that runs cannot disturb one another and a
// crash is counted instead of ending the sweep. A run must return a status the host conventions
// allow, hold nothing when it returns, and leave the project usable: a following render of the
// composition succeeds, and no handle is left but the instances' sequence data. A command whose
// clean run makes the very calls of one already swept in the scene (the same handler on another
// instance, or another control the same handler serves) is counted once.
//
// Prints one summary line and exits non-zero unless nothing was held and nothing crashed (and every
// status and every following render was as it should be). Run from the build folder, or with
// TOLV_BUILD_DIR naming it.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Mask/Params.h"
#include "common/MeshSlot.h"
#include "testbed/host/EngineRequest.h"
#include "testbed/host/Host.h"
#include "testbed/host/ParamValues.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneParse.h"
#include "tests/support/Modules.h"

namespace {

constexpr A_Err kInjected = PF_Err_OUT_OF_MEMORY;

// What a child reports through its exit status; anything else (a signal, a sanitizer's exit) is a
// crash.
enum Verdict { kClean = 0, kHeld = 20, kWrong = 21 };

struct Outcome {
  A_Err err = A_Err_NONE;
  tb::CommandReport report;
};

// A command of one module, on the built scene: what is done before it unarmed, and the command.
struct Command {
  std::string name;
  std::function<void(tb::Host&, tb::Comp&)> before;
  std::function<Outcome(tb::Host&, tb::Comp&)> run;
};

// Calls that give something back; a refused one leaves exactly that behind, by the host's doing.
bool isRelease(const std::string& call) {
  static const std::set<std::string> releases = {
      "AEGP_DisposeEffect", "AEGP_DisposeStream",      "AEGP_DisposeStreamValue",
      "AEGP_DisposeMask",   "AEGP_EndAddKeyframes",    "PF_CheckinPath",
      "checkinParam",       "PF_PathCleanupSegLength", "AEGP_EndQuietErrors"};
  return releases.count(call) != 0;
}

bool isHandleCall(const std::string& call) {
  return call.rfind("host_", 0) == 0 && call.find("handle") != std::string::npos;
}

// The layer the effects lie on, by name: lights a command makes go on top of the composition.
tb::Layer& card(tb::Comp& comp) {
  for (const auto& layer : comp.layers) {
    if (layer->name == "Card")
      return *layer;
  }
  std::fprintf(stderr, "the scene has no layer \"Card\"\n");
  std::exit(2);
}

tb::Effect& effectAt(tb::Comp& comp, size_t index) {
  return *card(comp).effects.at(index);
}

Outcome fromResult(const tb::CommandResult& r) {
  return {r.err, r.report};
}

// The effect's controls as a render gets them, the layer's pixels as its input.
Outcome renderEffect(tb::Host& host, tb::Effect& e) {
  std::vector<PF_ParamDef> defs = e.params;
  const A_long dflt = defs[0].u.ld.dephault;
  defs[0].u.ld = e.layer->pixels->def();
  defs[0].u.ld.dephault = dflt;
  std::vector<PF_ParamDef*> array;
  for (PF_ParamDef& d : defs)
    array.push_back(&d);
  std::optional<tb::World> out = tb::World::blank(e.layer->width, e.layer->height);
  return fromResult(host.send({e.module, &e}, PF_Cmd_RENDER, array.data(), &out->def(), nullptr));
}

Outcome sendWithParams(tb::Host& host, tb::Effect& e, PF_Cmd cmd, void* extra = nullptr) {
  std::vector<PF_ParamDef*> params = tb::paramArray(e);
  return fromResult(host.send({e.module, &e}, cmd, params.data(), nullptr, extra));
}

Outcome changeParam(tb::Host& host, tb::Effect& e, int index) {
  PF_UserChangedParamExtra extra{index};
  return sendWithParams(host, e, PF_Cmd_USER_CHANGED_PARAM, &extra);
}

// The instance's data flattened as a saved project holds it, handed back in a new handle.
void reopenBefore(tb::Host& host, tb::Effect& e) {
  std::vector<unsigned char> bytes;
  if (e.sequenceData) {
    const auto* p = static_cast<const unsigned char*>(*e.sequenceData);
    bytes.assign(p, p + host.handleSize(e.sequenceData));
  }
  host.sendToEffect(e, PF_Cmd_SEQUENCE_SETDOWN);
  if (!bytes.empty()) {
    e.sequenceData = host.newHandle(bytes.size(), e.module);
    std::memcpy(*e.sequenceData, bytes.data(), bytes.size());
  }
}

// The sequence commands, render, interface commands and every supervised change of one effect.
void addEffectCommands(std::vector<Command>& out, const std::string& label, size_t index,
                       const std::vector<int>& supervised,
                       const std::function<Outcome(tb::Host&, tb::Effect&)>& receive = nullptr) {
  auto at = [index](tb::Comp& c) -> tb::Effect& { return effectAt(c, index); };
  out.push_back({label + " SEQUENCE_SETUP",
                 [at](tb::Host& h, tb::Comp& c) { h.sendToEffect(at(c), PF_Cmd_SEQUENCE_SETDOWN); },
                 [at](tb::Host& h, tb::Comp& c) {
                   return fromResult(h.sendToEffect(at(c), PF_Cmd_SEQUENCE_SETUP));
                 }});
  out.push_back({label + " SEQUENCE_RESETUP",
                 [at](tb::Host& h, tb::Comp& c) { reopenBefore(h, at(c)); },
                 [at](tb::Host& h, tb::Comp& c) {
                   return fromResult(h.sendToEffect(at(c), PF_Cmd_SEQUENCE_RESETUP));
                 }});
  out.push_back({label + " SEQUENCE_FLATTEN", nullptr, [at](tb::Host& h, tb::Comp& c) {
                   return fromResult(h.sendToEffect(at(c), PF_Cmd_SEQUENCE_FLATTEN));
                 }});
  out.push_back({label + " SEQUENCE_SETDOWN", nullptr, [at](tb::Host& h, tb::Comp& c) {
                   return fromResult(h.sendToEffect(at(c), PF_Cmd_SEQUENCE_SETDOWN));
                 }});
  if (receive) {
    out.push_back({label + " COMPLETELY_GENERAL", nullptr,
                   [at, receive](tb::Host& h, tb::Comp& c) { return receive(h, at(c)); }});
  }
  out.push_back({label + " RENDER", nullptr,
                 [at](tb::Host& h, tb::Comp& c) { return renderEffect(h, at(c)); }});
  out.push_back({label + " UPDATE_PARAMS_UI", nullptr, [at](tb::Host& h, tb::Comp& c) {
                   return sendWithParams(h, at(c), PF_Cmd_UPDATE_PARAMS_UI);
                 }});
  out.push_back({label + " QUERY_DYNAMIC_FLAGS", nullptr, [at](tb::Host& h, tb::Comp& c) {
                   return sendWithParams(h, at(c), PF_Cmd_QUERY_DYNAMIC_FLAGS);
                 }});
  for (int param : supervised) {
    out.push_back({label + " USER_CHANGED_PARAM " + std::to_string(param), nullptr,
                   [at, param](tb::Host& h, tb::Comp& c) { return changeParam(h, at(c), param); }});
  }
}

// The controls of the effect that the host reports changes of.
std::vector<int> supervisedOf(const tb::Effect& e) {
  std::vector<int> params;
  for (size_t i = 1; i < e.params.size(); ++i) {
    if (e.params[i].flags & PF_ParamFlag_SUPERVISE)
      params.push_back(static_cast<int>(i));
  }
  return params;
}

// The general plug-in: its entry point as the host loads it, and its idle hook once an update was
// asked for, mid work area (a step) and at its end (the finish).
void addCompanionCommands(std::vector<Command>& out) {
  const std::string path = tbtest::modulePath("TOLV_AEGP");
  // The entry runs inside the load; a command around it gathers its calls.
  out.push_back({"companion entry", nullptr, [path](tb::Host& h, tb::Comp&) {
                   Outcome o;
                   h.ledger().beginCommand("load");
                   const tb::Module& m = h.load(path);
                   o.report = h.ledger().endCommand();
                   o.err = m.globalSetupErr;
                   return o;
                 }});
  for (bool finish : {false, true}) {
    out.push_back({std::string("companion idle hook ") + (finish ? "finish" : "step"),
                   [path, finish](tb::Host& h, tb::Comp& c) {
                     h.load(path);
                     h.setCompTiming(c, 25, 10, 0, 1);
                     c.currentTime = finish ? c.workDuration : A_Time{0, c.timeScale};
                     tb::requestEngineUpdate(h, 1);
                   },
                   [](tb::Host& h, tb::Comp&) {
                     const tb::IdleHookEntry entry = h.idleHooks().at(0);
                     Outcome o;
                     o.report = h.runCommand({entry.module, nullptr}, "idle hook", [&] {
                       A_long sleep = tb::SentCommand::kDefaultMaxSleep;
                       o.err = entry.hook(entry.module->globalRefcon, entry.refcon, &sleep);
                     });
                     return o;
                   }});
  }
}

// A record of three small triangles for slot 1, as a mask effect above would send it.
Outcome receiveRecord(tb::Host& h, tb::Effect& e) {
  static MeshSlot record = [] {
    MeshSlot r;
    std::memset(&r, 0, sizeof r);
    r.slotIndex = 1;
    r.meshEnabled = 1;
    r.triangleCount = 3;
    for (int i = 0; i < 3; ++i) {
      triangle& t = r.triangles[i];
      t.vertexA = {static_cast<float>(i), 0, 0};
      t.vertexB = {static_cast<float>(i) + 1, 0, 0};
      t.vertexC = {static_cast<float>(i), 1, 0};
      t.faceNormal = t.normalA = t.normalB = t.normalC = {0, 0, -1};
    }
    return r;
  }();
  return fromResult(h.sendToEffect(e, PF_Cmd_COMPLETELY_GENERAL, &record));
}

std::string squareMask(const std::string& name, int left, int top, int right, int bottom) {
  auto p = [](int x, int y) { return "[" + std::to_string(x) + ", " + std::to_string(y) + "]"; };
  return R"({"name": ")" + name + R"(", "closed": true, "points": [)" + p(left, top) + ", " +
         p(right, top) + ", " + p(right, bottom) + ", " + p(left, bottom) + "]}";
}

struct Scene {
  std::string name;
  std::string layers;  // the scene's layer list, as scene JSON
  std::function<void(tb::Host&, tb::Comp&)> prepare;
  std::function<std::vector<Command>(tb::Comp&)> commands;
};

// Every command of each mask and distort effect on the card.
std::vector<Command> effectCommands(tb::Comp& comp) {
  std::vector<Command> out;
  const auto& effects = card(comp).effects;
  for (size_t i = 0; i < effects.size(); ++i) {
    const std::string match = effects[i]->module->matchName();
    const std::string label = match.substr(match.find(' ') + 1) + " #" + std::to_string(i);
    if (match == "ZEK TOLV_Mask")
      addEffectCommands(out, label, i, supervisedOf(*effects[i]));
    else if (match == "ZEK TOLV_Distort")
      addEffectCommands(out, label, i, supervisedOf(*effects[i]), receiveRecord);
  }
  return out;
}

std::vector<Scene> scenes() {
  std::string ten;
  std::string rows;
  for (int k = 1; k <= 10; ++k) {
    const int inset = 2 * k;
    ten += (k > 1 ? ", " : "") +
           squareMask("M" + std::to_string(k), inset, inset, 60 - inset / 2, 34 - inset / 2 - 1);
    rows += (k > 1 ? ", " : "") + std::string("\"") + std::to_string(5 * k - 1) + "\": \"M" +
            std::to_string(k) + "\", \"" + std::to_string(5 * k) + "\": " + std::to_string(20 * k);
  }
  return {
      {"two masks with caps and terrain",
       R"([{"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 255, 255, 255],
            "masks": [)" +
           squareMask("A", 10, 10, 30, 26) + ", " + squareMask("B", 12, 12, 28, 24) + R"(],
            "effects": [{"match": "ZEK TOLV_Mask",
                         "params": {"1": 1, "2": 1, "4": "A", "9": "B", "83": 4, "85": "Card",
                                    "88": 1, "71": "Ground", "72": 10}},
                        {"match": "ZEK TOLV_Engine"}]},
           {"name": "Ground", "kind": "solid", "size": [8, 8], "color": [90, 90, 90, 255]}])",
       nullptr, effectCommands},
      {"ten masks on a path light",
       R"([{"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 255, 255, 255],
            "masks": [)" +
           ten + R"(],
            "effects": [{"match": "ZEK TOLV_Mask", "params": {)" +
           rows + R"(, "93": 1}}, {"match": "ZEK TOLV_Engine"}]}])",
       [](tb::Host& h, tb::Comp& c) {
         tb::Effect& mask = effectAt(c, 0);
         mask.params[MASK_CREATE_LIGHT].u.bd.value = 1;
         h.userChangedParam(mask, MASK_CREATE_LIGHT);
       },
       effectCommands},
      {"two mask effects, two distorts and a renderer",
       R"([{"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 255, 255, 255],
            "masks": [)" +
           squareMask("A", 4, 4, 60, 30) + ", " + squareMask("B", 10, 8, 40, 20) + R"(],
            "effects": [{"match": "ZEK TOLV_Mask", "params": {"4": "A", "85": "Card"}},
                        {"match": "ZEK TOLV_Mask", "params": {"4": "B", "10": -50}},
                        {"match": "ZEK TOLV_Distort", "params": {"12": 60, "23": 45}},
                        {"match": "ZEK TOLV_Distort"},
                        {"match": "ZEK TOLV_Engine"}]}])",
       nullptr,
       [](tb::Comp& comp) {
         std::vector<Command> out = effectCommands(comp);
         addCompanionCommands(out);
         return out;
       }},
      {"no masks",
       R"([{"name": "Card", "kind": "solid", "size": [64, 36], "color": [255, 200, 100, 50],
            "effects": [{"match": "ZEK TOLV_Mask"}, {"match": "ZEK TOLV_Distort"},
                        {"match": "ZEK TOLV_Engine"}]}])",
       nullptr, effectCommands},
  };
}

// What one run of a command showed, judged in the child.
struct Judge {
  A_Err cleanErr = A_Err_NONE;
  bool cancel = false;  // a cancelled poll rather than a failed call
  int index = -1;
};

std::string firstViolations(const tb::Ledger& ledger) {
  std::string text;
  for (size_t i = 0; i < ledger.violations().size() && i < 3; ++i)
    text += "\n    " + tb::describe(ledger.violations()[i]);
  return text;
}

bool isHeldViolation(const tb::Violation& v) {
  return v.what.rfind("left held", 0) == 0 || v.what.rfind("left quiet-errors", 0) == 0 ||
         v.what.find("leak") != std::string::npos;
}

size_t sequenceHandles(tb::Comp& comp) {
  size_t n = 0;
  for (const auto& layer : comp.layers) {
    for (const auto& effect : layer->effects)
      n += effect->sequenceData ? 1 : 0;
  }
  return n;
}

// Runs in the child: the command under the plan, then a plain render of the composition. Returns
// the verdict as the exit status.
int judgeRun(tb::Host& h, tb::Comp& c, const Command& cmd, const Judge& judge,
             const std::string& where) {
  if (cmd.before)
    cmd.before(h, c);
  h.ledger().clearViolations();
  h.log() = tb::HostLog();
  h.clearEngineRecords();
  tb::FaultPlan plan;
  if (judge.cancel) {
    plan.cancelPoll = judge.index;
  } else {
    plan.failCall = judge.index;
    plan.failWith = kInjected;
  }
  h.ledger().arm(plan);
  const Outcome o = cmd.run(h, c);
  h.ledger().disarm();

  const std::vector<std::string>& calls = o.report.allCalls;
  const std::string failed =
      !judge.cancel && judge.index < static_cast<int>(calls.size()) ? calls[judge.index] : "";
  const size_t refused = isRelease(failed) ? 1 : 0;
  size_t held = 0;
  size_t other = 0;
  for (const tb::Violation& v : h.ledger().violations())
    (isHeldViolation(v) ? held : other) += 1;
  // The run is the clean run up to the failed call, so that call must have been made.
  bool wrong = other > 0 || (!judge.cancel && failed.empty()) ||
               (judge.cancel && o.report.polls <= judge.index);
  if (judge.cancel) {
    wrong =
        wrong || !(o.err == PF_Interrupt_CANCEL || o.err == PF_Err_NONE || o.err == judge.cleanErr);
  } else {
    wrong = wrong || !(o.err == kInjected || o.err == PF_Err_NONE || o.err == judge.cleanErr ||
                       (failed == "AcquireSuite" && o.err == PF_Err_BAD_CALLBACK_PARAM) ||
                       (isHandleCall(failed) && o.err == PF_Err_INTERNAL_STRUCT_DAMAGED));
  }
  if (held > refused || wrong) {
    std::fprintf(stderr, "%s: %s, status %d, %zu held%s\n", where.c_str(),
                 failed.empty() ? "(nothing failed)" : failed.c_str(), static_cast<int>(o.err),
                 held, firstViolations(h.ledger()).c_str());
  }
  const bool heldAfterCommand = held > refused;
  // What a refused release left is the host's doing; the rest of the run must be clean.
  h.ledger().clearViolations();
  h.log() = tb::HostLog();
  for (const tb::LayerFrame& frame : h.renderComp(c, A_Time{0, 25})) {
    if (frame.layer->pixels && !frame.frame) {
      std::fprintf(stderr, "%s: the following render of \"%s\" failed\n", where.c_str(),
                   frame.layer->name.c_str());
      wrong = true;
    }
  }
  size_t heldLater = 0;
  for (const tb::Violation& v : h.ledger().violations()) {
    if (refused && isHeldViolation(v))
      continue;
    ++heldLater;
    std::fprintf(stderr, "%s: after the command: %s\n", where.c_str(), tb::describe(v).c_str());
  }
  // Every handle left is an instance's sequence data; quitting would show any other as a leak, at
  // a cost the sweep pays thousands of times, so the count is compared instead.
  if (h.liveHandles() != sequenceHandles(c)) {
    std::fprintf(stderr, "%s: %zu handles live for %zu instances' data\n", where.c_str(),
                 h.liveHandles(), sequenceHandles(c));
    ++heldLater;
  }
  if (heldAfterCommand || heldLater > 0)
    return kHeld;
  return wrong ? kWrong : kClean;
}

struct Totals {
  int commands = 0;
  long failed = 0;
  long cancelled = 0;
  long held = 0;
  long crashes = 0;
  long wrong = 0;
};

// What ended a child: its verdict, or -1 for anything else (a crash).
int verdictOf(int status) {
  if (!WIFEXITED(status))
    return -1;
  const int code = WEXITSTATUS(status);
  return code == kClean || code == kHeld || code == kWrong ? code : -1;
}

pid_t forkChild(const std::function<int()>& child) {
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(2);
  }
  if (pid == 0) {
    const int verdict = child();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(verdict);
  }
  return pid;
}

// Forks a child for one run and waits for it.
int forkRun(const std::function<int()>& child) {
  const pid_t pid = forkChild(child);
  int status = 0;
  return waitpid(pid, &status, 0) == pid ? verdictOf(status) : -1;
}

void tally(Totals& t, int verdict) {
  if (verdict == kHeld)
    ++t.held;
  else if (verdict == kWrong)
    ++t.wrong;
  else if (verdict != kClean)
    ++t.crashes;
}

// Runs children with up to `jobs` of them at a time; each run is independent of the others.
class Runner {
 public:
  Runner(Totals& totals, int jobs) : totals_(totals), jobs_(jobs) {}
  void run(const std::function<int()>& child) {
    if (running_ >= jobs_)
      reap();
    forkChild(child);
    ++running_;
  }
  void drain() {
    while (running_ > 0)
      reap();
  }

 private:
  void reap() {
    int status = 0;
    if (wait(&status) < 0) {
      std::perror("wait");
      std::exit(2);
    }
    --running_;
    tally(totals_, verdictOf(status));
  }

  Totals& totals_;
  int jobs_;
  int running_ = 0;
};

// The clean run's call count, poll count, status and calls, from a child through a pipe.
struct Counted {
  long calls = -1;
  long polls = 0;
  A_Err err = A_Err_NONE;
  size_t sequence = 0;  // a hash of the calls in order
};

// The command's kind: its name without the instance (#n) and the control number.
std::string kindOf(const std::string& name) {
  std::istringstream words(name);
  std::string word;
  std::string kind;
  while (words >> word) {
    if (word[0] == '#' || word.find_first_not_of("0123456789") == std::string::npos)
      continue;
    kind += (kind.empty() ? "" : " ") + word;
  }
  return kind;
}

Counted countCalls(tb::Host& h, tb::Comp& c, const Command& cmd) {
  int fds[2];
  if (pipe(fds) != 0) {
    std::perror("pipe");
    std::exit(2);
  }
  Counted counted;
  const int verdict = forkRun([&] {
    close(fds[0]);
    if (cmd.before)
      cmd.before(h, c);
    h.ledger().clearViolations();
    const Outcome o = cmd.run(h, c);
    std::string joined;
    for (const std::string& call : o.report.allCalls)
      joined += call + "\n";
    const long values[4] = {static_cast<long>(o.report.allCalls.size()), o.report.polls,
                            static_cast<long>(o.err),
                            static_cast<long>(std::hash<std::string>()(joined))};
    const bool written = write(fds[1], values, sizeof values) == sizeof values;
    for (const tb::Violation& v : h.ledger().violations())
      std::fprintf(stderr, "%s: clean run: %s\n", cmd.name.c_str(), tb::describe(v).c_str());
    return written && h.ledger().violations().empty() ? kClean : kWrong;
  });
  close(fds[1]);
  long values[4] = {-1, 0, 0, 0};
  if (read(fds[0], values, sizeof values) == sizeof values && verdict == kClean) {
    counted.calls = values[0];
    counted.polls = values[1];
    counted.err = static_cast<A_Err>(values[2]);
    counted.sequence = static_cast<size_t>(values[3]);
  }
  close(fds[0]);
  return counted;
}

// Each supervised control is swept in the first scene that has it, every other command in every
// scene.
void sweepScene(const Scene& scene, Totals& t, Runner& runner,
                std::set<std::string>& changesSwept) {
  tb::Host host;
  for (const char* module : {"TOLV_Mask", "TOLV_Distort", "TOLV_Engine"})
    host.load(tbtest::modulePath(module));
  const std::string text =
      R"({"comp": {"name": "Main", "width": 640, "height": 360, "fps": 25, "duration": 10},
          "layers": )" +
      scene.layers + R"(, "selected": ["Card"]})";
  const tb::scene::SceneSpec parsed = tb::scene::parseScene(text, scene.name + ".json");
  tb::Comp& comp = tb::scene::buildScene(host, parsed);
  if (scene.prepare)
    scene.prepare(host, comp);
  host.renderComp(comp, A_Time{0, 25});
  host.log() = tb::HostLog();
  host.clearEngineRecords();
  std::set<std::pair<std::string, size_t>> swept;
  for (const Command& cmd : scene.commands(comp)) {
    const Counted counted = countCalls(host, comp, cmd);
    if (counted.calls < 0) {
      std::fprintf(stderr, "%s / %s: the clean run failed\n", scene.name.c_str(), cmd.name.c_str());
      ++t.commands;
      ++t.crashes;
      continue;
    }
    if (!swept.insert({kindOf(cmd.name), counted.sequence}).second)
      continue;
    if (cmd.name.find("USER_CHANGED_PARAM") != std::string::npos &&
        !changesSwept.insert(kindOf(cmd.name) + cmd.name.substr(cmd.name.rfind(' '))).second)
      continue;
    ++t.commands;
    std::fprintf(stderr, "%s / %s: %ld host calls, %ld polls\n", scene.name.c_str(),
                 cmd.name.c_str(), counted.calls, counted.polls);
    for (int pass = 0; pass < 2; ++pass) {
      const bool cancel = pass == 1;
      const long runs = cancel ? counted.polls : counted.calls;
      for (long i = 0; i < runs; ++i) {
        Judge judge{counted.err, cancel, static_cast<int>(i)};
        const std::string where =
            scene.name + " / " + cmd.name + (cancel ? " / poll " : " / call ") + std::to_string(i);
        runner.run([&] { return judgeRun(host, comp, cmd, judge, where); });
        (cancel ? t.cancelled : t.failed) += 1;
      }
    }
  }
  runner.drain();
  host.quit();
}

}  // namespace

int main() {
  Totals t;
  const char* jobs = std::getenv("TOLV_SWEEP_JOBS");
  Runner runner(t, jobs ? std::max(1, std::atoi(jobs)) : 2);
  std::set<std::string> changesSwept;
  for (const Scene& scene : scenes())
    sweepScene(scene, t, runner, changesSwept);
  std::printf("cancel sweep: %ld abort polls answered with a cancel in turn, %ld wrong results\n",
              t.cancelled, t.wrong);
  std::printf(
      "fault sweep: %d commands, %ld host calls failed in turn, %ld held after return, %ld "
      "crashes\n",
      t.commands, t.failed, t.held, t.crashes);
  return t.held == 0 && t.crashes == 0 && t.wrong == 0 ? 0 : 1;
}
