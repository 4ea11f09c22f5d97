// Out-parameters hold poison until a call writes them: after a failed call (an injected failure or
// a refused argument) every out-parameter of every function holds a recognisable value, and a
// plug-in that hands poison back, or a stale or foreign handle, is answered with an error and a
// violation naming the call and what it expected.
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <type_traits>

#include "AE_EffectSuites.h"
#include "SPSuites.h"
#include "testbed/host/Callbacks.h"
#include "tests/testbed_world/WorldFixture.h"

namespace {

constexpr A_Err kInjected = 0x7171;

template <class T>
bool poisoned(const T& v) {
  if constexpr (std::is_pointer_v<T>) {
    return static_cast<const void*>(v) == tb::poisonAddress();
  } else if constexpr (std::is_floating_point_v<T>) {
    return v == static_cast<T>(-7.7e30);
  } else {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&v);
    for (size_t i = 0; i < sizeof v; ++i) {
      if (bytes[i] != 0x5A)
        return false;
    }
    return true;
  }
}

// One call and the check of its out-parameters.
struct OutCall {
  const char* name;
  std::function<A_Err()> call;
  std::function<bool()> outsPoisoned;
};

class PoisonTest : public twtest::WorldTest {
 protected:
  // The references the calls under test need are made outside commands, so that no command
  // holds them, and given back before the host quits.
  void SetUp() override {
    WorldTest::SetUp();
    light_ = &host_.createLight(*comp_, "Lamp", {1, 2});
    mask_ = host_.addMask(*layer_, "Round", twtest::circle(50, 40, 20));
    const AEGP_PluginID id = sender_->pluginId;
    ASSERT_EQ(pf().AEGP_GetNewEffectForEffect(id, ref(), &effectRef_), A_Err_NONE);
    ASSERT_EQ(streams().AEGP_GetNewEffectStreamByIndex(id, effectRef_, 1, &paramStream_),
              A_Err_NONE);
    ASSERT_EQ(
        streams().AEGP_GetNewLayerStream(id, layerH(light_), AEGP_LayerStream_POSITION, &position_),
        A_Err_NONE);
    ASSERT_EQ(keys().AEGP_StartAddKeyframes(position_, &adding_), A_Err_NONE);
    ASSERT_EQ(query().PF_CheckoutPath(ref(), mask_, 0, 100, 2500, &path_), PF_Err_NONE);
  }
  void TearDown() override {
    EXPECT_EQ(query().PF_CheckinPath(ref(), mask_, false, path_), PF_Err_NONE);
    EXPECT_EQ(keys().AEGP_EndAddKeyframes(false, adding_), A_Err_NONE);
    EXPECT_EQ(streams().AEGP_DisposeStream(position_), A_Err_NONE);
    EXPECT_EQ(streams().AEGP_DisposeStream(paramStream_), A_Err_NONE);
    EXPECT_EQ(effects().AEGP_DisposeEffect(effectRef_), A_Err_NONE);
    WorldTest::TearDown();
  }

  const AEGP_PFInterfaceSuite1& pf() {
    return suite<AEGP_PFInterfaceSuite1>(kAEGPPFInterfaceSuite, 1);
  }
  const AEGP_EffectSuite3& effects() { return suite<AEGP_EffectSuite3>(kAEGPEffectSuite, 3); }
  const AEGP_StreamSuite9& streams() { return suite<AEGP_StreamSuite9>(kAEGPStreamSuite, 9); }
  const AEGP_KeyframeSuite4& keys() { return suite<AEGP_KeyframeSuite4>(kAEGPKeyframeSuite, 4); }

  // Runs one call as a command of its own, with the given call failed on purpose (-1: none).
  A_Err inCommand(const std::function<A_Err()>& call, int fail, tb::CommandReport* report) {
    tb::FaultPlan plan;
    plan.failCall = fail;
    plan.failWith = kInjected;
    host_.ledger().arm(plan);
    host_.ledger().beginCommand("poison");
    const A_Err err = call();
    *report = host_.ledger().endCommand();
    host_.ledger().disarm();
    return err;
  }

