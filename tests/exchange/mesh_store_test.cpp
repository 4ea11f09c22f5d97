// Storing received records into the distort effect's store, without a host.
#include <gtest/gtest.h>

#include <vector>

#include "common/MeshStore.h"
#include "tests/exchange/Records.h"

namespace {

using extest::makeRecord;

class StoreMeshRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = std::make_unique<MeshStore>();
    InitMeshStore(store_.get(), PF_Rect{0, 0, 640, 360});
  }
  std::vector<unsigned char> bytes() const {
    const auto* p = reinterpret_cast<const unsigned char*>(store_.get());
    return std::vector<unsigned char>(p, p + sizeof(MeshStore));
  }
  std::unique_ptr<MeshStore> store_;
};

TEST_F(StoreMeshRecordTest, initialStoreHasZeroHeaderAndInitialSlots) {
  auto initial = std::make_unique<MeshSlot>();
  InitMeshSlot(initial.get(), PF_Rect{0, 0, 640, 360});
  const unsigned char zero[16] = {};
  EXPECT_EQ(std::memcmp(store_.get(), zero, 16), 0);
  for (const MeshSlot& slot : store_->slots)
    EXPECT_EQ(std::memcmp(&slot, initial.get(), sizeof(MeshSlot)), 0);
}

TEST_F(StoreMeshRecordTest, storesCountTrianglesAndEveryTrailerField) {
  auto record = makeRecord({7, 3, 1, 5}, 7, 1.5f);
  StoreMeshRecord(store_.get(), *record);
  const MeshSlot& slot = store_->slots[3];
  EXPECT_TRUE(extest::sameTrailer(slot, *record));
  EXPECT_TRUE(extest::sameTriangles(slot, *record, 7));
  EXPECT_EQ(store_->slotFlags[3], 1);
}

TEST_F(StoreMeshRecordTest, countAboveTheLimitStoresTwentyThousand) {
  auto record = makeRecord({25000, 0, 1, 1}, kMaxTriangles, 3.0f);
  StoreMeshRecord(store_.get(), *record);
  EXPECT_EQ(store_->slots[0].triangleCount, 20000);
  EXPECT_TRUE(extest::sameTriangles(store_->slots[0], *record, kMaxTriangles));
}

class SmallCountTest : public StoreMeshRecordTest, public ::testing::WithParamInterface<int> {};

TEST_P(SmallCountTest, keepsTheOldTrianglesAndTakesEveryTrailerField) {
  auto first = makeRecord({5, 2, 1, 1}, 5, 10.0f);
  StoreMeshRecord(store_.get(), *first);
  auto second = makeRecord({GetParam(), 2, 0, 9}, 5, 99.0f);
  StoreMeshRecord(store_.get(), *second);
  const MeshSlot& slot = store_->slots[2];
  EXPECT_TRUE(extest::sameTriangles(slot, *first, 5));
  EXPECT_EQ(slot.triangleCount, GetParam());
  EXPECT_TRUE(extest::sameTrailer(slot, *second));
  EXPECT_EQ(store_->slotFlags[2], 0);
}

INSTANTIATE_TEST_SUITE_P(CountsZeroAndOne, SmallCountTest, ::testing::Values(0, 1));

// Slots that do not exist, and records that carry no mesh, leave the store as it was.
class IgnoredSlotTest : public StoreMeshRecordTest, public ::testing::WithParamInterface<int> {};

TEST_P(IgnoredSlotTest, leavesEveryByteUnchanged) {
  std::vector<unsigned char> before = bytes();
  auto record = makeRecord({4, GetParam(), 1, 2}, 4, 2.0f);
  StoreMeshRecord(store_.get(), *record);
  EXPECT_TRUE(bytes() == before);
}

INSTANTIATE_TEST_SUITE_P(NegativeAndPastTheEnd, IgnoredSlotTest,
                         ::testing::Values(-1, -2147483647 - 1, 10, 11, 2147483647));

TEST_F(StoreMeshRecordTest, negativeCountStoresZeroAndKeepsTheTriangles) {
  auto first = makeRecord({3, 4, 1, 1}, 3, 4.0f);
  StoreMeshRecord(store_.get(), *first);
  auto negative = makeRecord({-5, 4, 1, 2}, 3, 8.0f);
  StoreMeshRecord(store_.get(), *negative);
  EXPECT_EQ(store_->slots[4].triangleCount, 0);
  EXPECT_TRUE(extest::sameTriangles(store_->slots[4], *first, 3));
}

TEST_F(StoreMeshRecordTest, otherSlotsAreUntouched) {
  std::vector<unsigned char> before = bytes();
  auto record = makeRecord({2, 9, 1, 3}, 2, 6.0f);
  StoreMeshRecord(store_.get(), *record);
  std::vector<unsigned char> after = bytes();
  const size_t slot9 = offsetof(MeshStore, slots) + 9 * sizeof(MeshSlot);
  EXPECT_TRUE(std::equal(after.begin() + 16, after.begin() + slot9, before.begin() + 16));
  EXPECT_EQ(after[4 + 9], 1);
}

}  // namespace
