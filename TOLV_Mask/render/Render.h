// The mask effect's render: from the layer's masks to the mesh handed down the effect stack.
#pragma once

#include "AE_Effect.h"

// flag 1: a PF_Cmd_RENDER, whose output world receives a copy of the input; flag 0: a rebuild asked
// for by a parameter change, which leaves the output world alone. Returns the first error met;
// a path light that is gone ends the call before anything is built.
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              A_u_char flag);
