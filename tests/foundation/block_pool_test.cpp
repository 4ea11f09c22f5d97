#include "testbed/host/BlockPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "testbed/host/Sanitizer.h"

namespace {

constexpr size_t kBig = tb::BlockPool::kSmallest;

TEST(BlockPool, reusesALargeBlockOnlyAfterItHasRested) {
  tb::BlockPool pool;
  void* first = pool.take(kBig);
  ASSERT_NE(first, nullptr);
  std::memset(first, 1, kBig);
  pool.give(first, kBig);
  EXPECT_EQ(pool.restingBytes(), kBig);

  // While it is among the most recently given back, no take returns it.
  std::vector<void*> later;
  for (size_t i = 0; i < tb::BlockPool::kResting; ++i) {
    void* block = pool.take(kBig);
    EXPECT_NE(block, first);
    later.push_back(block);
  }
  for (void* block : later)
    pool.give(block, kBig);

  // A block of another size never comes back for this one; the rested block does.
  void* other = pool.take(kBig + 1);
  EXPECT_NE(other, first);
  pool.give(other, kBig + 1);
  EXPECT_EQ(pool.take(kBig), first);
  pool.give(first, kBig);
}

TEST(BlockPool, smallBlocksAreNotKeptAndRestingBytesAreBounded) {
  tb::BlockPool pool;
  pool.give(pool.take(kBig - 1), kBig - 1);
  pool.give(pool.take(0), 0);
  EXPECT_EQ(pool.restingBytes(), 0u);

  constexpr size_t kEach = size_t(40) << 20;
  std::vector<void*> blocks;
  for (int i = 0; i < 10; ++i)
    blocks.push_back(pool.take(kEach));
  for (void* block : blocks)
    pool.give(block, kEach);
  EXPECT_LE(pool.restingBytes(), tb::BlockPool::kMostBytes);
  EXPECT_GE(pool.restingBytes(), tb::BlockPool::kMostBytes - kEach);
}

#if defined(TB_ADDRESS_SANITIZED)
TEST(BlockPool, aRestingBlockIsPoisonedAndATakenOneIsNot) {
  tb::BlockPool pool;
  std::vector<char*> blocks;
  for (size_t i = 0; i <= tb::BlockPool::kResting; ++i)
    blocks.push_back(static_cast<char*>(pool.take(kBig)));
  for (char* block : blocks)
    pool.give(block, kBig);
  for (char* block : blocks) {
    EXPECT_TRUE(__asan_address_is_poisoned(block));
    EXPECT_TRUE(__asan_address_is_poisoned(block + kBig - 1));
  }
  char* again = static_cast<char*>(pool.take(kBig));
  EXPECT_EQ(again, blocks.front());
  EXPECT_EQ(__asan_region_is_poisoned(again, kBig), nullptr);
  pool.give(again, kBig);
}
#endif

}  // namespace
