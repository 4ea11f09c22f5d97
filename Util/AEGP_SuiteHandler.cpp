#include "Util/AEGP_SuiteHandler.h"

const AEGP_SuiteHandler::CatalogueRow AEGP_SuiteHandler::kCatalogue[kRowCount] = {
    {kAEGPUtilitySuite, 11},      {kPFANSISuite, 1},
    {kAEGPPFInterfaceSuite, 1},   {kAEGPStreamSuite, 9},
    {kAEGPDynamicStreamSuite, 5}, {kAEGPEffectSuite, 2},
    {kAEGPEffectSuite, 3},        {kPFParamUtilsSuite, 3},
    {kAEGPCompSuite, 15},         {kAEGPItemSuite, 13},
    {kPFPathQuerySuite, 1},       {kPFPathDataSuite, 1},
    {kAEGPLayerSuite, 12},        {kAEGPLayerSuite, 13},
    {kAEGPMaskSuite, 6},          {kPFSampling8Suite, 1},
    {kAEGPKeyframeSuite, 4},      {kAEGPLightSuite, 2},
    {kAEGPCommandSuite, 1},       {kAEGPRegisterSuite, 6},
};

AEGP_SuiteHandler::AEGP_SuiteHandler(const SPBasicSuite* pica_basicP) : basic_(pica_basicP) {
  for (const void*& suite : suites_)
    suite = nullptr;
  if (!basic_)
    MissingSuiteError();
}

AEGP_SuiteHandler::~AEGP_SuiteHandler() {
  ReleaseAllSuites();
}

const void* AEGP_SuiteHandler::LoadSuite(const A_char* name, A_long version) const {
  const void* suite = nullptr;
  SPErr err = basic_->AcquireSuite(name, version, &suite);
  if (err != kSPNoError || !suite)
    MissingSuiteError();
  return suite;
}

void AEGP_SuiteHandler::ReleaseSuite(const A_char* name, A_long version) {
  basic_->ReleaseSuite(name, version);
}

void AEGP_SuiteHandler::ReleaseAllSuites() {
  for (int r = 0; r < kRowCount; ++r) {
    if (suites_[r]) {
      ReleaseSuite(kCatalogue[r].name, kCatalogue[r].version);
      suites_[r] = nullptr;
    }
  }
}

void AEGP_SuiteHandler::MissingSuiteError() const {
  throw PF_Err(PF_Err_BAD_CALLBACK_PARAM);
}
