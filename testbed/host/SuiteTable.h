// The suites the testbed serves, by exact name and version, and the basic suite that hands them
// out. A suite of another version is not served, as in the host.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "SPBasic.h"

namespace tb {

// The broker's answer for a suite it does not serve.
constexpr SPErr kSPSuiteNotFoundError = 0x53214664;  // 'S!Fd'

class SuiteTable {
 public:
  void add(const std::string& name, int version, const void* suite);
  const void* find(const std::string& name, int version) const;
  const std::map<std::pair<std::string, int>, const void*>& all() const { return suites_; }

 private:
  std::map<std::pair<std::string, int>, const void*> suites_;
};

// Registers every suite family of the testbed; each family lives in a file of its own.
void registerAllSuites(SuiteTable& table);

// The basic suite given to plug-ins: acquisitions are counted per command and can be withheld.
SPBasicSuite* basicSuite();

}  // namespace tb
