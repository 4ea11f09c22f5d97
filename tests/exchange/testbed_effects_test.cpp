// The testbed's effect, stream and PF interface suites as the sender and receiver meet them:
// names written to the host's full length, bad handles answered with errors, stream values.
#include "testbed/host/SuiteTable.h"
#include "tests/exchange/ExchangeFixture.h"

namespace {

class TestbedEffectsTest : public extest::ExchangeTest {
 protected:
  template <class Suite>
  const Suite* suite(const char* name, int version) {
    return static_cast<const Suite*>(host_.suites().find(name, version));
  }
  const AEGP_EffectSuite2* effects() { return suite<AEGP_EffectSuite2>(kAEGPEffectSuite, 2); }
  const AEGP_StreamSuite9* streams() { return suite<AEGP_StreamSuite9>(kAEGPStreamSuite, 9); }
  AEGP_LayerH layerH() { return reinterpret_cast<AEGP_LayerH>(layer_); }
};

TEST_F(TestbedEffectsTest, matchNameFillsTheHostsFullLengthBehindTheTerminator) {
  engine();
  AEGP_EffectRefH ref = nullptr;
  ASSERT_EQ(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 0, &ref), A_Err_NONE);
  AEGP_InstalledEffectKey key = 0;
  ASSERT_EQ(effects()->AEGP_GetInstalledKeyFromLayerEffect(ref, &key), A_Err_NONE);
  char buffer[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 8];
  std::memset(buffer, 0, sizeof buffer);
  ASSERT_EQ(effects()->AEGP_GetEffectMatchName(key, buffer), A_Err_NONE);
  EXPECT_STREQ(buffer, "ZEK TOLV_Engine");
  for (int i = 16; i <= AEGP_MAX_EFFECT_MATCH_NAME_SIZE; ++i)
    EXPECT_NE(buffer[i], 0) << "byte " << i;
  EXPECT_EQ(buffer[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1], 0);
  EXPECT_EQ(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
}

TEST_F(TestbedEffectsTest, badAndStaleHandlesAreErrorsNotCrashes) {
  engine();
  int not_a_handle = 0;
  A_long n = 0;
  EXPECT_NE(effects()->AEGP_GetLayerNumEffects(reinterpret_cast<AEGP_LayerH>(&not_a_handle), &n),
            A_Err_NONE);
  AEGP_EffectRefH ref = nullptr, missing = nullptr;
  ASSERT_EQ(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 0, &ref), A_Err_NONE);
  EXPECT_NE(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 1, &missing), A_Err_NONE);
  EXPECT_EQ(missing, tb::poisonAddress());
  // An effect reference is not a layer, and a layer is not an effect reference.
  EXPECT_NE(effects()->AEGP_GetLayerNumEffects(reinterpret_cast<AEGP_LayerH>(ref), &n), A_Err_NONE);
  EXPECT_NE(effects()->AEGP_DisposeEffect(reinterpret_cast<AEGP_EffectRefH>(layer_)), A_Err_NONE);
  EXPECT_EQ(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
  EXPECT_NE(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
  char name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
  EXPECT_NE(effects()->AEGP_GetEffectMatchName(999, name), A_Err_NONE);
  // Each handle the host could not use is a violation of the call that got it.
  std::vector<std::string> seen;
  for (const tb::Violation& v : host_.ledger().violations())
    seen.push_back(v.what);
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "AEGP_GetLayerNumEffects: not a live layer",
                      "AEGP_GetLayerNumEffects: layer given is an effect reference",
                      "AEGP_DisposeEffect: effect reference given is a layer",
                      "AEGP_DisposeEffect: not a live effect reference",
                  }));
  host_.ledger().clearViolations();
}

TEST_F(TestbedEffectsTest, aReferenceToARemovedEffectIsAnError) {
  tb::Effect& e = engine();
  AEGP_EffectRefH ref = nullptr;
  ASSERT_EQ(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 0, &ref), A_Err_NONE);
  host_.removeEffect(e);
  AEGP_InstalledEffectKey key = 0;
  EXPECT_NE(effects()->AEGP_GetInstalledKeyFromLayerEffect(ref, &key), A_Err_NONE);
  EXPECT_EQ(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
}

TEST_F(TestbedEffectsTest, engineParametersReadAndWriteAsTheHostKeepsThem) {
  tb::Effect& e = engine();
  ASSERT_EQ(e.params.size(), 44u);
  EXPECT_EQ(e.params[19].param_type, PF_Param_LAYER);
  EXPECT_EQ(e.params[38].param_type, PF_Param_LAYER);
  EXPECT_EQ(e.params[43].param_type, PF_Param_SLIDER);
  AEGP_EffectRefH ref = nullptr;
  ASSERT_EQ(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 0, &ref), A_Err_NONE);
  AEGP_StreamRefH update = nullptr, source = nullptr;
  ASSERT_EQ(streams()->AEGP_GetNewEffectStreamByIndex(1, ref, 43, &update), A_Err_NONE);
  ASSERT_EQ(streams()->AEGP_GetNewEffectStreamByIndex(1, ref, 21, &source), A_Err_NONE);
  AEGP_StreamValue2 value = {};
  value.val.one_d = 1.0;
  EXPECT_EQ(streams()->AEGP_SetStreamValue(1, update, &value), A_Err_NONE);
  value.val.layer_id = layer_->id;
  EXPECT_EQ(streams()->AEGP_SetStreamValue(1, source, &value), A_Err_NONE);
  EXPECT_EQ(e.params[43].u.sd.value, 1);
  EXPECT_EQ(e.layerIds[21], layer_->id);

  const A_Time time = {0, 100};
  AEGP_StreamValue2 read = {};
  ASSERT_EQ(
      streams()->AEGP_GetNewStreamValue(1, source, AEGP_LTimeMode_LayerTime, &time, false, &read),
      A_Err_NONE);
  EXPECT_EQ(read.val.layer_id, layer_->id);
  EXPECT_EQ(streams()->AEGP_DisposeStreamValue(&read), A_Err_NONE);
  EXPECT_NE(streams()->AEGP_DisposeStreamValue(&read), A_Err_NONE);
  host_.ledger().clearViolations();
  EXPECT_EQ(streams()->AEGP_DisposeStream(update), A_Err_NONE);
  EXPECT_EQ(streams()->AEGP_DisposeStream(source), A_Err_NONE);
  EXPECT_EQ(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
}

TEST_F(TestbedEffectsTest, callGenericRunsTheReceiverSynchronously) {
  tb::Effect& d = distort();
  AEGP_EffectRefH ref = nullptr;
  ASSERT_EQ(effects()->AEGP_GetLayerEffectByIndex(1, layerH(), 0, &ref), A_Err_NONE);
  auto record = extest::makeRecord({3, 6, 1, 1}, 3, 1.0f);
  const A_Time time = {0, 100};
  EXPECT_EQ(
      effects()->AEGP_EffectCallGeneric(1, ref, &time, PF_Cmd_COMPLETELY_GENERAL, record.get()),
      A_Err_NONE);
  EXPECT_TRUE(extest::sameTrailer(store(d).slots[6], *record));
  EXPECT_EQ(effects()->AEGP_DisposeEffect(ref), A_Err_NONE);
}

}  // namespace
