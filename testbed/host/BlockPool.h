// Large blocks behind the host's handles, kept for reuse once they have rested behind a few
// others. A 27 MB mesh store made afresh for every sequence setup costs more in page faults than
// the command that asked for it; a host's own heap would hand back memory it had before. While a
// block rests it is poisoned for the address sanitizer, so a plug-in still writing through the
// address of a handle it disposed of or resized is caught as if the block had been freed.
#pragma once

#include <cstddef>
#include <deque>

namespace tb {

class BlockPool {
 public:
  // Blocks smaller than this go straight to the heap: they cost no page faults worth keeping.
  static constexpr size_t kSmallest = size_t(1) << 20;
  // Blocks disposed of most recently are never handed out, whatever their size.
  static constexpr size_t kResting = 2;
  static constexpr size_t kMostBytes = size_t(256) << 20;

  BlockPool() = default;
  ~BlockPool();
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // A block of size bytes (contents unspecified), or null when memory runs out.
  void* take(size_t size);
  // Ends a block that take returned with this size.
  void give(void* block, size_t size);
  size_t restingBytes() const { return bytes_; }

 private:
  struct Block {
    void* data;
    size_t size;
  };
  void dropOldest();

  std::deque<Block> resting_;  // oldest first
  size_t bytes_ = 0;
};

}  // namespace tb
