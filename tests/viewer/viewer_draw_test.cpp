// The stand-in renderer's drawing without a host: where the camera puts a point, which of two
// surfaces is seen, how a textured triangle's corners come out, and the light on either face.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "testbed/engine/Camera.h"
#include "testbed/engine/MeshDraw.h"
#include "testbed/engine/Rasterizer.h"
#include "testbed/engine/Shading.h"

namespace {

using viewer::DepthBuffer;
using viewer::Fragment;
using viewer::RasterVertex;

// An 8-bit world over a pixel vector.
struct Canvas {
  Canvas(int w, int h) : pixels(static_cast<size_t>(w) * h, PF_Pixel{0, 0, 0, 0}) {
    std::memset(&world, 0, sizeof world);
    world.data = pixels.data();
    world.width = w;
    world.height = h;
    world.rowbytes = w * static_cast<A_long>(sizeof(PF_Pixel));
  }
  const PF_Pixel& at(int x, int y) const {
    return pixels[static_cast<size_t>(y) * world.width + x];
  }
  std::vector<PF_Pixel> pixels;
  PF_EffectWorld world;
};

RasterVertex flat(double x, double y, double distance) {
  return {x, y, distance, {x, y, 0}, {0, 0, 1}, 0, 0};
}

TEST(ViewCamera, zoomIsFiftyMillimetresOnThirtySixAcrossTheWidth) {
  const viewer::ViewCamera c = viewer::DefaultCamera(720, 480, 1, 1);
  EXPECT_EQ(c.zoom, 1000.0);
  EXPECT_EQ(c.centreX, 360.0);
  EXPECT_EQ(c.centreY, 240.0);
}

TEST(ViewCamera, projectsAKnownPointTowardsTheViewerAtTwiceTheScale) {
  const viewer::ViewCamera c = viewer::DefaultCamera(720, 480, 1, 1);
  viewer::ScreenPoint s;
  // Half way from the z = 0 plane to the eye: offsets from the centre double.
  ASSERT_TRUE(viewer::ProjectPoint(c, {460.0f, 180.0f, 500.0f}, &s));
  EXPECT_EQ(s.x, 560.0);
  EXPECT_EQ(s.y, 120.0);
  EXPECT_EQ(s.distance, 500.0);
  // The z = 0 plane is seen one pixel per pixel; away from the viewer everything shrinks.
  ASSERT_TRUE(viewer::ProjectPoint(c, {100.0f, 40.0f, 0.0f}, &s));
  EXPECT_EQ(s.x, 100.0);
  EXPECT_EQ(s.y, 40.0);
  ASSERT_TRUE(viewer::ProjectPoint(c, {460.0f, 240.0f, -1000.0f}, &s));
  EXPECT_EQ(s.x, 410.0);
}

TEST(ViewCamera, downsamplingScalesTheScreenNotTheView) {
  const viewer::ViewCamera c = viewer::DefaultCamera(720, 480, 0.5, 0.25);
  viewer::ScreenPoint s;
  ASSERT_TRUE(viewer::ProjectPoint(c, {460.0f, 180.0f, 500.0f}, &s));
  EXPECT_EQ(s.x, 280.0);
  EXPECT_EQ(s.y, 30.0);
}

TEST(ViewCamera, pointsAtOrBehindTheEyeAreNotProjected) {
  const viewer::ViewCamera c = viewer::DefaultCamera(720, 480, 1, 1);
  viewer::ScreenPoint s{-1, -1, -1};
  EXPECT_FALSE(viewer::ProjectPoint(c, {0, 0, 1000.0f}, &s));
  EXPECT_FALSE(viewer::ProjectPoint(c, {0, 0, 999.5f}, &s));
  EXPECT_FALSE(viewer::ProjectPoint(c, {0, 0, 5000.0f}, &s));
  EXPECT_FALSE(viewer::ProjectPoint(c, {0, 0, std::numeric_limits<float>::quiet_NaN()}, &s));
  EXPECT_EQ(s.x, -1.0);
  EXPECT_TRUE(viewer::ProjectPoint(c, {0, 0, 999.0f}, &s));
}

// Which of two overlapping triangles each pixel shows, by the id painted last there.
std::vector<int> paintTwo(double near_first, double near_second, bool second_first) {
  DepthBuffer depth(8, 8);
  std::vector<int> shown(64, 0);
  const RasterVertex a[3] = {flat(0, 0, near_first), flat(8, 0, near_first),
                             flat(0, 8, near_first)};
  const RasterVertex b[3] = {flat(8, 8, near_second), flat(0, 8, near_second),
                             flat(8, 0, near_second)};
  auto painter = [&](int id) {
    return [&shown, id](int x, int y, const Fragment&) { shown[y * 8 + x] = id; };
  };
  if (second_first) {
    viewer::RasterizeTriangle(b, depth, painter(2));
    viewer::RasterizeTriangle(a, depth, painter(1));
  } else {
    viewer::RasterizeTriangle(a, depth, painter(1));
    viewer::RasterizeTriangle(b, depth, painter(2));
  }
  return shown;
}

TEST(Rasterizer, theNearerTriangleWinsWhateverTheDrawingOrder) {
  // The triangles overlap along the anti-diagonal band; first is nearer.
  for (bool order : {false, true}) {
    const std::vector<int> shown = paintTwo(100, 200, order);
    EXPECT_EQ(shown[0 * 8 + 0], 1);
    EXPECT_EQ(shown[7 * 8 + 7], 2);
    EXPECT_EQ(shown[3 * 8 + 4], 1) << "on the shared band the nearer one is seen";
    EXPECT_EQ(shown[4 * 8 + 3], 1);
  }
  for (bool order : {false, true}) {
    const std::vector<int> shown = paintTwo(300, 200, order);
    EXPECT_EQ(shown[3 * 8 + 4], 2);
    EXPECT_EQ(shown[0], 1);
  }
}

TEST(Rasterizer, coversPixelCentresOfEitherWindingAndSkipsFlatTriangles) {
  DepthBuffer depth(4, 4);
  int painted = 0;
  const viewer::PaintPixel count = [&](int, int, const Fragment&) { ++painted; };
  const RasterVertex cw[3] = {flat(0, 0, 10), flat(4, 0, 10), flat(4, 4, 10)};
  viewer::RasterizeTriangle(cw, depth, count);
  EXPECT_EQ(painted, 10);  // centres on or above the diagonal
  DepthBuffer depth2(4, 4);
  painted = 0;
  const RasterVertex ccw[3] = {flat(0, 0, 10), flat(4, 4, 10), flat(4, 0, 10)};
  viewer::RasterizeTriangle(ccw, depth2, count);
  EXPECT_EQ(painted, 10);
  painted = 0;
  const RasterVertex line[3] = {flat(0, 0, 10), flat(2, 2, 10), flat(4, 4, 10)};
  viewer::RasterizeTriangle(line, depth2, count);
  const RasterVertex outside[3] = {flat(-9, -9, 10), flat(-5, -9, 10), flat(-9, -5, 10)};
  viewer::RasterizeTriangle(outside, depth2, count);
  EXPECT_EQ(painted, 0);
}

TEST(Rasterizer, interpolatesWithPerspective) {
  // A strip whose left edge is four times as far as its right: the far half is squeezed on the
  // screen, so the pixel at the screen middle lies about four fifths of the way along the surface.
  DepthBuffer depth(100, 1);
  RasterVertex v[3] = {flat(0, -1, 400), flat(100, -1, 100), flat(100, 3, 100)};
  v[0].u = 0;
  v[1].u = 1;
  v[2].u = 1;
  double u_mid = -1;
  viewer::RasterizeTriangle(v, depth, [&](int x, int, const Fragment& f) {
    if (x == 49)
      u_mid = f.u;
  });
  EXPECT_NEAR(u_mid, (0.495 / 100) / (0.505 / 400 + 0.495 / 100), 1e-12);
}

TEST(Shading, lightIsTheSameOnBothFacesAndAmbientOnly) {
  const viewer::Vec3 toward = {0, 0, 1};
  const viewer::Vec3 n = {-1, -1, 2};
  const double front = viewer::LightIntensity(n, toward);
  EXPECT_NEAR(front, 1.0, 1e-12);
  EXPECT_EQ(viewer::LightIntensity({1, 1, -2}, toward), front);
  EXPECT_EQ(viewer::LightIntensity({1, 1, -2}, {0, 0, -1}), viewer::kAmbient);
  EXPECT_EQ(viewer::LightIntensity({0, 0, 0}, toward), viewer::kAmbient);
}

TEST(Shading, overBlendingKeepsStraightAlpha) {
  PF_Pixel p{0, 0, 0, 0};
  viewer::BlendOver(&p, {1.0f, 0.5f, 0.0f, 0.5f});
  EXPECT_EQ(p.alpha, 128);
  EXPECT_EQ(p.red, 255);
  EXPECT_EQ(p.green, 128);
  EXPECT_EQ(p.blue, 0);
  PF_Pixel q{255, 0, 0, 255};
  viewer::BlendOver(&q, {1.0f, 0.0f, 0.0f, 0.5f});
  EXPECT_EQ(q.alpha, 255);
  EXPECT_EQ(q.red, 128);
  EXPECT_EQ(q.blue, 128);
}

// A 2 x 2 texture: red, green on top; blue, white below.
struct Quad {
  PF_Pixel texels[4] = {{255, 255, 0, 0}, {255, 0, 255, 0}, {255, 0, 0, 255}, {255, 255, 255, 255}};
  viewer::TextureView view() const { return {texels, 2, 2, 2 * sizeof(PF_Pixel)}; }
};

TEST(Shading, texelsFollowTheTextureRectangle) {
  const Quad quad;
  const viewer::TextureFrame whole = {{0, 0, 100, 100}, 100, 100};
  auto red_of = [&](const viewer::TextureFrame& f, double u, double v) {
    const viewer::Rgba c = viewer::SampleTexture(quad.view(), f, u, v);
    return std::vector<float>{c.r, c.g, c.b};
  };
  EXPECT_EQ(red_of(whole, 0.1, 0.1), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(red_of(whole, 0.9, 0.1), (std::vector<float>{0, 1, 0}));
  EXPECT_EQ(red_of(whole, 0.1, 0.9), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(red_of(whole, 0.9, 0.9), (std::vector<float>{1, 1, 1}));
  // Coordinates past the edges stay on the edge texels.
  EXPECT_EQ(red_of(whole, -3.0, 7.0), (std::vector<float>{0, 0, 1}));
  // A rectangle grown 100 pixels to the left: u = 0.6 is x = 20 of the layer, the left half.
  const viewer::TextureFrame grown = {{-100, 0, 100, 100}, 100, 100};
  EXPECT_EQ(red_of(grown, 0.6, 0.1), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(red_of(grown, 0.8, 0.1), (std::vector<float>{0, 1, 0}));
  const viewer::Rgba none = viewer::SampleTexture({}, whole, 0.5, 0.5);
  EXPECT_EQ(none.r + none.g + none.b + none.a, 4.0f);
}

// One triangle facing the light, corners on the z = 0 plane of a 40 x 40 layer.
std::unique_ptr<MeshSlot> litTriangle(double u_scale) {
  auto slot = std::make_unique<MeshSlot>();
  std::memset(slot.get(), 0, sizeof(MeshSlot));
  triangle& t = slot->triangles[0];
  t.vertexA = {0, 0, 0};
  t.vertexB = {40, 0, 0};
  t.vertexC = {0, 40, 0};
  t.normalA = t.normalB = t.normalC = {-1, -1, 2};
  t.uvA = {0, 0};
  t.uvB = {u_scale, 0};
  t.uvC = {0, u_scale};
  slot->triangleCount = 1;
  slot->slotIndex = 0;
  slot->meshEnabled = 1;
  slot->color[0] = 255;
  slot->color[1] = 10;
  slot->color[2] = 20;
  slot->color[3] = 30;
  slot->uvRect[2] = 40;
  slot->uvRect[3] = 40;
  return slot;
}

TEST(MeshDraw, aTexturedTriangleShowsTheTextureAtItsCorners) {
  const Quad quad;
  const viewer::TextureView texture = quad.view();
  auto slot = litTriangle(2.0);  // the corners reach past the texture: B is green, C blue
  Canvas canvas(40, 40);
  DepthBuffer depth(40, 40);
  const viewer::ViewCamera camera = viewer::DefaultCamera(40, 40, 1, 1);
  viewer::DrawMesh(*slot, camera, &texture, {{0, 0, 40, 40}, 40, 40}, depth, canvas.world);
  auto rgba = [&](int x, int y) {
    const PF_Pixel& p = canvas.at(x, y);
    return std::vector<int>{p.red, p.green, p.blue, p.alpha};
  };
  EXPECT_EQ(rgba(0, 0), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(rgba(38, 0), (std::vector<int>{0, 255, 0, 255}));
  EXPECT_EQ(rgba(0, 38), (std::vector<int>{0, 0, 255, 255}));
  EXPECT_EQ(rgba(12, 12), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(rgba(39, 39), (std::vector<int>{0, 0, 0, 0})) << "outside the triangle";
}

TEST(MeshDraw, withoutATextureTheRecordColourAndItsAlphaAreUsed) {
  auto slot = litTriangle(1.0);
  slot->color[0] = 51;  // 20 % opacity
  Canvas canvas(40, 40);
  DepthBuffer depth(40, 40);
  viewer::DrawMesh(*slot, viewer::DefaultCamera(40, 40, 1, 1), nullptr, {{0, 0, 40, 40}, 40, 40},
                   depth, canvas.world);
  const PF_Pixel& p = canvas.at(5, 5);
  EXPECT_EQ(p.alpha, 51);
  EXPECT_EQ(p.red, 10);
  EXPECT_EQ(p.green, 20);
  EXPECT_EQ(p.blue, 30);
}

TEST(MeshDraw, onlyRecordsThatNameTheirSlotWithACountInRangeAreDrawable) {
  auto slot = litTriangle(1.0);
  EXPECT_TRUE(viewer::IsDrawable(*slot, 0));
  EXPECT_FALSE(viewer::IsDrawable(*slot, 1));
  slot->slotIndex = -1;
  EXPECT_FALSE(viewer::IsDrawable(*slot, -1));
  slot->slotIndex = 10;
  EXPECT_FALSE(viewer::IsDrawable(*slot, 10));
  slot->slotIndex = 0;
  slot->triangleCount = kMaxTriangles + 1;
  EXPECT_FALSE(viewer::IsDrawable(*slot, 0));
  slot->triangleCount = -1;
  EXPECT_FALSE(viewer::IsDrawable(*slot, 0));
  slot->triangleCount = kMaxTriangles;
  EXPECT_TRUE(viewer::IsDrawable(*slot, 0));
  slot->meshEnabled = 0;
  EXPECT_FALSE(viewer::IsDrawable(*slot, 0));
}

}  // namespace
