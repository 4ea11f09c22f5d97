#include "testbed/host/SuiteTable.h"

#include <cstdlib>
#include <cstring>

#include "testbed/host/Host.h"

namespace tb {

void SuiteTable::add(const std::string& name, int version, const void* suite) {
  suites_[{name, version}] = suite;
}

const PublishedSuite* SuiteTable::publish(PublishedSuite entry, const void* suite) {
  if (find(entry.name, entry.version))
    return nullptr;
  add(entry.name, entry.version, suite);
  published_.push_back(std::move(entry));
  return &published_.back();
}

const void* SuiteTable::find(const std::string& name, int version) const {
  auto it = suites_.find({name, version});
  return it == suites_.end() ? nullptr : it->second;
}

namespace {

SPErr AcquireSuite(const char* name, int32_t version, const void** suite) {
  if (!name || !suite)
    return kSPSuiteNotFoundError;
  // Acquiring a suite is a host call that can fail like any other, and fills its out-parameter
  // only when it succeeds.
  poison(suite);
  Host& host = Host::current();
  if (SPErr injected = host.enterCall("AcquireSuite"))
    return injected;
  if (host.ledger().withheld(name, version))
    return kSPSuiteNotFoundError;
  const void* found = host.suites().find(name, version);
  if (!found)
    return kSPSuiteNotFoundError;
  host.ledger().acquired(name, version);
  *suite = found;
  return kSPNoError;
}

SPErr ReleaseSuite(const char* name, int32_t version) {
  if (!name)
    return kSPSuiteNotFoundError;
  return Host::current().ledger().released(name, version) ? kSPNoError : kSPSuiteNotFoundError;
}

SPBoolean IsEqual(const char* a, const char* b) {
  return std::strcmp(a, b) == 0;
}

SPErr AllocateBlock(size_t size, void** block) {
  *block = std::malloc(size ? size : 1);
  return *block ? kSPNoError : 1;
}

SPErr FreeBlock(void* block) {
  std::free(block);
  return kSPNoError;
}

SPErr ReallocateBlock(void* block, size_t size, void** newblock) {
  void* moved = std::realloc(block, size ? size : 1);
  if (!moved)
    return 1;
  *newblock = moved;
  return kSPNoError;
}

SPErr Undefined() {
  return kSPSuiteNotFoundError;
}

SPBasicSuite g_basic = {AcquireSuite, ReleaseSuite,    IsEqual,  AllocateBlock,
                        FreeBlock,    ReallocateBlock, Undefined};

}  // namespace

SPBasicSuite* basicSuite() {
  return &g_basic;
}

}  // namespace tb
