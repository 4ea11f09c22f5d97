// Records handed from a sender through the testbed to the distort effect and the stand-in
// renderer: which effect receives, what the store keeps, and what survives a project round trip.
#include <cstdio>
#include <filesystem>

#include "testbed/host/HostError.h"
#include "tests/exchange/ExchangeFixture.h"

namespace {

using extest::ExchangeTest;
using extest::makeRecord;

TEST_F(ExchangeTest, setupCreatesAFullStoreOfInitialSlots) {
  tb::CommandResult setup;
  tb::Effect& d = host_.applyEffect(*layer_, *distort_, &setup);
  EXPECT_EQ(setup.err, PF_Err_NONE);
  EXPECT_EQ(setup.out.flat_sdata_size, 27200496);
  ASSERT_EQ(host_.handleSize(d.sequenceData), 27200496u);
  auto initial = std::make_unique<MeshSlot>();
  InitMeshSlot(initial.get(), PF_Rect{0, 0, 640, 360});
  const unsigned char zero[16] = {};
  EXPECT_EQ(std::memcmp(&store(d), zero, 16), 0);
  for (const MeshSlot& slot : store(d).slots)
    EXPECT_EQ(std::memcmp(&slot, initial.get(), sizeof(MeshSlot)), 0);
}

TEST_F(ExchangeTest, twentyFiveThousandTrianglesArriveAsTwentyThousand) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  auto record = makeRecord({25000, 0, 1, 1}, kMaxTriangles, 1.0f);
  tb::CommandResult r = send(s, *record);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(store(d).slots[0].triangleCount, 20000);
  EXPECT_TRUE(extest::sameTriangles(store(d).slots[0], *record, kMaxTriangles));
}

TEST_F(ExchangeTest, countOfOneKeepsTheTrianglesAndUpdatesEveryTrailerField) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  auto first = makeRecord({6, 1, 1, 1}, 6, 2.0f);
  send(s, *first);
  auto second = makeRecord({1, 1, 0, 7}, 6, 50.0f);
  EXPECT_EQ(send(s, *second).err, PF_Err_NONE);
  const MeshSlot& slot = store(d).slots[1];
  EXPECT_TRUE(extest::sameTriangles(slot, *first, 6));
  EXPECT_TRUE(extest::sameTrailer(slot, *second));
  EXPECT_EQ(store(d).slotFlags[1], 0);
}

TEST_F(ExchangeTest, slotIndexMinusOneChangesNothing) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  std::vector<unsigned char> before = storeBytes(d);
  auto record = makeRecord({3, -1, 1, 1}, 3, 2.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  EXPECT_TRUE(storeBytes(d) == before);
}

TEST_F(ExchangeTest, slotIndexTenIsIgnored) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  std::vector<unsigned char> before = storeBytes(d);
  auto record = makeRecord({3, 10, 1, 1}, 3, 2.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  EXPECT_TRUE(storeBytes(d) == before);
}

TEST_F(ExchangeTest, negativeCountStoresZero) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  auto record = makeRecord({-3, 2, 1, 1}, 3, 2.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  EXPECT_EQ(store(d).slots[2].triangleCount, 0);
}

TEST_F(ExchangeTest, twoSendersAboveOneDistortLandInSlotsZeroAndOne) {
  tb::Effect& first = sender();
  tb::Effect& second = sender();
  tb::Effect& d = distort();
  auto a = makeRecord({4, 0, 1, 1}, 4, 1.0f);
  auto b = makeRecord({5, 1, 1, 2}, 5, 100.0f);
  EXPECT_EQ(send(first, *a).err, PF_Err_NONE);
  EXPECT_EQ(send(second, *b).err, PF_Err_NONE);
  EXPECT_TRUE(extest::sameTrailer(store(d).slots[0], *a));
  EXPECT_TRUE(extest::sameTriangles(store(d).slots[0], *a, 4));
  EXPECT_TRUE(extest::sameTrailer(store(d).slots[1], *b));
  EXPECT_TRUE(extest::sameTriangles(store(d).slots[1], *b, 5));
}

TEST_F(ExchangeTest, noReceiverBelowMeansNothingIsSent) {
  tb::Effect& above = engine();
  tb::Effect& s = sender();
  sender();  // not a receiver
  auto record = makeRecord({4, 0, 1, 1}, 4, 1.0f);
  tb::CommandResult r = send(s, *record);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_EQ(store(above).slots[0].slotIndex, -1);
  for (const std::string& call : r.report.calls)
    EXPECT_NE(call, "AEGP_EffectCallGeneric");
}

TEST_F(ExchangeTest, onlyTheFirstEngineBelowReceives) {
  tb::Effect& s = sender();
  sender();
  tb::Effect& first = engine();
  tb::Effect& second = engine();
  auto record = makeRecord({4, 3, 1, 1}, 4, 1.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(host_.engineRecords()[0].effect, &first);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[0].bytes.data(), record.get(), sizeof(MeshSlot)), 0);
  EXPECT_TRUE(extest::sameTrailer(store(first).slots[3], *record));
  EXPECT_EQ(store(second).slots[3].slotIndex, -1);
}

