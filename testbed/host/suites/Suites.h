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

}  // namespace tb
