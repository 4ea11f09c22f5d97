// Mesh records for the exchange tests: every triangle and trailer field a distinct exact value,
// so that a byte copied to the wrong place or not copied at all shows.
#pragma once

#include <cstring>
#include <memory>

#include "common/MeshSlot.h"

namespace extest {

struct Trailer {
  int32_t count;
  int32_t slot;
  uint8_t enabled;
  uint32_t seed;  // the opaque fields are derived from it
};

inline void fillTriangles(MeshSlot* record, int count, float seed) {
  for (int i = 0; i < count && i < kMaxTriangles; ++i) {
    float* f = &record->triangles[i].vertexA.x;
    for (int k = 0; k < 21; ++k)
      f[k] = seed + static_cast<float>(i) + static_cast<float>(k) * 0.25f;
    record->triangles[i].uvA = {seed, 0.5};
    record->triangles[i].uvB = {0.25, seed};
    record->triangles[i].uvC = {seed + 1.0, 0.75};
    record->triangles[i].reserved = seed * 2.0f;
  }
}

inline void fillTrailer(MeshSlot* record, const Trailer& t) {
  record->triangleCount = t.count;
  record->slotIndex = t.slot;
  record->meshEnabled = t.enabled;
  record->colorSource = 0x01020304u + t.seed;
  record->bumpSource = 0x0A0B0C0Du + t.seed;
  record->bumpAmount = 0.375f + static_cast<float>(t.seed);
  record->uvRect[0] = static_cast<int32_t>(t.seed);
  record->uvRect[1] = -7;
  record->uvRect[2] = 640 + static_cast<int32_t>(t.seed);
  record->uvRect[3] = 360;
  record->color[0] = 200;
  record->color[1] = static_cast<uint8_t>(t.seed);
  record->color[2] = 30;
  record->color[3] = 40;
  record->capFillFailed = 1;
  record->reservedFlag = static_cast<uint8_t>(0x80 | t.seed);
}

// A record with count triangles filled from seed (at most the array's 20,000) and its trailer.
inline std::unique_ptr<MeshSlot> makeRecord(const Trailer& t, int fill, float seed) {
  auto record = std::make_unique<MeshSlot>();
  std::memset(record.get(), 0, sizeof(MeshSlot));
  fillTriangles(record.get(), fill, seed);
  fillTrailer(record.get(), t);
  return record;
}

// Compares the trailer fields a receiver copies, one by one.
inline bool sameTrailer(const MeshSlot& a, const MeshSlot& b) {
  return a.triangleCount == b.triangleCount && a.slotIndex == b.slotIndex &&
         a.meshEnabled == b.meshEnabled && a.colorSource == b.colorSource &&
         a.bumpSource == b.bumpSource &&
         std::memcmp(&a.bumpAmount, &b.bumpAmount, sizeof a.bumpAmount) == 0 &&
         std::memcmp(a.uvRect, b.uvRect, sizeof a.uvRect) == 0 &&
         std::memcmp(a.color, b.color, sizeof a.color) == 0 && a.capFillFailed == b.capFillFailed &&
         a.reservedFlag == b.reservedFlag;
}

inline bool sameTriangles(const MeshSlot& a, const MeshSlot& b, int count) {
  return std::memcmp(a.triangles, b.triangles, sizeof(triangle) * static_cast<size_t>(count)) == 0;
}

}  // namespace extest