TEST_F(ExchangeTest, theDistortStopsTheWalkBeforeAnEngineBelowIt) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  engine();
  auto record = makeRecord({4, 5, 1, 1}, 4, 1.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(extest::sameTrailer(store(d).slots[5], *record));
}

TEST_F(ExchangeTest, engineRecordsKeepArrivalOrderAndBytes) {
  tb::Effect& s = sender();
  engine();
  auto a = makeRecord({2, 0, 1, 1}, 2, 1.0f);
  auto b = makeRecord({3, 1, 0, 2}, 3, 9.0f);
  send(s, *a);
  send(s, *b);
  ASSERT_EQ(host_.engineRecords().size(), 2u);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[0].bytes.data(), a.get(), sizeof(MeshSlot)), 0);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[1].bytes.data(), b.get(), sizeof(MeshSlot)), 0);
}

TEST_F(ExchangeTest, recordsAfterAClearAreWholeCopiesOfTheNewOnes) {
  tb::Effect& s = sender();
  engine();
  auto a = makeRecord({2, 0, 1, 1}, 2, 1.0f);
  auto b = makeRecord({3, 1, 0, 2}, 3, 9.0f);
  auto c = makeRecord({1, 1, 1, 1}, 1, 4.0f);
  send(s, *a);
  send(s, *b);
  host_.clearEngineRecords();
  EXPECT_TRUE(host_.engineRecords().empty());
  // The cleared records' storage serves again; nothing of a or b may show through.
  send(s, *c);
  send(s, *a);
  send(s, *b);
  ASSERT_EQ(host_.engineRecords().size(), 3u);
  for (const tb::EngineRecord& r : host_.engineRecords())
    ASSERT_EQ(r.bytes.size(), sizeof(MeshSlot));
  EXPECT_EQ(std::memcmp(host_.engineRecords()[0].bytes.data(), c.get(), sizeof(MeshSlot)), 0);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[1].bytes.data(), a.get(), sizeof(MeshSlot)), 0);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[2].bytes.data(), b.get(), sizeof(MeshSlot)), 0);
}

TEST_F(ExchangeTest, withRecordsNotKeptDeliveriesAreCountedAndTheEngineStillStores) {
  tb::Effect& s = sender();
  tb::Effect& e = engine();
  auto a = makeRecord({2, 0, 1, 1}, 2, 1.0f);
  auto b = makeRecord({3, 1, 0, 2}, 3, 9.0f);
  host_.keepEngineRecords(false);
  EXPECT_EQ(send(s, *a).err, PF_Err_NONE);
  EXPECT_EQ(host_.engineDeliveries(), 1u);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(extest::sameTrailer(store(e).slots[0], *a));
  host_.keepEngineRecords(true);
  EXPECT_EQ(send(s, *b).err, PF_Err_NONE);
  EXPECT_EQ(host_.engineDeliveries(), 2u);
  EXPECT_TRUE(extest::sameTrailer(store(e).slots[1], *b));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(std::memcmp(host_.engineRecords()[0].bytes.data(), b.get(), sizeof(MeshSlot)), 0);
}

TEST_F(ExchangeTest, aReorderedStackChangesTheReceiver) {
  tb::Effect& d = distort();
  tb::Effect& s = sender();
  engine();
  auto record = makeRecord({2, 0, 1, 1}, 2, 1.0f);
  send(s, *record);
  EXPECT_EQ(host_.engineRecords().size(), 1u);
  host_.moveEffect(s, 0);
  send(s, *record);
  EXPECT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_TRUE(extest::sameTrailer(store(d).slots[0], *record));
}

TEST_F(ExchangeTest, aSavedAndReopenedProjectGivesEveryDistortItsMeshesBack) {
  tb::Effect& s = sender();
  tb::Effect& d1 = distort();
  tb::Layer& other = host_.addLayer(*layer_->comp, "Other", 320, 200);
  tb::Effect& s2 = host_.applyEffect(other, *sender_);
  tb::Effect& d2 = host_.applyEffect(other, *distort_);
  auto a = makeRecord({300, 0, 1, 1}, 300, 1.0f);
  auto b = makeRecord({20000, 7, 1, 2}, kMaxTriangles, 5.0f);
  send(s, *a);
  send(s2, *b);
  std::vector<unsigned char> bytes1 = storeBytes(d1);
  std::vector<unsigned char> bytes2 = storeBytes(d2);
  size_t handles = host_.liveHandles();

  std::string path =
      (std::filesystem::temp_directory_path() / "tolv-exchange-roundtrip.tolvprj").string();
  host_.saveProject(path);
  host_.openProject(path);
  std::remove(path.c_str());

  ASSERT_EQ(host_.project().comps.size(), 1u);
  const auto& layers = host_.project().comps[0]->layers;
  ASSERT_EQ(layers.size(), 2u);
  EXPECT_TRUE(storeBytes(*layers[0]->effects[1]) == bytes1);
  EXPECT_TRUE(storeBytes(*layers[1]->effects[1]) == bytes2);
  EXPECT_EQ(host_.liveHandles(), handles);
}

