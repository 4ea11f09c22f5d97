// "SP Suites Suite" version 2: plug-ins publish suites of their own, which the basic suite then
// hands to every module by name and version, counted and faultable like the host's own suites.
#include <cstring>

#include "SPSuites.h"
#include "testbed/host/Host.h"
#include "testbed/host/suites/Suites.h"

namespace tb {

namespace {

// Longer names than this are not names but runaway reads.
constexpr size_t kMaxSuiteNameBytes = 256;

bool readName(const char* name, std::string& out) {
  if (!name)
    return false;
  const size_t length = strnlen(name, kMaxSuiteNameBytes);
  if (length == 0 || length == kMaxSuiteNameBytes)
    return false;
  out.assign(name, length);
  return true;
}

SPErr AddSuite(SPSuiteListRef, SPPluginRef, const char* name, int32_t apiVersion,
               int32_t internalVersion, const void* suiteProcs, SPSuiteRef* suite) {
  TB_ENTER(suite);
  PublishedSuite entry;
  if (!readName(name, entry.name) || !suiteProcs)
    return A_Err_PARAMETER;
  Host& host = Host::current();
  entry.version = apiVersion;
  entry.internalVersion = internalVersion;
  Module* module = host.currentTarget().module;
  entry.publisher = module ? module->name() : std::string();
  const PublishedSuite* added = host.suites().publish(std::move(entry), suiteProcs);
  if (!added)
    return kSPSuiteAlreadyExistsError;
  if (suite)
    *suite = reinterpret_cast<SPSuiteRef>(const_cast<PublishedSuite*>(added));
  return kSPNoError;
}

// The list's own acquire and release are the broker's: one accounting for every suite. The
// broker's acquire counts itself (and can be failed), so it is not counted here a second time.
SPErr AcquireSuite(SPSuiteListRef, const char* name, int32_t apiVersion, int32_t,
                   const void** suiteProcs) {
  return basicSuite()->AcquireSuite(name, apiVersion, suiteProcs);
}

SPErr ReleaseSuite(SPSuiteListRef, const char* name, int32_t apiVersion, int32_t) {
  TB_ENTER();
  return basicSuite()->ReleaseSuite(name, apiVersion);
}

const SPSuitesSuite kSuites2 = {AddSuite, AcquireSuite, ReleaseSuite};

}  // namespace

void registerSuitesSuites(SuiteTable& table) {
  table.add(kSPSuitesSuite, kSPSuitesSuiteVersion, &kSuites2);
}

}  // namespace tb
