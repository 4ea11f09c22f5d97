#include "TOLV_Mask/SequenceData.h"

#include "AE_EffectCB.h"
#include "common/MeshSlot.h"
#include "common/SequenceHandle.h"

namespace {

PF_Err NewSlot(PF_InData* in_data, PF_OutData* out_data) {
  PF_Handle slot = nullptr;
  if (PF_Err err = NewSequenceHandle(in_data, out_data, kMeshSlotBytes, &slot))
    return err;
  InitMeshSlot(static_cast<MeshSlot*>(*slot), in_data->extent_hint);
  return PF_Err_NONE;
}

}  // namespace

PF_Err SequenceSetup(PF_InData* in_data, PF_OutData* out_data) {
  if (in_data->sequence_data)
    return FitSequenceHandle(in_data, out_data, kMeshSlotBytes);
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
