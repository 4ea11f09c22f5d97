// An effect instance's sequence data: one flat host handle of a fixed size, saved with projects
// byte for byte. Both effects create and fit theirs here, with one policy for a failure.
#pragma once

#include "AE_Effect.h"

// A new handle of size bytes, zero-filled, given to out_data with its flat size. When the host
// cannot allocate it: "Internal Error" in return_msg, the error-message flag, and
// PF_Err_INTERNAL_STRUCT_DAMAGED; *made is then null.
PF_Err NewSequenceHandle(PF_InData* in_data, PF_OutData* out_data, A_u_longlong size,
                         PF_Handle* made);

// Fits the instance's existing handle to size bytes. A block saved by another build or damaged on
// disk is resized, not rejected, so that the project still opens: its leading bytes are kept and
// the bytes the host adds are cleared. The host may move the block when it resizes it, so the
// handle it returns is the one published, in out_data and in in_data for the rest of the command.
// A failed resize is reported as a failed allocation (see NewSequenceHandle), the stored block
// left as it was.
PF_Err FitSequenceHandle(PF_InData* in_data, PF_OutData* out_data, A_u_longlong size);
