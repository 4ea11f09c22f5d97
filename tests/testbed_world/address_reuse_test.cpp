// Host objects are never found again at a freed address: a handle, an effect reference or a
// prepared segment disposed once is refused when disposed again, with a violation, even after a
// newer one of the same kind was made, and the newer one is untouched.
#include <cstring>

#include "testbed/host/Callbacks.h"
#include "tests/testbed_world/WorldFixture.h"

namespace {

class AddressReuseTest : public twtest::WorldTest {
 protected:
  const AEGP_PFInterfaceSuite1& pf() {
    return suite<AEGP_PFInterfaceSuite1>(kAEGPPFInterfaceSuite, 1);
  }
  const AEGP_EffectSuite3& effects() { return suite<AEGP_EffectSuite3>(kAEGPEffectSuite, 3); }
};

TEST_F(AddressReuseTest, aStaleHandleDisposalIsRefusedAndSparesTheNewerHandle) {
  expectViolation("host_dispose_handle: not a live handle");
  expectViolation("host_get_handle_size: not a live handle");
  PF_UtilCallbacks* utils = tb::utilCallbacks();
  for (int round = 0; round < 50; ++round) {
    PF_Handle old = utils->host_new_handle(24);
    ASSERT_NE(old, nullptr);
    const uint64_t old_serial = host_.handles().serial(old);
    utils->host_dispose_handle(old);
    PF_Handle newer = utils->host_new_handle(24);
    ASSERT_NE(newer, nullptr);
    EXPECT_NE(newer, old);
    EXPECT_GT(host_.handles().serial(newer), old_serial);
    std::memset(*newer, 0x5C, 24);
    const size_t before = host_.ledger().violations().size();
    utils->host_dispose_handle(old);
    EXPECT_EQ(host_.ledger().violations().size(), before + 1);
    ASSERT_TRUE(host_.isHandle(newer));
    EXPECT_EQ(utils->host_get_handle_size(newer), 24u);
    EXPECT_EQ(static_cast<unsigned char*>(*newer)[23], 0x5C);
    EXPECT_EQ(utils->host_get_handle_size(old), 0u);
    utils->host_dispose_handle(newer);
  }
}

TEST_F(AddressReuseTest, aStaleEffectReferenceIsRefusedAndSparesTheNewerOne) {
  expectViolation("AEGP_DisposeEffect: not a live effect reference");
  host_.ledger().beginCommand("refs");
  for (int round = 0; round < 50; ++round) {
    AEGP_EffectRefH old = nullptr, newer = nullptr;
    ASSERT_EQ(pf().AEGP_GetNewEffectForEffect(sender_->pluginId, ref(), &old), A_Err_NONE);
    ASSERT_EQ(effects().AEGP_DisposeEffect(old), A_Err_NONE);
    ASSERT_EQ(pf().AEGP_GetNewEffectForEffect(sender_->pluginId, ref(), &newer), A_Err_NONE);
    EXPECT_NE(newer, old);
    EXPECT_EQ(effects().AEGP_DisposeEffect(old), A_Err_PARAMETER);
    AEGP_InstalledEffectKey key = 0;
    EXPECT_EQ(effects().AEGP_GetInstalledKeyFromLayerEffect(newer, &key), A_Err_NONE);
    EXPECT_EQ(key, host_.installedKey(*sender_));
    EXPECT_EQ(effects().AEGP_DisposeEffect(newer), A_Err_NONE);
  }
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

TEST_F(AddressReuseTest, aStalePreparedSegmentIsRefusedAndSparesTheNewerOne) {
  expectViolation("PF_PathCleanupSegLength: not a live prepared segment");
  const PF_PathID id = host_.addMask(*layer_, "Line", twtest::polyline({{0, 0}, {3, 4}}, false));
  host_.ledger().beginCommand("segments");
  PF_PathOutlinePtr path = nullptr;
  ASSERT_EQ(query().PF_CheckoutPath(ref(), id, 0, 100, 2500, &path), PF_Err_NONE);
  for (int round = 0; round < 50; ++round) {
    PF_PathSegPrepPtr old = nullptr, newer = nullptr;
    ASSERT_EQ(data().PF_PathPrepareSegLength(ref(), path, 0, 100, &old), PF_Err_NONE);
    PF_PathSegPrepPtr stale = old;
    ASSERT_EQ(data().PF_PathCleanupSegLength(ref(), path, 0, &old), PF_Err_NONE);
    ASSERT_EQ(data().PF_PathPrepareSegLength(ref(), path, 0, 100, &newer), PF_Err_NONE);
    EXPECT_NE(newer, stale);
    EXPECT_EQ(data().PF_PathCleanupSegLength(ref(), path, 0, &stale), PF_Err_BAD_CALLBACK_PARAM);
    PF_FpLong length = 0;
    EXPECT_EQ(data().PF_PathGetSegLength(ref(), path, 0, &newer, &length), PF_Err_NONE);
    EXPECT_DOUBLE_EQ(length, 5.0);
    EXPECT_EQ(data().PF_PathCleanupSegLength(ref(), path, 0, &newer), PF_Err_NONE);
  }
  ASSERT_EQ(query().PF_CheckinPath(ref(), id, false, path), PF_Err_NONE);
  EXPECT_TRUE(host_.ledger().endCommand().clean());
}

}  // namespace
