// The mask effect's sequence data: one flat MeshSlot per instance, saved with projects byte for
// byte. The handlers create it, fit a stored block to the current size, and free it.
#pragma once

#include "AE_Effect.h"

// PF_Cmd_SEQUENCE_SETUP: a new instance gets a slot that holds no mesh yet, its texture rectangle
// the layer's extent hint. A handle that is already there is only fitted to size.
PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data);

// PF_Cmd_SEQUENCE_RESETUP: a stored block is kept and fitted to size; without one, a new slot.
PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data);

// PF_Cmd_SEQUENCE_SETDOWN: frees the slot, if there is one.
PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data);
