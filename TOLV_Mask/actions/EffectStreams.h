// Values and visibility of this effect's own parameters, through their AEGP streams. Each call
// gets the stream of the index, acts on it and disposes of it; host calls follow the chain rule.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// Writes value into the one-dimensional field of the parameter's stream value (a popup item, a
// checkbox state or a slider value).
void SetParamValue(const ChangeContext& c, PF_ParamIndex index, double value);

// Sets or clears the hidden flag of the parameter, not undoable.
void SetParamHidden(const ChangeContext& c, PF_ParamIndex index, bool hidden);

// True when the parameter's stream is hidden; false as well when the flags could not be read.
bool IsParamHidden(const ChangeContext& c, PF_ParamIndex index);

// Hides the parameter unless it is hidden already / shows it if it is hidden; one stream serves
// the test and the change.
void HideParamUnlessHidden(const ChangeContext& c, PF_ParamIndex index);
void ShowParamIfHidden(const ChangeContext& c, PF_ParamIndex index);
