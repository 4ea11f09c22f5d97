#include <sys/mman.h>

#include "testbed/platform/VirtualMemory.h"

namespace tb::platform {

char* reserveRange(size_t size) {
  void* range = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  return range == MAP_FAILED ? nullptr : static_cast<char*>(range);
}

void unreserveRange(char* range, size_t size) {
  ::munmap(range, size);
}

bool backPages(char*, size_t) {
  // The kernel backs a page of the reservation when it is first written.
  return true;
}

void returnPages(char* first, size_t size) {
  ::madvise(first, size, MADV_DONTNEED);
}

}  // namespace tb::platform
