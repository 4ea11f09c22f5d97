// The mask effect's sequence data: a fresh slot, stored blocks kept through resetup, setdown, and
// every host call failed in turn. The handlers are called directly, inside a command frame of the
// testbed's ledger, so that their host calls are counted and can be failed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "TOLV_Mask/SequenceData.h"
#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "tests/support/Violations.h"

namespace {

constexpr A_u_longlong kSlotBytes = 2720048;
constexpr PF_Rect kExtent = {3, 4, 640, 360};

unsigned char patternByte(size_t i) {
  return static_cast<unsigned char>(i * 7 + 1);
}

class MaskSequenceData : public ::testing::Test {
 protected:
  void TearDown() override { tbtest::checkViolations(host_.ledger(), {}); }
  MaskSequenceData() {
    host_.fillInData({}, &in_);
    in_.extent_hint = kExtent;
  }

  // Runs one handler as the host runs a command: counted, faults armed, held references listed.
  tb::CommandReport run(PF_Err (*handler)(PF_InData*, PF_OutData*), PF_Err* err) {
    out_ = PF_OutData{};
    host_.ledger().beginCommand("sequence handler");
    *err = handler(&in_, &out_);
    return host_.ledger().endCommand();
  }

  PF_Handle patternBlock(A_u_longlong size) {
    PF_Handle h = host_.newHandle(size);
    auto* bytes = static_cast<unsigned char*>(*h);
    for (size_t i = 0; i < size; ++i)
      bytes[i] = patternByte(i);
    return h;
  }

  const unsigned char* bytes(PF_Handle h) { return static_cast<const unsigned char*>(*h); }

