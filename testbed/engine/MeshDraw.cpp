#include "testbed/engine/MeshDraw.h"

#include <algorithm>
#include <cstring>

namespace viewer {

namespace {

Vec3 ToVec(const point3& p) {
  return {p.x, p.y, p.z};
}

// Fields are copied out of the packed triangle rather than bound by reference: the texture
// coordinates are not aligned to their own size.
bool ProjectCorner(const ViewCamera& camera, const point3& p, const point3& n, A_FloatPoint uv,
                   RasterVertex* out) {
  ScreenPoint s;
  if (!ProjectPoint(camera, p, &s))
    return false;
  *out = RasterVertex{s.x, s.y, s.distance, ToVec(p), ToVec(n), uv.x, uv.y};
  return true;
}

PF_Pixel& PixelAt(PF_EffectWorld& world, int x, int y) {
  char* row = reinterpret_cast<char*>(world.data) + static_cast<long>(y) * world.rowbytes;
  return reinterpret_cast<PF_Pixel*>(row)[x];
}

}  // namespace

bool IsDrawable(const MeshSlot& slot, int slot_index) {
  return slot.slotIndex == slot_index && slot_index >= 0 && slot_index < kStoreSlots &&
         slot.triangleCount >= 0 && slot.triangleCount <= kMaxTriangles && slot.meshEnabled != 0;
}

void DrawMesh(const MeshSlot& slot, const ViewCamera& camera, const TextureView* texture,
              const TextureFrame& frame, DepthBuffer& depth, PF_EffectWorld& out) {
  const Rgba colour = ColorFromRecord(slot.color);
  const Vec3 eye = {camera.centreX, camera.centreY, camera.zoom};
  const PaintPixel paint = [&](int x, int y, const Fragment& f) {
    const Rgba base = texture ? SampleTexture(*texture, frame, f.u, f.v) : colour;
    const Vec3 to_eye = {eye.x - f.position.x, eye.y - f.position.y, eye.z - f.position.z};
    const double light = LightIntensity(f.normal, to_eye);
    const Rgba lit = {static_cast<float>(base.r * light), static_cast<float>(base.g * light),
                      static_cast<float>(base.b * light), base.a * (texture ? colour.a : 1.0f)};
    BlendOver(&PixelAt(out, x, y), lit);
  };
  const int count = std::clamp<int32_t>(slot.triangleCount, 0, kMaxTriangles);
  for (int t = 0; t < count; ++t) {
    const triangle& tri = slot.triangles[t];
    RasterVertex corners[3];
    if (ProjectCorner(camera, tri.vertexA, tri.normalA, tri.uvA, &corners[0]) &&
        ProjectCorner(camera, tri.vertexB, tri.normalB, tri.uvB, &corners[1]) &&
        ProjectCorner(camera, tri.vertexC, tri.normalC, tri.uvC, &corners[2]))
      RasterizeTriangle(corners, depth, paint);
  }
}

void ClearWorld(PF_EffectWorld& world) {
  if (!world.data || world.width <= 0)
    return;
  for (int y = 0; y < world.height; ++y)
    std::memset(&PixelAt(world, 0, y), 0, sizeof(PF_Pixel) * world.width);
}

}  // namespace viewer
