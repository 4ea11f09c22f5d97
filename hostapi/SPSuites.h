// "SP Suites Suite": lets a plug-in publish a suite of its own through the broker.
#pragma once

#include "SPBasic.h"

typedef struct SPSuiteList* SPSuiteListRef;
typedef struct SPPlugin* SPPluginRef;
typedef struct SPSuite* SPSuiteRef;

#define kSPSuitesSuite "SP Suites Suite"
#define kSPSuitesSuiteVersion 2

typedef struct SPSuitesSuite {
  SPErr (*AddSuite)(SPSuiteListRef suiteList, SPPluginRef host, const char* name,
                    int32_t apiVersion, int32_t internalVersion, const void* suiteProcs,
                    SPSuiteRef* suite);
  SPErr (*AcquireSuite)(SPSuiteListRef suiteList, const char* name, int32_t apiVersion,
                        int32_t internalVersion, const void** suiteProcs);
  SPErr (*ReleaseSuite)(SPSuiteListRef suiteList, const char* name, int32_t apiVersion,
                        int32_t internalVersion);
} SPSuitesSuite;
