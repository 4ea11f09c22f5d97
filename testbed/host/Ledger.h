// Per-command accounting and fault injection.
//
// Every host function the testbed serves that can fail enters the ledger once: the call is counted
// and may be failed on purpose. The count runs across the outermost command and every command
// nested under it (a receiver's general command, an effect a script adds), so that one sweep
// reaches them all. Suites acquired, references handed out and quiet-errors mode are accounted to
// the command that took them; whatever is still held when it returns is a violation of that
// command, and so is a release of what an outer command took.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"
#include "testbed/host/CallList.h"

namespace tb {

struct FaultPlan {
  int failCall = -1;  // 0-based index of the host call to fail, counted across nested commands
  A_Err failWith = PF_Err_INTERNAL_STRUCT_DAMAGED;
  int cancelPoll = -1;  // 0-based index of the abort or progress poll that cancels
  PF_Err cancelWith = PF_Interrupt_CANCEL;
  int failHandle = -1;  // 0-based index of the handle allocation that fails
  std::set<std::pair<std::string, int>> withheld;  // suites the host refuses to hand out
};

// A host rule a module broke: who broke it, in which command, and what was wrong.
struct Violation {
  std::string module;
  std::string command;
  std::string what;
};

// "module: command: what", the form reports print.
std::string describe(const Violation& v);

struct CommandReport {
  std::string label;
  CallList calls;                                   // host functions this command called, in order
  CallList allCalls;                                // with those of the commands nested under it
  std::vector<std::pair<std::string, int>> suites;  // suites acquired, each once, in order
  int polls = 0;
  int handleAllocations = 0;
  std::vector<std::string> held;  // what was still held when the command returned
  int quietLeftOn = 0;            // quiet-errors starts the command did not end
  bool clean() const { return held.empty() && quietLeftOn == 0; }
};

class Ledger {
 public:
  // Arms faults for the next outermost command and all nested in it; armed until disarm().
  void arm(FaultPlan plan) { plan_ = std::move(plan); }
  void disarm() { plan_ = FaultPlan(); }

  void beginCommand(std::string label) { beginCommand(label, std::string(), label); }
  void beginCommand(std::string label, std::string module, std::string command);
  // Ends the innermost command; what it leaves held becomes its violations.
  CommandReport endCommand();
  int depth() const { return static_cast<int>(frames_.size()); }

  // Counts a host call; returns the error to answer with instead of serving it, or 0. The name is
  // kept, not copied: a literal or the serving function's __func__.
  A_Err enter(const char* function);
  // True when the last call entered was failed on purpose (its out-parameters get poison).
  bool injected() const { return injected_; }
  // Counts an abort or progress poll; returns the cancel value when armed for this one.
  PF_Err poll();
  // Counts a handle allocation; false when it must fail.
  bool allowHandle();
  bool withheld(const std::string& suite, int version) const;

  void acquired(const std::string& suite, int version);
  // False when the suite was not held (a release without an acquisition).
  bool released(const std::string& suite, int version);

  void hold(const void* ref, const char* kind);
  // False when the reference was not held (a stale or doubled release).
  bool release(const void* ref);

  // AEGP_StartQuietErrors and AEGP_EndQuietErrors, accounted like acquisitions.
  void quietStarted();
  void quietEnded();

  // The module and command in progress, innermost; empty outside commands.
  std::string currentModule() const;
  std::string currentCommand() const;

  const std::vector<Violation>& violations() const { return violations_; }
  // A violation of the command in progress (or of the host's own caller outside commands).
  void violation(std::string what);
  void violation(Violation v) { violations_.push_back(std::move(v)); }
  // For tests that provoke violations on purpose.
  void clearViolations() { violations_.clear(); }

 private:
  struct Frame {
    CommandReport report;
    std::string module;
    std::string command;
    std::map<std::pair<std::string, int>, int> suites;
    std::map<const void*, const char*> refs;
    int quiet = 0;
  };

  FaultPlan plan_;
  std::vector<Frame> frames_;
  std::vector<Violation> violations_;
  int runCalls_ = 0;  // host calls since the outermost command began
  int runPolls_ = 0;
  int runHandles_ = 0;
  bool injected_ = false;
};

}  // namespace tb
