// The suites the testbed serves, by exact name and version, and the basic suite that hands them
// out. A suite of another version is not served, as in the host.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>

#include "SPBasic.h"

namespace tb {

// The broker's answer for a suite it does not serve.
constexpr SPErr kSPSuiteNotFoundError = 0x53214664;  // 'S!Fd'
// The broker's answer to a plug-in that publishes a name and version already served.
constexpr SPErr kSPSuiteAlreadyExistsError = 0x41644578;  // 'AdEx'

// A suite a plug-in added through "SP Suites Suite", served like the host's own from then on.
struct PublishedSuite {
  std::string name;
  int version = 0;
  int internalVersion = 0;
  std::string publisher;  // the module's name
};

class SuiteTable {
 public:
  void add(const std::string& name, int version, const void* suite);
  const void* find(const std::string& name, int version) const;
  const std::map<std::pair<std::string, int>, const void*>& all() const { return suites_; }

  // Adds a plug-in's suite; null when the name and version are already served.
  const PublishedSuite* publish(PublishedSuite entry, const void* suite);
  const std::deque<PublishedSuite>& published() const { return published_; }

 private:
  std::map<std::pair<std::string, int>, const void*> suites_;
  std::deque<PublishedSuite> published_;  // a deque keeps each entry where it is
};

// Registers every suite family of the testbed; each family lives in a file of its own.
void registerAllSuites(SuiteTable& table);

// The basic suite given to plug-ins: acquisitions are counted per command and can be withheld.
SPBasicSuite* basicSuite();

}  // namespace tb
