// One registration function per suite family; registerAllSuites() calls them all.
#pragma once

#include "AE_EffectSuites.h"
#include "AE_GeneralPlug.h"
#include "testbed/host/SuiteTable.h"

namespace tb {

void registerUtilitySuites(SuiteTable& table);
void registerAnsiSuites(SuiteTable& table);
void registerPFInterfaceSuites(SuiteTable& table);
void registerEffectSuites(SuiteTable& table);
void registerStreamSuites(SuiteTable& table);
void registerDynamicStreamSuites(SuiteTable& table);
void registerCompSuites(SuiteTable& table);
void registerItemSuites(SuiteTable& table);
void registerLayerSuites(SuiteTable& table);
void registerMaskSuites(SuiteTable& table);
void registerPathQuerySuites(SuiteTable& table);
void registerPathDataSuites(SuiteTable& table);
void registerSampling8Suites(SuiteTable& table);
void registerLightSuites(SuiteTable& table);
void registerKeyframeSuites(SuiteTable& table);
void registerCommandSuites(SuiteTable& table);
void registerRegisterSuites(SuiteTable& table);
void registerParamUtilsSuites(SuiteTable& table);
void registerSuitesSuites(SuiteTable& table);

}  // namespace tb
