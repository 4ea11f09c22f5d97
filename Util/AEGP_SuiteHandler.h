// Scoped, lazy access to host suites for one command or callback.
//
// Each catalogue row is a (name, version) pair with its own cached pointer; a row is acquired on
// first use and released when the handler goes out of scope. A suite the host does not provide
// throws the integer PF_Err_BAD_CALLBACK_PARAM, which the entry points turn into a status.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "SPBasic.h"

class AEGP_SuiteHandler {
 public:
  explicit AEGP_SuiteHandler(const SPBasicSuite* pica_basicP);
  ~AEGP_SuiteHandler();
  AEGP_SuiteHandler(const AEGP_SuiteHandler&) = delete;
  AEGP_SuiteHandler& operator=(const AEGP_SuiteHandler&) = delete;

  AEGP_UtilitySuite11* UtilitySuite11() const { return row<AEGP_UtilitySuite11>(kUtility11); }
  PF_ANSICallbacksSuite1* ANSICallbacksSuite1() const {
    return row<PF_ANSICallbacksSuite1>(kANSI1);
  }
  AEGP_PFInterfaceSuite1* PFInterfaceSuite1() const {
    return row<AEGP_PFInterfaceSuite1>(kPFInterface1);
  }
  AEGP_StreamSuite9* StreamSuite9() const { return row<AEGP_StreamSuite9>(kStream9); }
  AEGP_DynamicStreamSuite5* DynamicStreamSuite5() const {
    return row<AEGP_DynamicStreamSuite5>(kDynamicStream5);
  }
  AEGP_EffectSuite2* EffectSuite2() const { return row<AEGP_EffectSuite2>(kEffect2); }
  AEGP_EffectSuite3* EffectSuite3() const { return row<AEGP_EffectSuite3>(kEffect3); }
  PF_ParamUtilsSuite3* ParamUtilsSuite3() const { return row<PF_ParamUtilsSuite3>(kParamUtils3); }
  AEGP_CompSuite15* CompSuite15() const { return row<AEGP_CompSuite15>(kComp15); }
  AEGP_ItemSuite13* ItemSuite13() const { return row<AEGP_ItemSuite13>(kItem13); }
  PF_PathQuerySuite1* PathQuerySuite1() const { return row<PF_PathQuerySuite1>(kPathQuery1); }
  PF_PathDataSuite1* PathDataSuite1() const { return row<PF_PathDataSuite1>(kPathData1); }
  AEGP_LayerSuite12* LayerSuite12() const { return row<AEGP_LayerSuite12>(kLayer12); }
  AEGP_LayerSuite13* LayerSuite13() const { return row<AEGP_LayerSuite13>(kLayer13); }
  AEGP_MaskSuite6* MaskSuite6() const { return row<AEGP_MaskSuite6>(kMask6); }
  PF_Sampling8Suite1* Sampling8Suite1() const { return row<PF_Sampling8Suite1>(kSampling8_1); }
  AEGP_KeyframeSuite4* KeyframeSuite4() const { return row<AEGP_KeyframeSuite4>(kKeyframe4); }
  AEGP_LightSuite2* LightSuite2() const { return row<AEGP_LightSuite2>(kLight2); }
  AEGP_CommandSuite1* CommandSuite1() const { return row<AEGP_CommandSuite1>(kCommand1); }
  AEGP_RegisterSuite6* RegisterSuite6() const { return row<AEGP_RegisterSuite6>(kRegister6); }

  const void* LoadSuite(const A_char* name, A_long version) const;
  void ReleaseSuite(const A_char* name, A_long version);
  void ReleaseAllSuites();
  [[noreturn]] void MissingSuiteError() const;

 private:
  enum Row {
    kUtility11,
    kANSI1,
    kPFInterface1,
    kStream9,
    kDynamicStream5,
    kEffect2,
    kEffect3,
    kParamUtils3,
    kComp15,
    kItem13,
    kPathQuery1,
    kPathData1,
    kLayer12,
    kLayer13,
    kMask6,
    kSampling8_1,
    kKeyframe4,
    kLight2,
    kCommand1,
    kRegister6,
    kRowCount
  };

  template <class Suite>
  Suite* row(Row r) const {
    if (!suites_[r])
      suites_[r] = LoadSuite(kCatalogue[r].name, kCatalogue[r].version);
    return static_cast<Suite*>(const_cast<void*>(suites_[r]));
  }

  struct CatalogueRow {
    const A_char* name;
    A_long version;
  };
  static const CatalogueRow kCatalogue[kRowCount];

  const SPBasicSuite* basic_;
  mutable const void* suites_[kRowCount];
};
