#include "testbed/host/BlockPool.h"

#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TB_POOL_POISONED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TB_POOL_POISONED 1
#endif
#if defined(TB_POOL_POISONED)
#include <sanitizer/asan_interface.h>
#define TB_POOL_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define TB_POOL_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define TB_POOL_POISON(block, size) ((void)(block), (void)(size))
#define TB_POOL_UNPOISON(block, size) ((void)(block), (void)(size))
#endif

namespace tb {

BlockPool::~BlockPool() {
  while (!resting_.empty())
    dropOldest();
}

void* BlockPool::take(size_t size) {
  if (size >= kSmallest && resting_.size() > kResting) {
    const size_t ready = resting_.size() - kResting;
    for (size_t i = 0; i < ready; ++i) {
      if (resting_[i].size != size)
        continue;
      void* block = resting_[i].data;
      resting_.erase(resting_.begin() + static_cast<std::ptrdiff_t>(i));
      bytes_ -= size;
      TB_POOL_UNPOISON(block, size);
      return block;
    }
  }
  return std::malloc(size ? size : 1);
}

void BlockPool::give(void* block, size_t size) {
  if (!block)
    return;
  if (size < kSmallest || size > kMostBytes) {
    std::free(block);
    return;
  }
  TB_POOL_POISON(block, size);
  resting_.push_back({block, size});
  bytes_ += size;
  while (bytes_ > kMostBytes)
    dropOldest();
}

void BlockPool::dropOldest() {
  const Block oldest = resting_.front();
  resting_.pop_front();
  bytes_ -= oldest.size;
  TB_POOL_UNPOISON(oldest.data, oldest.size);
  std::free(oldest.data);
}

}  // namespace tb
