// The distort effect's PF_Cmd_RENDER: the meshes in its store are deformed, copy by copy, and
// handed to the next distort or renderer effect below it; the image passes through unchanged.
#pragma once

#include "AE_Effect.h"

PF_Err DistortRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output);
