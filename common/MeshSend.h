// Handing a mesh record to the next receiver on the sender's layer.
#pragma once

#include "AE_GeneralPlug.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"
#include "common/MeshSlot.h"

constexpr const A_char* kEngineMatchName = "ZEK TOLV_Engine";
constexpr const A_char* kDistortReceiverMatchName = "ZEK TOLV_Distort";
constexpr const A_char* kMaskSenderMatchName = "ZEK TOLV_Mask";

// True for the match names that take mesh records: the renderer and the distort effect. The
// comparison is exact and case-sensitive.
bool IsMeshReceiver(const A_char* match_name);

// The 0-based position of effect self among its layer's effects, through the stream of its
// parameter 1 and that stream's parent; both streams are released at once. Not to be used after
// a failure.
A_long OwnEffectIndex(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                      AEGP_EffectRefH self);

// Reads the match name of an effect on the layer into a buffer cleared first, which takes the
// host's longest name and always ends terminated.
void ReadMatchName(HostStatus& status, const AEGP_EffectSuite2* effects, AEGP_EffectRefH effect,
                   A_char (&name)[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1]);

// Finds the sender (the effect of the command in status.in_data()) in its layer's effect list and
// serves the first distort or renderer effect below it with record, through
// AEGP_EffectCallGeneric with PF_Cmd_COMPLETELY_GENERAL at time {0, 100}. Effects above the sender
// are never considered; without a receiver below nothing is sent. The abort poll runs between
// steps. Every effect and stream reference obtained is released on every path. A null record sends
// nothing. Returns the status of the chain (also left in status).
PF_Err SendMeshToNextReceiver(HostStatus& status, const AEGP_SuiteHandler& suites,
                              AEGP_PluginID plugin_id, const MeshSlot* record);