TEST_F(ExchangeTest, aTruncatedProjectIsRefused) {
  distort();
  std::string path =
      (std::filesystem::temp_directory_path() / "tolv-exchange-truncated.tolvprj").string();
  host_.saveProject(path);
  std::filesystem::resize_file(path, 4000);
  EXPECT_THROW(host_.openProject(path), tb::HostError);
  std::remove(path.c_str());
}

TEST_F(ExchangeTest, savingReplacesTheFileOnlyWhenComplete) {
  distort();
  std::string path =
      (std::filesystem::temp_directory_path() / "tolv-exchange-replace.tolvprj").string();
  host_.saveProject(path);
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
  EXPECT_GT(std::filesystem::file_size(path), 27200496u);
  std::remove(path.c_str());
}

TEST_F(ExchangeTest, aDuplicateGetsACopyOfTheStore) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  auto record = makeRecord({8, 4, 1, 1}, 8, 1.0f);
  send(s, *record);
  tb::CommandResult resetup;
  tb::Effect& dup = host_.duplicateEffect(d, &resetup);
  EXPECT_EQ(resetup.err, PF_Err_NONE);
  EXPECT_NE(dup.sequenceData, d.sequenceData);
  EXPECT_TRUE(storeBytes(dup) == storeBytes(d));
  EXPECT_EQ(tb::effectIndex(dup), 2);
}

TEST_F(ExchangeTest, removingSendsSetdownWhichFreesTheStore) {
  tb::Effect& d = distort();
  size_t handles = host_.liveHandles();
  host_.removeEffect(d);
  EXPECT_EQ(host_.liveHandles(), handles - 1);
  EXPECT_TRUE(layer_->effects.empty());
}

// A store saved by another build comes back at full size: the bytes it had are kept, the bytes
// added are zero (the testbed fills grown bytes with garbage).
class WrongSizeStoreTest : public ExchangeTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(WrongSizeStoreTest, resetupResizesKeepingTheLeadingBytes) {
  tb::Effect& s = sender();
  tb::Effect& d = distort();
  auto record = makeRecord({9, 0, 1, 1}, 9, 1.0f);
  send(s, *record);
  std::vector<unsigned char> before = storeBytes(d);
  const size_t size = GetParam();
  ASSERT_EQ(host_.resizeHandle(size, &d.sequenceData), PF_Err_NONE);
  tb::CommandResult r = host_.sendToEffect(d, PF_Cmd_SEQUENCE_RESETUP);
  EXPECT_EQ(r.err, PF_Err_NONE);
  std::vector<unsigned char> after = storeBytes(d);
  ASSERT_EQ(after.size(), 27200496u);
  const size_t kept = std::min(size, after.size());
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + kept, before.begin()));
  for (size_t i = kept; i < after.size(); ++i) {
    ASSERT_EQ(after[i], 0) << "byte " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(SmallerAndLarger, WrongSizeStoreTest,
                         ::testing::Values(0u, 1000u, 2720064u, 27200495u, 27200497u, 30000000u));

TEST_F(ExchangeTest, allocationFailureAtSetupReportsInternalError) {
  tb::FaultPlan plan;
  plan.failHandle = 0;
  host_.ledger().arm(plan);
  tb::CommandResult setup;
  tb::Effect& d = host_.applyEffect(*layer_, *distort_, &setup);
  host_.ledger().disarm();
  EXPECT_EQ(setup.err, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_STREQ(setup.out.return_msg, "Internal Error");
  EXPECT_NE(setup.out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
  EXPECT_EQ(d.sequenceData, nullptr);
}

TEST_F(ExchangeTest, aRecordForAnInstanceWithoutStoreCreatesTheStoreAndIsDropped) {
  tb::Effect& s = sender();
  tb::FaultPlan plan;
  plan.failHandle = 0;
  host_.ledger().arm(plan);
  tb::Effect& d = distort();
  host_.ledger().disarm();
  ASSERT_EQ(d.sequenceData, nullptr);
  auto record = makeRecord({4, 0, 1, 1}, 4, 1.0f);
  EXPECT_EQ(send(s, *record).err, PF_Err_NONE);
  ASSERT_NE(d.sequenceData, nullptr);
  EXPECT_EQ(store(d).slots[0].slotIndex, -1);
  EXPECT_EQ(store(d).slots[0].triangleCount, 2);
}

TEST_F(ExchangeTest, aNullRecordIsIgnoredByTheReceiver) {
  tb::Effect& d = distort();
  std::vector<unsigned char> before = storeBytes(d);
  EXPECT_EQ(host_.sendToEffect(d, PF_Cmd_COMPLETELY_GENERAL, nullptr).err, PF_Err_NONE);
  EXPECT_TRUE(storeBytes(d) == before);
}

}  // namespace
