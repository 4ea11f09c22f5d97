#include "TOLV_Mask/SequenceData.h"

#include <cstring>

#include "AE_EffectCB.h"
#include "common/MeshSlot.h"

namespace {

// Brings a stored block to the size of one slot, keeping its leading bytes. A block from an older
// or damaged project may be shorter; the bytes the host adds are garbage, so they are cleared and
// the trailer they cover reads as zero rather than as whatever the host left there.
PF_Err FitToSlot(PF_InData* in_data, PF_OutData* out_data) {
  const A_u_longlong size = PF_GET_HANDLE_SIZE(in_data->sequence_data);
  if (size != kMeshSlotBytes) {
    if (PF_Err err = PF_RESIZE_HANDLE(kMeshSlotBytes, &in_data->sequence_data))
      return err;
    if (size < kMeshSlotBytes) {
      char* bytes = static_cast<char*>(*in_data->sequence_data);
      std::memset(bytes + size, 0, kMeshSlotBytes - size);
    }
  }
  out_data->sequence_data = in_data->sequence_data;
  return PF_Err_NONE;
}

PF_Err NewSlot(PF_InData* in_data, PF_OutData* out_data) {
  out_data->sequence_data = PF_NEW_HANDLE(kMeshSlotBytes);
  if (!out_data->sequence_data) {
    PF_STRCPY(out_data->return_msg, "Internal Error");
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
  out_data->flat_sdata_size = static_cast<A_long>(kMeshSlotBytes);
  InitMeshSlot(static_cast<MeshSlot*>(*out_data->sequence_data), in_data->extent_hint);
  return PF_Err_NONE;
}

}  // namespace

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data) {
  if (in_data->sequence_data)
    return FitToSlot(in_data, out_data);
  return NewSlot(in_data, out_data);
}

PF_Err SequenceResetup(PF_InData* in_data, PF_OutData* out_data) {
  return SequenceSetup(in_data, out_data);
}

PF_Err SequenceSetdown(PF_InData* in_data, PF_OutData* out_data) {
  if (!in_data->sequence_data)
    return PF_Err_NONE;
  PF_DISPOSE_HANDLE(in_data->sequence_data);
  out_data->sequence_data = nullptr;
  in_data->sequence_data = nullptr;
  return PF_Err_NONE;
}
