#include "common/MeshStore.h"

#include <algorithm>
#include <cstring>

#include "AE_EffectCB.h"
#include "common/SequenceHandle.h"

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

void CopyStoredSlot(const MeshSlot& slot, MeshSlot* out) {
  const int32_t count = std::clamp<int32_t>(slot.triangleCount, 0, kMaxTriangles);
  std::memcpy(out->triangles, slot.triangles, static_cast<size_t>(count) * sizeof(triangle));
  std::memcpy(&out->triangleCount, &slot.triangleCount,
              sizeof(MeshSlot) - offsetof(MeshSlot, triangleCount));
  out->triangleCount = count;
}

PF_Err EnsureMeshStore(PF_InData* in_data, PF_OutData* out_data, bool* created) {
  *created = in_data->sequence_data == nullptr;
  if (!*created)
    return FitSequenceHandle(in_data, out_data, kMeshStoreBytes);
  PF_Handle store = nullptr;
  PF_Err err = NewSequenceHandle(in_data, out_data, kMeshStoreBytes, &store);
  if (err == PF_Err_NONE)
    InitMeshStore(static_cast<MeshStore*>(*store), in_data->extent_hint);
  return err;
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
  // The fit above left the handle the host returned in in_data, so the second check looks at the
  // block that was written, not at one the host may have moved away from.
  StoreMeshRecord(static_cast<MeshStore*>(*in_data->sequence_data),
                  *static_cast<const MeshSlot*>(extra));
  return EnsureMeshStore(in_data, out_data, &created);
}
