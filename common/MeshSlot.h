// The mesh record that passes between effects, and the distort effect's store of ten of them.
//
// These are byte layouts shared with other effects and saved in projects: every offset is fixed.
// Windows and the testbed pack the triangle to 4 bytes (136 bytes, texture coordinates at 84);
// the macOS build uses natural alignment (144 bytes) with the trailer in the same order at the
// same distance from the end of the triangle array.
#pragma once

#include <cstddef>
#include <cstdint>

#include "AE_Effect.h"
#include "common/point3.h"

// TOLV_NATURAL_MESH_LAYOUT lets a translation unit of its own check the macOS layout here.
#if defined(__APPLE__) || defined(TOLV_NATURAL_MESH_LAYOUT)
#define TOLV_MESH_PACK 0
#else
#define TOLV_MESH_PACK 1
#endif

#if TOLV_MESH_PACK
#pragma pack(push, 4)
#endif

struct triangle {
  point3 vertexA;
  point3 vertexB;
  point3 vertexC;
  point3 faceNormal;
  point3 normalA;
  point3 normalB;
  point3 normalC;
  A_FloatPoint uvA;
  A_FloatPoint uvB;
  A_FloatPoint uvC;
  float reserved;
};

constexpr int kMaxTriangles = 20000;
constexpr int kStoreSlots = 10;

struct MeshSlot {
  triangle triangles[kMaxTriangles];
  int32_t triangleCount;
  int32_t slotIndex;
  uint8_t meshEnabled;
  uint8_t padding0[3];
  uint32_t colorSource;
  uint32_t bumpSource;
  float bumpAmount;
  int32_t uvRect[4];
  uint8_t color[4];  // alpha, red, green, blue
  uint8_t capFillFailed;
  uint8_t reservedFlag;
  uint8_t padding1[2];
};

struct MeshStore {
  uint8_t zero[4];
  uint8_t slotFlags[kStoreSlots];
  uint8_t padding[2];
  MeshSlot slots[kStoreSlots];
};

#if TOLV_MESH_PACK
#pragma pack(pop)
#endif

constexpr size_t kTriangleBytes = sizeof(triangle);
constexpr size_t kTrianglesBytes = sizeof(triangle) * kMaxTriangles;
constexpr size_t kMeshSlotBytes = sizeof(MeshSlot);
constexpr size_t kMeshStoreBytes = sizeof(MeshStore);

// The layout checks of the platform being built; tests compile the other layout on its own.
#if TOLV_MESH_PACK
static_assert(sizeof(triangle) == 136, "packed triangle");
static_assert(offsetof(triangle, uvA) == 84 && offsetof(triangle, uvB) == 100 &&
                  offsetof(triangle, uvC) == 116 && offsetof(triangle, reserved) == 132,
              "packed triangle offsets");
static_assert(sizeof(MeshSlot) == 2720048, "packed slot");
static_assert(sizeof(MeshStore) == 27200496, "packed store");
#else
static_assert(sizeof(triangle) == 144, "natural triangle");
static_assert(offsetof(triangle, uvA) == 88 && offsetof(triangle, uvB) == 104 &&
                  offsetof(triangle, uvC) == 120 && offsetof(triangle, reserved) == 136,
              "natural triangle offsets");
static_assert(sizeof(MeshSlot) == 2880048, "natural slot");
static_assert(sizeof(MeshStore) == 16 + 10 * 2880048, "natural store");
#endif
static_assert(offsetof(triangle, faceNormal) == 36 && offsetof(triangle, normalA) == 48 &&
                  offsetof(triangle, normalB) == 60 && offsetof(triangle, normalC) == 72,
              "triangle offsets shared by both layouts");
static_assert(offsetof(MeshSlot, triangleCount) == kTrianglesBytes + 0 &&
                  offsetof(MeshSlot, slotIndex) == kTrianglesBytes + 4 &&
                  offsetof(MeshSlot, meshEnabled) == kTrianglesBytes + 8 &&
                  offsetof(MeshSlot, colorSource) == kTrianglesBytes + 12 &&
                  offsetof(MeshSlot, bumpSource) == kTrianglesBytes + 16 &&
                  offsetof(MeshSlot, bumpAmount) == kTrianglesBytes + 20 &&
                  offsetof(MeshSlot, uvRect) == kTrianglesBytes + 24 &&
                  offsetof(MeshSlot, color) == kTrianglesBytes + 40 &&
                  offsetof(MeshSlot, capFillFailed) == kTrianglesBytes + 44 &&
                  offsetof(MeshSlot, reservedFlag) == kTrianglesBytes + 45 &&
                  sizeof(MeshSlot) == kTrianglesBytes + 48,
              "trailer offsets");
static_assert(offsetof(MeshStore, slotFlags) == 4 && offsetof(MeshStore, slots) == 16,
              "store header");

// Writes a record that holds no mesh yet: all zero, two all-zero triangles announced, no slot,
// and the texture rectangle given.
void InitMeshSlot(MeshSlot* slot, const PF_Rect& uv_rect);
