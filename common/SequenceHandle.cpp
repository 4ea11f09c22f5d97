#include "common/SequenceHandle.h"

#include <cstring>

#include "AE_EffectCB.h"

namespace {

PF_Err InternalError(PF_InData* in_data, PF_OutData* out_data) {
  PF_STRCPY(out_data->return_msg, "Internal Error");
  out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
  return PF_Err_INTERNAL_STRUCT_DAMAGED;
}

void Publish(PF_OutData* out_data, PF_Handle handle, A_u_longlong size) {
  out_data->sequence_data = handle;
  out_data->flat_sdata_size = static_cast<A_long>(size);
}

}  // namespace

PF_Err NewSequenceHandle(PF_InData* in_data, PF_OutData* out_data, A_u_longlong size,
                         PF_Handle* made) {
  *made = PF_NEW_HANDLE(size);
  if (!*made)
    return InternalError(in_data, out_data);
  std::memset(**made, 0, size);
  Publish(out_data, *made, size);
  return PF_Err_NONE;
}

PF_Err FitSequenceHandle(PF_InData* in_data, PF_OutData* out_data, A_u_longlong size) {
  PF_Handle handle = in_data->sequence_data;
  const A_u_longlong stored = PF_GET_HANDLE_SIZE(handle);
  if (stored != size) {
    if (PF_RESIZE_HANDLE(size, &handle) != PF_Err_NONE)
      return InternalError(in_data, out_data);
    if (stored < size)
      std::memset(static_cast<char*>(*handle) + stored, 0, size - stored);
    in_data->sequence_data = handle;
  }
  Publish(out_data, handle, size);
  return PF_Err_NONE;
}
