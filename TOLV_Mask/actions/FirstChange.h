// The setup that the first change of any parameter of a new instance runs.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"

// While "Renderer" is 0: sets it to 1 and hides it, so that the setup runs once per instance, and
// runs the engine check script, which adds a renderer to the selected layer unless it has one.
void FirstChangeSetup(const ChangeContext& c);

// Runs script in the host's script engine; its result and error text are not asked for.
void RunScript(const ChangeContext& c, const char* script);