  template <class S>
  const S& s(const char* name, int version) {
    return suite<S>(name, version);
  }

  // Every function that has out-parameters, called with arguments it accepts.
  std::vector<OutCall> calls() {
    const auto& pf = s<AEGP_PFInterfaceSuite1>(kAEGPPFInterfaceSuite, 1);
    const auto& fx = s<AEGP_EffectSuite3>(kAEGPEffectSuite, 3);
    const auto& st = s<AEGP_StreamSuite9>(kAEGPStreamSuite, 9);
    const auto& ut = s<AEGP_UtilitySuite11>(kAEGPUtilitySuite, 11);
    const auto& ly = s<AEGP_LayerSuite13>(kAEGPLayerSuite, 13);
    const auto& cp = s<AEGP_CompSuite15>(kAEGPCompSuite, 15);
    const auto& it = s<AEGP_ItemSuite13>(kAEGPItemSuite, 13);
    const auto& mk = s<AEGP_MaskSuite6>(kAEGPMaskSuite, 6);
    const auto& kf = s<AEGP_KeyframeSuite4>(kAEGPKeyframeSuite, 4);
    const auto& ds = s<AEGP_DynamicStreamSuite5>(kAEGPDynamicStreamSuite, 5);
    const auto& lt = s<AEGP_LightSuite2>(kAEGPLightSuite, 2);
    const auto& sp = s<PF_Sampling8Suite1>(kPFSampling8Suite, 1);
    const auto& ss = s<SPSuitesSuite>(kSPSuitesSuite, kSPSuitesSuiteVersion);
    const AEGP_PluginID id = sender_->pluginId;
    const AEGP_LayerH layer = layerH(layer_);
    const AEGP_CompH comp = reinterpret_cast<AEGP_CompH>(comp_);
    const AEGP_ItemH item = reinterpret_cast<AEGP_ItemH>(comp_->item.get());
    const A_Time t{0, 2500};
    PF_SampPB* pb = &pb_;
    pb_.src = &layer_->pixels->def();
    return {
        {"AEGP_GetEffectLayer", [=] { return pf.AEGP_GetEffectLayer(ref(), &layerOut_); },
         [&] { return poisoned(layerOut_); }},
        {"AEGP_GetNewEffectForEffect",
         [=] { return pf.AEGP_GetNewEffectForEffect(id, ref(), &effectOut_); },
         [&] { return poisoned(effectOut_); }},
        {"AEGP_ConvertEffectToCompTime",
         [=] { return pf.AEGP_ConvertEffectToCompTime(ref(), 0, 2500, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_GetLayerNumEffects", [=] { return fx.AEGP_GetLayerNumEffects(layer, &n_); },
         [&] { return poisoned(n_); }},
        {"AEGP_GetLayerEffectByIndex",
         [=] { return fx.AEGP_GetLayerEffectByIndex(id, layer, 0, &effectOut_); },
         [&] { return poisoned(effectOut_); }},
        {"AEGP_GetEffectName",
         [=] { return fx.AEGP_GetEffectName(host_.installedKey(*sender_), name_); },
         [&] { return nameIsPoison(AEGP_MAX_EFFECT_NAME_SIZE + 1); }},
        {"AEGP_GetEffectMatchName",
         [=] { return fx.AEGP_GetEffectMatchName(host_.installedKey(*sender_), name_); },
         [&] { return nameIsPoison(AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1); }},
        {"AEGP_GetNewLayerStream",
         [=] {
           return st.AEGP_GetNewLayerStream(id, layer, AEGP_LayerStream_POSITION, &streamOut_);
         },
         [&] { return poisoned(streamOut_); }},
        {"AEGP_StartQuietErrors", [=] { return ut.AEGP_StartQuietErrors(&state_); },
         [&] { return poisoned(state_); }},
        {"AEGP_RegisterWithAEGP",
         [=] { return ut.AEGP_RegisterWithAEGP(nullptr, "Poisoned", &plugin_); },
         [&] { return poisoned(plugin_); }},
        {"AEGP_ExecuteScript",
         [=] { return ut.AEGP_ExecuteScript(0, "1;", false, &memOut_, &memErr_); },
         [&] { return poisoned(memOut_) && poisoned(memErr_); }},
        {"AEGP_GetCompNumLayers", [=] { return ly.AEGP_GetCompNumLayers(comp, &n_); },
         [&] { return poisoned(n_); }},
        {"AEGP_GetCompLayerByIndex",
         [=] { return ly.AEGP_GetCompLayerByIndex(comp, 0, &layerOut_); },
         [&] { return poisoned(layerOut_); }},
        {"AEGP_GetLayerSourceItem", [=] { return ly.AEGP_GetLayerSourceItem(layer, &itemOut_); },
         [&] { return poisoned(itemOut_); }},
        {"AEGP_GetLayerParentComp", [=] { return ly.AEGP_GetLayerParentComp(layer, &compOut_); },
         [&] { return poisoned(compOut_); }},
        {"AEGP_GetLayerFlags", [=] { return ly.AEGP_GetLayerFlags(layer, &flags_); },
         [&] { return poisoned(flags_); }},
        {"AEGP_GetLayerToWorldXform",
         [=] { return ly.AEGP_GetLayerToWorldXform(layer, &t, &matrix_); },
         [&] { return poisoned(matrix_); }},
        {"AEGP_GetLayerToWorldXformFromView",
         [=] { return ly.AEGP_GetLayerToWorldXformFromView(layer, &t, &t, &matrix_); },
         [&] { return poisoned(matrix_); }},
        {"AEGP_GetLayerID", [=] { return ly.AEGP_GetLayerID(layer, &layerId_); },
         [&] { return poisoned(layerId_); }},
        {"AEGP_GetLayerFromLayerID",
         [=] { return ly.AEGP_GetLayerFromLayerID(comp, layer_->id, &layerOut_); },
         [&] { return poisoned(layerOut_); }},
        {"AEGP_GetLayerObjectType", [=] { return ly.AEGP_GetLayerObjectType(layer, &objType_); },
         [&] { return poisoned(objType_); }},
        {"AEGP_GetCompFromItem", [=] { return cp.AEGP_GetCompFromItem(item, &compOut_); },
         [&] { return poisoned(compOut_); }},
        {"AEGP_GetItemFromComp", [=] { return cp.AEGP_GetItemFromComp(comp, &itemOut_); },
         [&] { return poisoned(itemOut_); }},
        {"AEGP_GetCompFrameDuration", [=] { return cp.AEGP_GetCompFrameDuration(comp, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_GetCompWorkAreaStart", [=] { return cp.AEGP_GetCompWorkAreaStart(comp, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_GetCompWorkAreaDuration",
         [=] { return cp.AEGP_GetCompWorkAreaDuration(comp, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_CreateLightInComp",
         [=] {
           static const A_UTF16Char name[] = {'L', 0};
           const A_FloatPoint center{0, 0};
           return cp.AEGP_CreateLightInComp(comp, name, &center, &layerOut_);
         },
         [&] { return poisoned(layerOut_); }},
        {"AEGP_GetActiveItem", [=] { return it.AEGP_GetActiveItem(&itemOut_); },
         [&] { return poisoned(itemOut_); }},
        {"AEGP_GetItemType", [=] { return it.AEGP_GetItemType(item, &itemType_); },
         [&] { return poisoned(itemType_); }},
        {"AEGP_GetItemDuration", [=] { return it.AEGP_GetItemDuration(item, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_GetItemCurrentTime", [=] { return it.AEGP_GetItemCurrentTime(item, &time_); },
         [&] { return poisoned(time_); }},
        {"AEGP_GetItemDimensions", [=] { return it.AEGP_GetItemDimensions(item, &n_, &n2_); },
         [&] { return poisoned(n_) && poisoned(n2_); }},
        {"AEGP_GetLayerNumMasks", [=] { return mk.AEGP_GetLayerNumMasks(layer, &n_); },
         [&] { return poisoned(n_); }},
        {"AEGP_GetLayerMaskByIndex",
         [=] { return mk.AEGP_GetLayerMaskByIndex(layer, 0, &maskOut_); },
         [&] { return poisoned(maskOut_); }},
        {"AEGP_GetLightType", [=] { return lt.AEGP_GetLightType(layerH(light_), &lightType_); },
         [&] { return poisoned(lightType_); }},
        {"PF_NumPaths", [=] { return query().PF_NumPaths(ref(), &n_); },
         [&] { return poisoned(n_); }},
        {"PF_PathInfo", [=] { return query().PF_PathInfo(ref(), 0, &pathId_); },
         [&] { return poisoned(pathId_); }},
        {"PF_CheckoutPath",
         [=] { return query().PF_CheckoutPath(ref(), mask_, 0, 100, 2500, &pathOut_); },
         [&] { return poisoned(pathOut_); }},
        {"nn_sample", [=] { return sp.nn_sample(ref(), 0, 0, pb, &pixel_); },
         [&] { return poisoned(pixel_); }},
        {"subpixel_sample", [=] { return sp.subpixel_sample(ref(), 0, 0, pb, &pixel_); },
         [&] { return poisoned(pixel_); }},
        {"area_sample", [=] { return sp.area_sample(ref(), 0, 0, pb, &pixel_); },
         [&] { return poisoned(pixel_); }},
        {"AddSuite",
         [=] {
           static const int procs = 0;
           return ss.AddSuite(nullptr, nullptr, "Poison Test Suite", 1, 1, &procs, &suiteRef_);
         },
         [&] { return poisoned(suiteRef_); }},
        {"AcquireSuite",
         [=] { return tb::basicSuite()->AcquireSuite(kAEGPLayerSuite, 13, &suiteOut_); },
         [&] { return poisoned(suiteOut_); }},
        {"AEGP_GetInstalledKeyFromLayerEffect",
         [=] { return fx.AEGP_GetInstalledKeyFromLayerEffect(effectRef_, &key_); },
         [&] { return poisoned(key_); }},
        {"AEGP_GetEffectNumParamStreams",
         [=] { return st.AEGP_GetEffectNumParamStreams(effectRef_, &n_); },
         [&] { return poisoned(n_); }},
        {"AEGP_GetNewEffectStreamByIndex",
         [=] { return st.AEGP_GetNewEffectStreamByIndex(id, effectRef_, 1, &streamOut_); },
         [&] { return poisoned(streamOut_); }},
        {"AEGP_GetNewStreamValue",
         [=] {
           return st.AEGP_GetNewStreamValue(id, paramStream_, AEGP_LTimeMode_LayerTime, &t, false,
                                            &value_);
         },
         [&] { return poisoned(value_.streamH) && poisoned(value_.val); }},
        {"AEGP_GetDynamicStreamFlags",
         [=] { return ds.AEGP_GetDynamicStreamFlags(paramStream_, &dynFlags_); },
         [&] { return poisoned(dynFlags_); }},
        {"AEGP_GetNewParentStreamRef",
         [=] { return ds.AEGP_GetNewParentStreamRef(id, paramStream_, &streamOut_); },
         [&] { return poisoned(streamOut_); }},
        {"AEGP_GetStreamIndexInParent",
         [=] { return ds.AEGP_GetStreamIndexInParent(paramStream_, &n_); },
         [&] { return poisoned(n_); }},
        {"AEGP_StartAddKeyframes", [=] { return kf.AEGP_StartAddKeyframes(position_, &addOut_); },
         [&] { return poisoned(addOut_); }},
        {"AEGP_AddKeyframes",
         [=] { return kf.AEGP_AddKeyframes(adding_, AEGP_LTimeMode_LayerTime, &t, &n_); },
         [&] { return poisoned(n_); }},
        {"PF_PathIsOpen", [=] { return data().PF_PathIsOpen(ref(), path_, &open_); },
         [&] { return poisoned(open_); }},
        {"PF_PathNumSegments", [=] { return data().PF_PathNumSegments(ref(), path_, &n_); },
         [&] { return poisoned(n_); }},
        {"PF_PathPrepareSegLength",
         [=] { return data().PF_PathPrepareSegLength(ref(), path_, 0, 10, &prepOut_); },
         [&] { return poisoned(prepOut_); }},
        {"PF_PathGetSegLength",
         [=] { return data().PF_PathGetSegLength(ref(), path_, 0, nullptr, &length_); },
         [&] { return poisoned(length_); }},
        {"PF_PathEvalSegLength",
         [=] { return data().PF_PathEvalSegLength(ref(), path_, nullptr, 0, 1, &x_, &y_); },
         [&] { return poisoned(x_) && poisoned(y_); }},
        {"checkoutParam",
         [=] { return tb::interactCallbacks().checkout_param(ref(), 1, 0, 100, 2500, &param_); },
         [&] { return poisoned(param_); }},
    };
  }

  bool nameIsPoison(size_t size) const {
    for (size_t i = 0; i + 1 < size; ++i) {
      if (name_[i] != 'Z')
        return false;
    }
    return name_[size - 1] == '\0';
  }

  tb::Layer* light_ = nullptr;
  PF_PathID mask_ = 0;
  AEGP_EffectRefH effectRef_ = nullptr;
  AEGP_StreamRefH paramStream_ = nullptr;
  AEGP_StreamRefH position_ = nullptr;
  AEGP_AddKeyframesInfoH adding_ = nullptr;
  PF_PathOutlinePtr path_ = nullptr;
  AEGP_InstalledEffectKey key_ = 0;
  AEGP_StreamValue2 value_{};
  AEGP_DynStreamFlags dynFlags_ = 0;
  AEGP_AddKeyframesInfoH addOut_ = nullptr;
  PF_Boolean open_ = 0;
  PF_PathSegPrepPtr prepOut_ = nullptr;
  PF_FpLong length_ = 0, x_ = 0, y_ = 0;
  AEGP_LayerH layerOut_ = nullptr;
  AEGP_EffectRefH effectOut_ = nullptr;
  AEGP_StreamRefH streamOut_ = nullptr;
  AEGP_CompH compOut_ = nullptr;
  AEGP_ItemH itemOut_ = nullptr;
  AEGP_MaskRefH maskOut_ = nullptr;
  AEGP_MemHandle memOut_ = nullptr;
  AEGP_MemHandle memErr_ = nullptr;
  PF_PathOutlinePtr pathOut_ = nullptr;
  SPSuiteRef suiteRef_ = nullptr;
  const void* suiteOut_ = nullptr;
  A_Time time_{};
  A_long n_ = 0, n2_ = 0;
  A_char name_[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1] = {};
  AEGP_ErrReportState state_{};
  AEGP_PluginID plugin_ = 0;
  AEGP_LayerFlags flags_ = 0;
  A_Matrix4 matrix_{};
  AEGP_LayerIDVal layerId_ = 0;
  AEGP_ObjectType objType_ = 0;
  AEGP_ItemType itemType_ = 0;
  AEGP_LightType lightType_ = 0;
  PF_PathID pathId_ = 0;
  PF_Pixel pixel_{};
  PF_SampPB pb_{};
  PF_ParamDef param_{};
};

TEST_F(PoisonTest, everyOutParameterOfACallFailedOnPurposeHoldsPoison) {
  std::vector<OutCall> all = calls();
  std::set<std::string> names;
  for (const OutCall& c : all)
    names.insert(c.name);
  // Every function the host serves that has out-parameters, each once.
  EXPECT_EQ(names.size(), 58u);
  EXPECT_EQ(all.size(), names.size());
  for (const OutCall& c : all) {
    SCOPED_TRACE(c.name);
    tb::CommandReport report;
    EXPECT_EQ(inCommand(c.call, 0, &report), kInjected);
    ASSERT_EQ(report.calls.size(), 1u);
    EXPECT_EQ(report.calls[0], c.name);
    EXPECT_TRUE(c.outsPoisoned());
    EXPECT_TRUE(report.clean());
  }
}

// Poison is written before the call does anything, so a refused argument leaves it too.
TEST_F(PoisonTest, aRefusedArgumentLeavesPoisonInTheOutParameters) {
  const AEGP_LayerH layer = layerH(layer_);
  const auto& ly = suite<AEGP_LayerSuite13>(kAEGPLayerSuite, 13);
  tb::CommandReport report;
  EXPECT_EQ(inCommand(
                [&] {
                  return effects().AEGP_GetLayerEffectByIndex(sender_->pluginId, layer, 7,
                                                              &effectOut_);
                },
                -1, &report),
            A_Err_PARAMETER);
  EXPECT_TRUE(poisoned(effectOut_));
  EXPECT_EQ(inCommand(
                [&] {
                  return ly.AEGP_GetCompLayerByIndex(reinterpret_cast<AEGP_CompH>(comp_), -1,
                                                     &layerOut_);
                },
                -1, &report),
            A_Err_PARAMETER);
  EXPECT_TRUE(poisoned(layerOut_));
  EXPECT_EQ(inCommand([&] { return query().PF_PathInfo(ref(), 5, &pathId_); }, -1, &report),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(poisoned(pathId_));
  EXPECT_TRUE(host_.ledger().violations().empty());
}

// A plug-in that releases or uses what a failed call left is told so, by the call it made.
TEST_F(PoisonTest, handingPoisonBackIsAViolationOfTheCallThatGotIt) {
  expectViolation("poison: AEGP_DisposeEffect: effect reference is the poison a failed call left");
  expectViolation("poison: AEGP_GetLayerFlags: layer is the poison a failed call left");
  expectViolation("poison: AEGP_EndQuietErrors: the state is not one AEGP_StartQuietErrors filled");
  const auto& ly = suite<AEGP_LayerSuite13>(kAEGPLayerSuite, 13);
  const auto& ut = suite<AEGP_UtilitySuite11>(kAEGPUtilitySuite, 11);
  const AEGP_LayerH layer = layerH(layer_);
  tb::CommandReport report;
  const A_Err err = inCommand(
      [&] {
        A_Err e = effects().AEGP_GetLayerEffectByIndex(sender_->pluginId, layer, 0, &effectOut_);
        EXPECT_EQ(e, kInjected);
        EXPECT_EQ(effects().AEGP_DisposeEffect(effectOut_), A_Err_PARAMETER);
        return e;
      },
      0, &report);
  EXPECT_EQ(err, kInjected);
  EXPECT_TRUE(report.clean());
  // A failed AEGP_GetEffectLayer poisons the layer handle the next call is given.
  inCommand(
      [&] {
        EXPECT_EQ(pf().AEGP_GetEffectLayer(ref(), &layerOut_), kInjected);
        return ly.AEGP_GetLayerFlags(layerOut_, &flags_);
      },
      0, &report);
  // Ending quiet-errors mode with the state of a start that failed.
  inCommand(
      [&] {
        EXPECT_EQ(ut.AEGP_StartQuietErrors(&state_), kInjected);
        return ut.AEGP_EndQuietErrors(false, &state_);
      },
      0, &report);
  EXPECT_EQ(host_.ledger().violations().size(), 3u);
}

}  // namespace
