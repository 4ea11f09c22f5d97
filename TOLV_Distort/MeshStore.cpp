#include "TOLV_Distort/MeshStore.h"

#include <algorithm>
#include <cstring>

#include "AE_EffectCB.h"

void InitMeshStore(MeshStore* store, const PF_Rect& uv_rect) {
  std::memset(store, 0, offsetof(MeshStore, slots));
  for (MeshSlot& slot : store->slots)
    InitMeshSlot(&slot, uv_rect);
}

void StoreMeshRecord(MeshStore* store, const MeshSlot& record) {
  const int32_t k = record.slotIndex;
  if (k < 0 || k >= kStoreSlots)
    return;
  MeshSlot& slot = store->slots[k];
  const int32_t count = std::clamp<int32_t>(record.triangleCount, 0, kMaxTriangles);
  slot.triangleCount = count;
  slot.meshEnabled = record.meshEnabled;
  if (count > 1)
    std::memcpy(slot.triangles, record.triangles, static_cast<size_t>(count) * sizeof(triangle));
  slot.colorSource = record.colorSource;
  slot.bumpSource = record.bumpSource;
  slot.bumpAmount = record.bumpAmount;
  store->slotFlags[k] = record.meshEnabled;
  std::memcpy(slot.color, record.color, sizeof slot.color);
  std::memcpy(slot.uvRect, record.uvRect, sizeof slot.uvRect);
  slot.slotIndex = record.slotIndex;
  slot.capFillFailed = record.capFillFailed;
  slot.reservedFlag = record.reservedFlag;
}

namespace {

PF_Err InternalError(PF_InData* in_data, PF_OutData* out_data) {
  PF_STRCPY(out_data->return_msg, "Internal Error");
  out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
  return PF_Err_INTERNAL_STRUCT_DAMAGED;
}

void Publish(PF_OutData* out_data, PF_Handle store) {
  out_data->sequence_data = store;
  out_data->flat_sdata_size = static_cast<A_long>(kMeshStoreBytes);
}

PF_Err CreateStore(PF_InData* in_data, PF_OutData* out_data) {
  PF_Handle store = PF_NEW_HANDLE(kMeshStoreBytes);
  if (!store)
    return InternalError(in_data, out_data);
  InitMeshStore(static_cast<MeshStore*>(*store), in_data->extent_hint);
  Publish(out_data, store);
  return PF_Err_NONE;
}

// A store saved by another build or damaged on disk comes back resized, not rejected, so that the
// project still opens; bytes the host adds are not zero on every host, so they are cleared here.
PF_Err ResizeStore(PF_InData* in_data, PF_OutData* out_data, PF_Handle store) {
  const A_u_longlong size = PF_GET_HANDLE_SIZE(store);
  if (size != kMeshStoreBytes) {
    if (PF_RESIZE_HANDLE(kMeshStoreBytes, &store) != PF_Err_NONE)
      return InternalError(in_data, out_data);
    if (size < kMeshStoreBytes)
      std::memset(static_cast<char*>(*store) + size, 0, kMeshStoreBytes - size);
  }
  Publish(out_data, store);
  return PF_Err_NONE;
}

}  // namespace

PF_Err EnsureMeshStore(PF_InData* in_data, PF_OutData* out_data, bool* created) {
  *created = in_data->sequence_data == nullptr;
  if (*created)
    return CreateStore(in_data, out_data);
  return ResizeStore(in_data, out_data, in_data->sequence_data);
}

PF_Err MeshStoreSetup(PF_InData* in_data, PF_OutData* out_data) {
  bool created = false;
  return EnsureMeshStore(in_data, out_data, &created);
}

PF_Err MeshStoreSetdown(PF_InData* in_data, PF_OutData* out_data) {
  if (in_data->sequence_data)
    PF_DISPOSE_HANDLE(in_data->sequence_data);
  out_data->sequence_data = nullptr;
  return PF_Err_NONE;
}

PF_Err MeshStoreReceive(PF_InData* in_data, PF_OutData* out_data, const void* extra) {
  bool created = false;
  PF_Err err = EnsureMeshStore(in_data, out_data, &created);
  if (err != PF_Err_NONE || created || !extra)
    return err;
  StoreMeshRecord(static_cast<MeshStore*>(*out_data->sequence_data),
                  *static_cast<const MeshSlot*>(extra));
  return EnsureMeshStore(in_data, out_data, &created);
}
