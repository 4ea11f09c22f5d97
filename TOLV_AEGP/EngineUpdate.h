// The engine update cycle: the request flag behind the published suite, and the idle hook that
// steps the active composition through its work area and then asks every renderer to update.
#pragma once

#include "AE_GeneralPlug.h"
#include "SPBasic.h"

// Module-wide state, one copy per host process: set by the entry point, read by the idle hook.
extern AEGP_PluginID g_pluginID;
extern SPBasicSuite* g_basicSuite;
extern A_Boolean engineUpdatePending;

// The one function of "AEGP TOLV Suite" version 1.
A_Err SetEngineUpdatePending(A_Boolean pending);

// Registered with AEGP_RegisterIdleHook; does nothing unless a cycle is requested. Leaves
// max_sleep as the host set it.
A_Err EngineUpdateIdleHook(AEGP_GlobalRefcon plugin_refcon, AEGP_IdleRefcon refcon,
                           A_long* max_sleep);
