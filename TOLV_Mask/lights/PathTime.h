// Times along the path light: its span, and the time of the key of one mask row.
#pragma once

#include "A.h"
#include "TOLV_Mask/render/Placement.h"

// The light is keyed over the same span that the render places masks along.
using mask::PathSpan;

// The key time of row k (0-based) of n rows in use. When the depth rises from the first row to the
// last, rows are spread forward in integer ticks; otherwise backward, with the fraction k / (n - 1)
// taken in single precision, so that the row with the smaller end depth is keyed at 0 and the
// other end row at span. With fewer than two rows the time is 0.
A_Time RowKeyTime(A_Time span, A_long k, A_long n, bool depthRises);
