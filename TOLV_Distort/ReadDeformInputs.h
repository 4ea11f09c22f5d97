// The deformers' controls as the host hands them to a render.
#pragma once

#include "AE_Effect.h"
#include "TOLV_Distort/deform/DeformValues.h"

DeformInputs ReadDeformInputs(const PF_InData* in_data, PF_ParamDef* params[]);
