#include "TOLV_Mask/render/SlotWrite.h"

#include <algorithm>

namespace mask {

namespace {

bool InsideLayer(const UvRect& r, A_long width, A_long height) {
  return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height;
}

double Relative(double t, A_long size, A_long low, A_long high) {
  const double extent = static_cast<double>(high) - low;
  if (extent == 0)
    return 0;
  return static_cast<float>(t * size - low) / static_cast<float>(extent);
}

}  // namespace

A_FloatPoint SlotUv(A_FloatPoint uv, const UvRect& rect, A_long width, A_long height) {
  if (InsideLayer(rect, width, height))
    return uv;
  return {Relative(uv.x, width, rect.left, rect.right),
          Relative(uv.y, height, rect.top, rect.bottom)};
}

namespace {

// Copies up to limit triangles from list to out with reserved 0; returns how many.
size_t CopyTriangles(const std::vector<triangle>& list, triangle* out, size_t limit) {
  const size_t count = std::min(list.size(), limit);
  for (size_t i = 0; i < count; ++i) {
    out[i] = list[i];
    out[i].reserved = 0;
  }
  return count;
}

}  // namespace

void WriteMeshSlot(MeshSlot& slot, const MeshTriangles& mesh, const SlotTrailer& trailer,
                   const MeshSettings& settings, A_long width, A_long height) {
  const size_t count = std::min(mesh.size(), static_cast<size_t>(kMaxTriangles));
  slot.triangleCount = static_cast<int32_t>(count);
  slot.meshEnabled = settings.meshOn ? 1 : 0;
  const UvRect& r = trailer.uvRect;
  slot.uvRect[0] = r.left;
  slot.uvRect[1] = r.top;
  slot.uvRect[2] = r.right;
  slot.uvRect[3] = r.bottom;
  slot.color[0] = AlphaByte(settings.alpha);
  slot.color[1] = settings.color.red;
  slot.color[2] = settings.color.green;
  slot.color[3] = settings.color.blue;

  triangle* out = slot.triangles;
  size_t written = CopyTriangles(mesh.front, out, count);
  written += WriteGridTriangles(mesh.grid, out + written, count - written);
  CopyTriangles(mesh.back, out + written, count - written);
  if (!InsideLayer(r, width, height)) {
    for (size_t i = 0; i < count; ++i) {
      triangle& t = out[i];
      t.uvA = SlotUv(t.uvA, r, width, height);
      t.uvB = SlotUv(t.uvB, r, width, height);
      t.uvC = SlotUv(t.uvC, r, width, height);
    }
  }
  slot.slotIndex = trailer.ordinal;
  slot.colorSource = settings.colorSource;
  slot.bumpSource = settings.bumpSource;
  slot.bumpAmount = BumpFraction(settings.bumpAmount);
  slot.capFillFailed = trailer.capFillFailed;
  slot.reservedFlag = 0;
}

}  // namespace mask
