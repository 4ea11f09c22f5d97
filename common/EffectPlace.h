// Finding an effect on its layer: the layer, how many effects it has, the effect's own index, and
// the match names of the others. Every lookup is a chained call on the handler's status.
#pragma once

#include "AE_GeneralPlug.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

// Where an effect stands. The values are the host's answers only when known is set: a status
// reset by an abort poll after a failed lookup must never make up a layer, a count or an index.
struct EffectPlace {
  AEGP_LayerH layer = nullptr;
  A_long count = 0;   // effects on the layer
  A_long index = -1;  // the effect's 0-based position among them
  bool known = false;
};

// The layer of the command's effect and its number of effects; place->known stays false until
// LocateOwnIndex has succeeded as well.
void LocateLayer(HostStatus& status, const AEGP_SuiteHandler& suites, EffectPlace* place);

// The effect's own index: its parameter 1 stream has the effect's own stream as parent, and that
// one knows its index in the layer's effect group. Both streams are released at once. Sets
// place->known when the layer, the count and the index were all given.
void LocateOwnIndex(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_PluginID plugin_id,
                    AEGP_EffectRefH self, EffectPlace* place);

// Reads the match name of an effect on the layer into a cleared buffer. The buffer takes the
// host's longest name; the terminator is forced so that a host filling every byte cannot run a
// comparison past the end.
void ReadMatchName(HostStatus& status, const AEGP_EffectSuite2* effects, AEGP_EffectRefH effect,
                   A_char (&name)[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1]);
