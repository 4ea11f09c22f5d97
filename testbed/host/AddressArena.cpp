#include "testbed/host/AddressArena.h"

#include <new>

#include "testbed/host/Sanitizer.h"
#include "testbed/platform/VirtualMemory.h"

#if defined(TB_ADDRESS_SANITIZED)
#include <sanitizer/lsan_interface.h>
#endif

namespace tb {

namespace {
// Address space only: pages are backed when first written and returned when empty.
constexpr size_t kRange = size_t(1) << 36;
constexpr size_t kPage = platform::kPageSize;
constexpr size_t kAlign = alignof(std::max_align_t);

size_t firstPage(size_t offset) {
  return offset / kPage;
}
size_t lastPage(size_t offset, size_t size) {
  return (offset + size - 1) / kPage;
}
}  // namespace

AddressArena::AddressArena() {
  base_ = platform::reserveRange(kRange);
  if (!base_)
    throw std::bad_alloc();
}

AddressArena::~AddressArena() {
  watchUpTo(0);
  platform::unreserveRange(base_, kRange);
}

// Objects made here own ordinary heap blocks; the leak checker must look for pointers in these
// pages too, or everything a still-live object owns at exit reads as leaked. Only the part the
// cursor has passed is watched: scanning the whole reservation would read 64 GiB at every exit.
void AddressArena::watchUpTo(size_t end) {
#if defined(TB_ADDRESS_SANITIZED)
  constexpr size_t kStep = size_t(1) << 20;
  const size_t watched = end == 0 ? 0 : (end + kStep - 1) / kStep * kStep;
  if (watched == watched_)
    return;
  if (watched_ > 0)
    __lsan_unregister_root_region(base_, watched_);
  if (watched > 0)
    __lsan_register_root_region(base_, watched);
  watched_ = watched;
#else
  (void)end;
#endif
}

void* AddressArena::take(size_t size) {
  if (size == 0)
    size = 1;
  const size_t offset = (next_ + kAlign - 1) / kAlign * kAlign;
  if (offset > kRange || size > kRange - offset)
    throw std::bad_alloc();
  // A page the cursor leaves with nothing live in it is returned now: no later block lands there.
  const size_t before = next_ == 0 ? 0 : firstPage(next_ - 1);
  char* const first = base_ + firstPage(offset) * kPage;
  if (!platform::backPages(first, (lastPage(offset, size) + 1) * kPage - firstPage(offset) * kPage))
    throw std::bad_alloc();
  next_ = offset + size;
  if (next_ > watched_)
    watchUpTo(next_);
  for (size_t page = firstPage(offset); page <= lastPage(offset, size); ++page)
    ++live_[page];
  if (next_ > 0 && before < firstPage(offset) && live_.count(before) == 0)
    release(before);
  return base_ + offset;
}

void AddressArena::give(void* block, size_t size) {
  if (size == 0)
    size = 1;
  const size_t offset = static_cast<size_t>(static_cast<char*>(block) - base_);
  const size_t current = firstPage(next_ - 1);
  for (size_t page = firstPage(offset); page <= lastPage(offset, size); ++page) {
    auto it = live_.find(page);
    if (it == live_.end() || --it->second > 0)
      continue;
    live_.erase(it);
    if (page < current)
      release(page);
  }
}

void AddressArena::release(size_t page) {
  platform::returnPages(base_ + page * kPage, kPage);
}

}  // namespace tb
