#include "testbed/host/Ledger.h"

#include <algorithm>

namespace tb {

namespace {

std::string suiteName(const std::pair<std::string, int>& suite) {
  return "suite \"" + suite.first + "\" v" + std::to_string(suite.second);
}

}  // namespace

std::string describe(const Violation& v) {
  std::string text = v.module.empty() ? "host" : v.module;
  if (!v.command.empty())
    text += ": " + v.command;
  return text + ": " + v.what;
}

void Ledger::beginCommand(std::string label, std::string module, std::string command) {
  if (frames_.empty()) {
    runCalls_ = 0;
    runPolls_ = 0;
    runHandles_ = 0;
  }
  frames_.emplace_back();
  Frame& frame = frames_.back();
  frame.report.label = std::move(label);
  frame.module = std::move(module);
  frame.command = std::move(command);
}

CommandReport Ledger::endCommand() {
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  std::map<std::string, int> refs;
  for (const auto& [ref, kind] : frame.refs)
    ++refs[kind];
  for (const auto& [suite, count] : frame.suites) {
    if (count != 0) {
      frame.report.held.push_back(suiteName(suite) + " acquired " + std::to_string(count) +
                                  " more time(s) than released");
    }
  }
  for (const auto& [ref, kind] : frame.refs)
    frame.report.held.push_back(std::string(kind));
  auto fault = [&](std::string what) {
    violations_.push_back({frame.module, frame.command, std::move(what)});
  };
  for (const auto& [suite, count] : frame.suites) {
    if (count != 0)
      fault("left held: " + suiteName(suite) + " x" + std::to_string(count));
  }
  for (const auto& [kind, count] : refs)
    fault("left held: " + kind + " x" + std::to_string(count));
  frame.report.quietLeftOn = frame.quiet;
  if (frame.quiet > 0)
    fault("left quiet-errors mode on x" + std::to_string(frame.quiet));
  if (!frames_.empty())
    frames_.back().report.allCalls.append(frame.report.allCalls);
  return std::move(frame.report);
}

A_Err Ledger::enter(const char* function) {
  injected_ = false;
  if (frames_.empty())
    return A_Err_NONE;
  CommandReport& report = frames_.back().report;
  report.calls.push_back(function);
  report.allCalls.push_back(function);
  if (runCalls_++ == plan_.failCall) {
    injected_ = true;
    return plan_.failWith;
  }
  return A_Err_NONE;
}

PF_Err Ledger::poll() {
  if (frames_.empty())
    return PF_Err_NONE;
  ++frames_.back().report.polls;
  return runPolls_++ == plan_.cancelPoll ? plan_.cancelWith : PF_Err_NONE;
}

bool Ledger::allowHandle() {
  if (frames_.empty())
    return true;
  ++frames_.back().report.handleAllocations;
  return runHandles_++ != plan_.failHandle;
}

bool Ledger::withheld(const std::string& suite, int version) const {
  return plan_.withheld.count({suite, version}) != 0;
}

void Ledger::acquired(const std::string& suite, int version) {
  if (frames_.empty())
    return;
  Frame& frame = frames_.back();
  ++frame.suites[{suite, version}];
  auto& listed = frame.report.suites;
  if (std::find(listed.begin(), listed.end(), std::make_pair(suite, version)) == listed.end())
    listed.emplace_back(suite, version);
}

bool Ledger::released(const std::string& suite, int version) {
  for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
    auto it = frame->suites.find({suite, version});
    if (it != frame->suites.end() && it->second > 0) {
      --it->second;
      if (frame != frames_.rbegin())
        violation("released " + suiteName({suite, version}) + " acquired by an outer command");
      return true;
    }
  }
  violation(suiteName({suite, version}) + " released without being acquired");
  return false;
}

void Ledger::hold(const void* ref, const char* kind) {
  if (!frames_.empty())
    frames_.back().refs[ref] = kind;
}

bool Ledger::release(const void* ref) {
  for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
    auto it = frame->refs.find(ref);
    if (it == frame->refs.end())
      continue;
    if (frame != frames_.rbegin())
      violation(std::string("released a ") + it->second + " taken by an outer command");
    frame->refs.erase(it);
    return true;
  }
  return false;
}

void Ledger::quietStarted() {
  if (!frames_.empty())
    ++frames_.back().quiet;
}

void Ledger::quietEnded() {
  for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
    if (frame->quiet == 0)
      continue;
    --frame->quiet;
    if (frame != frames_.rbegin())
      violation("ended quiet-errors mode an outer command started");
    return;
  }
  if (!frames_.empty())
    violation("ended quiet-errors mode that was not on");
}

std::string Ledger::currentModule() const {
  return frames_.empty() ? std::string() : frames_.back().module;
}

std::string Ledger::currentCommand() const {
  return frames_.empty() ? std::string() : frames_.back().command;
}

void Ledger::violation(std::string what) {
  violations_.push_back({currentModule(), currentCommand(), std::move(what)});
}

}  // namespace tb
