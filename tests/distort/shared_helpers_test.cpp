// The pieces in common/ that the distort effect brought there: the replacing abort poll and the
// sequence-handle fit as the receive path uses it.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/HostStatus.h"
#include "tests/distort/DistortFixture.h"

namespace {

PF_Err g_answer = PF_Err_NONE;
int g_polls = 0;

PF_Err Answer(PF_ProgPtr) {
  ++g_polls;
  return g_answer;
}

PF_InData PollingInData() {
  PF_InData in_data = {};
  in_data.inter.abort = Answer;
  return in_data;
}

TEST(HostStatusPolls, theReplacingPollAsksEvenAfterAFailureAndItsAnswerStands) {
  PF_InData in_data = PollingInData();
  HostStatus status(&in_data);
  status.call([] { return PF_Err_OUT_OF_MEMORY; });
  g_polls = 0;
  g_answer = PF_Err_NONE;
  EXPECT_TRUE(status.aborted());  // the ordinary poll does not ask once something failed
  EXPECT_EQ(g_polls, 0);
  EXPECT_FALSE(status.abortedReplacing());
  EXPECT_EQ(g_polls, 1);
  EXPECT_EQ(status.err(), PF_Err_NONE);
  g_answer = PF_Interrupt_CANCEL;
  EXPECT_TRUE(status.abortedReplacing());
  EXPECT_EQ(status.err(), PF_Interrupt_CANCEL);
  g_answer = PF_Err_NONE;
}

class ReceiveIntoResizedStore : public dtest::DistortTest {};

// A store of the wrong size is resized on receipt; the record goes into the block the resize
// returned and the second size check finds it whole.
TEST_F(ReceiveIntoResizedStore, theRecordLandsInTheResizedBlock) {
  tb::Effect& from = sender();
  tb::Effect& d = distort();
  ASSERT_EQ(host_.resizeHandle(4000, &d.sequenceData), PF_Err_NONE);
  auto record = extest::makeRecord({3, 4, 1, 9}, 3, 2.0f);
  const tb::CommandResult r = send(from, *record);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_EQ(host_.handleSize(d.sequenceData), kMeshStoreBytes);
  EXPECT_EQ(store(d).slots[4].triangleCount, 3);
  EXPECT_EQ(std::memcmp(store(d).slots[4].triangles, record->triangles, 3 * sizeof(triangle)), 0);
  EXPECT_EQ(store(d).slotFlags[4], 1);
}

}  // namespace