  tb::Host host_;
  PF_InData in_;
  PF_OutData out_{};
};

// The trailer of a fresh slot, little-endian, with the extent hint {3, 4, 640, 360}.
const unsigned char kFreshTrailer[48] = {
    2,    0,    0,    0,     // triangleCount
    0xFF, 0xFF, 0xFF, 0xFF,  // slotIndex -1
    0,    0,    0,    0,    0,    0, 0, 0,
    0,    0,    0,    0,    0,    0, 0, 0,  // flags, sources, bump amount
    3,    0,    0,    0,    4,    0, 0, 0,
    0x80, 2,    0,    0,    0x68, 1, 0, 0,  // uvRect
    0,    0,    0,    0,    0,    0, 0, 0,  // colour, cap flag, reserved flag, padding
};

TEST_F(MaskSequenceData, NewInstanceHoldsTwoZeroTrianglesAndNoSlot) {
  PF_Err err;
  run(SequenceSetup, &err);
  ASSERT_EQ(err, PF_Err_NONE);
  ASSERT_NE(out_.sequence_data, nullptr);
  EXPECT_EQ(out_.flat_sdata_size, 2720048);
  EXPECT_EQ(host_.handleSize(out_.sequence_data), kSlotBytes);
  const unsigned char* b = bytes(out_.sequence_data);
  std::vector<unsigned char> zeros(2720000, 0);
  EXPECT_EQ(std::memcmp(b, zeros.data(), zeros.size()), 0);
  EXPECT_EQ(std::memcmp(b + 2720000, kFreshTrailer, sizeof kFreshTrailer), 0);
}

TEST_F(MaskSequenceData, FullSizeProjectBlockSurvivesResetupByteForByte) {
  in_.sequence_data = patternBlock(kSlotBytes);
  PF_Err err;
  tb::CommandReport report = run(SequenceResetup, &err);
  EXPECT_EQ(err, PF_Err_NONE);
  EXPECT_EQ(host_.handleSize(in_.sequence_data), kSlotBytes);
  const unsigned char* b = bytes(in_.sequence_data);
  for (size_t i = 0; i < kSlotBytes; ++i)
    ASSERT_EQ(b[i], patternByte(i)) << i;
  // A size query cannot fail, so it is not a call to count.
  EXPECT_TRUE(report.calls.empty());
}

class MaskSequenceResize : public MaskSequenceData,
                           public ::testing::WithParamInterface<A_u_longlong> {};

TEST_P(MaskSequenceResize, ResetupKeepsLeadingBytesAndClearsAddedOnes) {
  const A_u_longlong stored = GetParam();
  in_.sequence_data = patternBlock(stored);
  PF_Err err;
  run(SequenceResetup, &err);
  ASSERT_EQ(err, PF_Err_NONE);
  ASSERT_EQ(host_.handleSize(in_.sequence_data), kSlotBytes);
  EXPECT_EQ(out_.sequence_data, in_.sequence_data);
  const unsigned char* b = bytes(in_.sequence_data);
  for (size_t i = 0; i < kSlotBytes; ++i)
    ASSERT_EQ(b[i], i < stored ? patternByte(i) : 0) << i;
}

INSTANTIATE_TEST_SUITE_P(StoredSizes, MaskSequenceResize,
                         ::testing::Values(0, 136, 1000, 2720000, 2720047, 2720048 + 100, 2880048));

TEST_F(MaskSequenceData, ResetupWithoutDataCreatesAFreshSlot) {
  PF_Err err;
  run(SequenceResetup, &err);
  ASSERT_EQ(err, PF_Err_NONE);
  ASSERT_NE(out_.sequence_data, nullptr);
  EXPECT_EQ(out_.flat_sdata_size, 2720048);
  EXPECT_EQ(std::memcmp(bytes(out_.sequence_data) + 2720000, kFreshTrailer, 48), 0);
}

TEST_F(MaskSequenceData, SetdownWithoutDataDoesNothing) {
  PF_Err err;
  tb::CommandReport report = run(SequenceSetdown, &err);
  EXPECT_EQ(err, PF_Err_NONE);
  EXPECT_TRUE(report.calls.empty());
  EXPECT_EQ(host_.liveHandles(), 0u);
}

TEST_F(MaskSequenceData, SetdownFreesTheSlot) {
  in_.sequence_data = patternBlock(kSlotBytes);
  PF_Err err;
  run(SequenceSetdown, &err);
  EXPECT_EQ(err, PF_Err_NONE);
  EXPECT_EQ(in_.sequence_data, nullptr);
  EXPECT_EQ(out_.sequence_data, nullptr);
  EXPECT_EQ(host_.liveHandles(), 0u);
  EXPECT_TRUE(host_.ledger().violations().empty());
}

TEST_F(MaskSequenceData, AllocationFailureIsReportedAndALaterResetupCreatesTheSlot) {
  tb::FaultPlan plan;
  plan.failHandle = 0;
  host_.ledger().arm(plan);
  PF_Err err;
  tb::CommandReport report = run(SequenceSetup, &err);
  host_.ledger().disarm();
  EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_STREQ(out_.return_msg, "Internal Error");
  EXPECT_NE(out_.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
  EXPECT_EQ(out_.sequence_data, nullptr);
  EXPECT_TRUE(report.held.empty());
  EXPECT_EQ(host_.liveHandles(), 0u);

  run(SequenceResetup, &err);
  EXPECT_EQ(err, PF_Err_NONE);
  ASSERT_NE(out_.sequence_data, nullptr);
  EXPECT_EQ(std::memcmp(bytes(out_.sequence_data) + 2720000, kFreshTrailer, 48), 0);
}

// Fails each host call of a handler in turn. A failed allocation and a failed resize are both the
// effect's own 512, the resize leaving the stored block as it was. Setdown only disposes, which
// cannot fail, so it has nothing to sweep.
struct SweepCase {
  const char* name;
  PF_Err (*handler)(PF_InData*, PF_OutData*);
  A_u_longlong storedSize;  // 0: no stored block
};

class MaskSequenceSweep : public MaskSequenceData,
                          public ::testing::WithParamInterface<SweepCase> {};

TEST_P(MaskSequenceSweep, EveryFailedCallGivesItsStatusAndHoldsNothing) {
  const SweepCase& c = GetParam();
  auto prepare = [&] { in_.sequence_data = c.storedSize ? patternBlock(c.storedSize) : nullptr; };
  prepare();
  PF_Err err;
  const std::vector<std::string> calls = run(c.handler, &err).calls;
  ASSERT_EQ(err, PF_Err_NONE);
  ASSERT_FALSE(calls.empty());
  for (size_t i = 0; i < calls.size(); ++i) {
    prepare();
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    tb::CommandReport report = run(c.handler, &err);
    host_.ledger().disarm();
    EXPECT_TRUE(report.held.empty()) << calls[i];
    if (calls[i] == "host_new_handle") {
      EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
      EXPECT_EQ(out_.sequence_data, nullptr);
    } else if (calls[i] == "host_resize_handle") {
      EXPECT_EQ(err, PF_Err_INTERNAL_STRUCT_DAMAGED);
      EXPECT_STREQ(out_.return_msg, "Internal Error");
      EXPECT_EQ(host_.handleSize(in_.sequence_data), c.storedSize);
      EXPECT_EQ(bytes(in_.sequence_data)[0], patternByte(0));
    } else {
      ADD_FAILURE() << "a call the handler should not make: " << calls[i];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, MaskSequenceSweep,
    ::testing::Values(SweepCase{"SetupNew", SequenceSetup, 0},
                      SweepCase{"SetupFits", SequenceSetup, 1000},
                      SweepCase{"ResetupNew", SequenceResetup, 0},
                      SweepCase{"ResetupGrows", SequenceResetup, 1000},
                      SweepCase{"ResetupShrinks", SequenceResetup, 2720048 + 8}),
    [](const ::testing::TestParamInfo<SweepCase>& info) { return std::string(info.param.name); });

}  // namespace
