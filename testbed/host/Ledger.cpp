#include "testbed/host/Ledger.h"

namespace tb {

void Ledger::beginCommand(std::string label) {
  frames_.emplace_back();
  frames_.back().report.label = std::move(label);
}

CommandReport Ledger::endCommand() {
  Frame frame = std::move(frames_.back());
  frames_.pop_back();
  for (const auto& [suite, count] : frame.suites) {
    if (count != 0) {
      frame.report.held.push_back("suite \"" + suite.first + "\" v" + std::to_string(suite.second) +
                                  " acquired " + std::to_string(count) +
                                  " more time(s) than released");
    }
  }
  for (const auto& [ref, kind] : frame.refs)
    frame.report.held.push_back(std::string(kind));
  return frame.report;
}

A_Err Ledger::enter(const char* function) {
  if (frames_.empty())
    return A_Err_NONE;
  CommandReport& report = frames_.back().report;
  int index = static_cast<int>(report.calls.size());
  report.calls.emplace_back(function);
  if (outermost() && index == plan_.failCall)
    return plan_.failWith;
  return A_Err_NONE;
}

PF_Err Ledger::poll() {
  if (frames_.empty())
    return PF_Err_NONE;
  int index = frames_.back().report.polls++;
  if (outermost() && index == plan_.cancelPoll)
    return plan_.cancelWith;
  return PF_Err_NONE;
}

bool Ledger::allowHandle() {
  if (frames_.empty())
    return true;
  int index = frames_.back().report.handleAllocations++;
  return !(outermost() && index == plan_.failHandle);
}

bool Ledger::withheld(const std::string& suite, int version) const {
  return plan_.withheld.count({suite, version}) != 0;
}

void Ledger::acquired(const std::string& suite, int version) {
  if (!frames_.empty())
    ++frames_.back().suites[{suite, version}];
}

bool Ledger::released(const std::string& suite, int version) {
  for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
    auto it = frame->suites.find({suite, version});
    if (it != frame->suites.end() && it->second > 0) {
      --it->second;
      return true;
    }
  }
  violation("suite \"" + suite + "\" v" + std::to_string(version) +
            " released without being acquired");
  return false;
}

void Ledger::hold(const void* ref, const char* kind) {
  if (!frames_.empty())
    frames_.back().refs[ref] = kind;
}

bool Ledger::release(const void* ref) {
  for (auto frame = frames_.rbegin(); frame != frames_.rend(); ++frame) {
    if (frame->refs.erase(ref))
      return true;
  }
  return false;
}

}  // namespace tb
