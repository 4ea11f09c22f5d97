#include "testbed/host/BlockPool.h"

#include <cstdlib>

#include "testbed/host/Sanitizer.h"

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
      unpoison(block, size);
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
  poison(block, size);
  resting_.push_back({block, size});
  bytes_ += size;
  while (bytes_ > kMostBytes)
    dropOldest();
}

void BlockPool::dropOldest() {
  const Block oldest = resting_.front();
  resting_.pop_front();
  bytes_ -= oldest.size;
  unpoison(oldest.data, oldest.size);
  std::free(oldest.data);
}

}  // namespace tb
