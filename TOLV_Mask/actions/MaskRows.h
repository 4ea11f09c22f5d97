// Which mask rows are in use, and which rows and reference masks the user sees.
#pragma once

#include "TOLV_Mask/actions/ChangeContext.h"
#include "TOLV_Mask/lights/PathLight.h"

// Unless "Reference mask sampling" is on "Reference mask at current time", hides every reference
// mask that is not hidden yet.
void HideUnusedReferenceMasks(const ChangeContext& c);

// The number of leading mask rows whose chosen mask exists on the layer. The count ends at the
// first row with no mask chosen; a row whose mask is gone adds nothing and the next row is looked
// at.
A_long CountRowsInUse(const ChangeContext& c);

// Shows the rows in use and one free row below them and hides the others, with their reference
// masks while those are sampled; keys the path light created in this call for each row in use.
void RowPass(const ChangeContext& c, A_long rowsInUse, PathLight& light);
