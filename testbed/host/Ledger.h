// Per-command accounting and fault injection.
//
// Every host function the testbed serves enters the ledger once: the call is counted against the
// innermost command in progress and may be failed on purpose. Suites acquired and references
// handed out are recorded per command, and whatever is still held when a command returns is
// reported. Faults are armed for the outermost command only (the one a test sends); commands that
// run nested inside it, such as a receiver's general command, are accounted on their own.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AE_Effect.h"

namespace tb {

struct FaultPlan {
  int failCall = -1;  // 0-based index of the host call to fail
  A_Err failWith = PF_Err_INTERNAL_STRUCT_DAMAGED;
  int cancelPoll = -1;  // 0-based index of the abort or progress poll that cancels
  PF_Err cancelWith = PF_Interrupt_CANCEL;
  int failHandle = -1;  // 0-based index of the handle allocation that fails
  std::set<std::pair<std::string, int>> withheld;  // suites the host refuses to hand out
};

struct CommandReport {
  std::string label;
  std::vector<std::string> calls;  // host functions called, in order
  int polls = 0;
  int handleAllocations = 0;
  std::vector<std::string> held;  // what was still held when the command returned
  bool clean() const { return held.empty(); }
};

class Ledger {
 public:
  // Arms faults for the next outermost command; they stay armed until disarm().
  void arm(FaultPlan plan) { plan_ = std::move(plan); }
  void disarm() { plan_ = FaultPlan(); }

  void beginCommand(std::string label);
  CommandReport endCommand();
  int depth() const { return static_cast<int>(frames_.size()); }

  // Counts a host call; returns the error to answer with instead of serving it, or 0.
  A_Err enter(const char* function);
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

  // Problems found outside any one command's balance (a release of what was never held).
  const std::vector<std::string>& violations() const { return violations_; }
  void violation(std::string text) { violations_.push_back(std::move(text)); }
  // For tests that provoke violations on purpose.
  void clearViolations() { violations_.clear(); }

 private:
  struct Frame {
    CommandReport report;
    std::map<std::pair<std::string, int>, int> suites;
    std::map<const void*, const char*> refs;
  };
  bool outermost() const { return frames_.size() == 1; }

  FaultPlan plan_;
  std::vector<Frame> frames_;
  std::vector<std::string> violations_;
};

}  // namespace tb
