#include <windows.h>

#include "testbed/platform/VirtualMemory.h"

namespace tb::platform {

char* reserveRange(size_t size) {
  return static_cast<char*>(::VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS));
}

void unreserveRange(char* range, size_t) {
  ::VirtualFree(range, 0, MEM_RELEASE);
}

bool backPages(char* first, size_t size) {
  // Committing a committed page again is allowed and keeps its contents.
  return ::VirtualAlloc(first, size, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

void returnPages(char* first, size_t size) {
  ::VirtualFree(first, size, MEM_DECOMMIT);
}

}  // namespace tb::platform
