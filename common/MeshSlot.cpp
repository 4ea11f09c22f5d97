#include "common/MeshSlot.h"

#include <cstring>

void InitMeshSlot(MeshSlot* slot, const PF_Rect& uv_rect) {
  std::memset(slot, 0, sizeof(MeshSlot));
  slot->triangleCount = 2;
  slot->slotIndex = -1;
  slot->uvRect[0] = uv_rect.left;
  slot->uvRect[1] = uv_rect.top;
  slot->uvRect[2] = uv_rect.right;
  slot->uvRect[3] = uv_rect.bottom;
}
