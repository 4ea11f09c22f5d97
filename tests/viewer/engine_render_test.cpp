// The stand-in renderer in the testbed: the meshes it keeps are drawn into its output, textured
// from the layer in the colour-source parameter of their slot, and records it cannot use are
// ignored. Its render is swept through every host call it makes.
#include <cstring>

#include "testbed/engine/Engine.h"
#include "testbed/world/World.h"
#include "tests/exchange/ExchangeFixture.h"

namespace {

constexpr PF_Pixel kOpaqueBlue = {255, 0, 0, 255};
constexpr PF_Pixel kOpaqueGreen = {255, 0, 255, 0};

// A lit rectangle on the z = 0 plane from (x0, y0) to (x1, y1), colour given as alpha, red,
// green, blue; its texture coordinates span the layer's 640 x 360 pixels.
std::unique_ptr<MeshSlot> quad(int slot, float x0, float y0, float x1, float y1, float z = 0) {
  auto record = std::make_unique<MeshSlot>();
  std::memset(record.get(), 0, sizeof(MeshSlot));
  const point3 p[4] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
  auto uv = [](const point3& q) { return A_FloatPoint{q.x / 640.0, q.y / 360.0}; };
  const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < 2; ++t) {
    triangle& tri = record->triangles[t];
    tri.vertexA = p[corners[t][0]];
    tri.vertexB = p[corners[t][1]];
    tri.vertexC = p[corners[t][2]];
    tri.normalA = tri.normalB = tri.normalC = {-1, -1, 2};  // straight at the light
    tri.uvA = uv(tri.vertexA);
    tri.uvB = uv(tri.vertexB);
    tri.uvC = uv(tri.vertexC);
  }
  record->triangleCount = 2;
  record->slotIndex = slot;
  record->meshEnabled = 1;
  const uint8_t colour[4] = {255, 200, 100, 50};
  std::memcpy(record->color, colour, sizeof colour);
  const int32_t rect[4] = {0, 0, 640, 360};
  std::memcpy(record->uvRect, rect, sizeof rect);
  return record;
}

class EngineRenderTest : public extest::ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    layer_->pixels = tb::makeSolid(640, 360, PF_Pixel{255, 255, 255, 255});
    engine_effect_ = &engine();
  }

  void deliver(const MeshSlot& record) {
    host_.sendToEffect(*engine_effect_, PF_Cmd_COMPLETELY_GENERAL, const_cast<MeshSlot*>(&record));
  }

  // A layer with pixels of one colour, chosen in the engine's colour source for slot s.
  void textureSlot(int s, PF_Pixel colour, const char* name) {
    tb::Layer& tex = host_.addLayer(*layer_->comp, name, 64, 36);
    tex.pixels = tb::makeSolid(64, 36, colour);
    engine_effect_->layerIds[kColorSourceParam + s] = tex.id;
  }

  // The engine layer's frame after a render of the composition.
  tb::World renderFrame() {
    for (tb::LayerFrame& f : host_.renderComp(*layer_->comp, A_Time{0, 25})) {
      if (f.layer == layer_ && f.frame)
        return *f.frame;
    }
    ADD_FAILURE() << "the engine layer has no frame";
    return *tb::World::blank(1, 1);
  }

  // PF_Cmd_RENDER to the engine alone, into a fresh world.
  tb::CommandResult renderEngine() {
    std::optional<tb::World> out = tb::World::blank(640, 360);
    std::vector<PF_ParamDef> params = engine_effect_->params;
    std::vector<PF_ParamDef*> array;
    for (PF_ParamDef& p : params)
      array.push_back(&p);
    return host_.send({engine_, engine_effect_}, PF_Cmd_RENDER, array.data(), &out->def());
  }

  static std::vector<int> argb(const tb::World& w, int x, int y) {
    const PF_Pixel& p = w.at(x, y);
    return {p.alpha, p.red, p.green, p.blue};
  }

  tb::Effect* engine_effect_ = nullptr;
};

TEST_F(EngineRenderTest, aReceivedMeshIsDrawnInItsColourOverTransparency) {
  deliver(*quad(0, 200, 100, 440, 260));
  const tb::World frame = renderFrame();
  EXPECT_EQ(argb(frame, 320, 180), (std::vector<int>{255, 200, 100, 50}));
  EXPECT_EQ(argb(frame, 201, 101), (std::vector<int>{255, 200, 100, 50}));
  EXPECT_EQ(argb(frame, 10, 10), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(argb(frame, 441, 180), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(EngineRenderTest, aMeshNearerTheViewerIsSeenLargerAndInFront) {
  deliver(*quad(0, 200, 100, 440, 260));
  // Half way from the z = 0 plane to the eye (zoom 640 x 50 / 36): seen at twice the size.
  auto front = quad(1, 300, 160, 340, 200, static_cast<float>(640.0 * 50.0 / 36.0 / 2.0));
  front->color[1] = 0;
  deliver(*front);
  const tb::World frame = renderFrame();
  EXPECT_EQ(argb(frame, 320, 180), (std::vector<int>{255, 0, 100, 50}));
  // 300..340 about the centre 320 doubles to 280..360.
  EXPECT_EQ(argb(frame, 282, 180), (std::vector<int>{255, 0, 100, 50}));
  EXPECT_EQ(argb(frame, 278, 180), (std::vector<int>{255, 200, 100, 50}));
}

TEST_F(EngineRenderTest, eachSlotIsTexturedFromItsOwnColourSource) {
  textureSlot(0, kOpaqueBlue, "Blue");
  textureSlot(1, kOpaqueGreen, "Green");
  deliver(*quad(0, 100, 100, 200, 200));
  deliver(*quad(1, 400, 100, 500, 200));
  const tb::World frame = renderFrame();
  EXPECT_EQ(argb(frame, 150, 150), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(argb(frame, 450, 150), (std::vector<int>{255, 0, 255, 0}));
}

TEST_F(EngineRenderTest, recordsWithABadSlotOrCountAreIgnoredNotClamped) {
  deliver(*quad(-1, 0, 0, 640, 360));
  deliver(*quad(10, 0, 0, 640, 360));
  auto too_many = quad(2, 0, 0, 640, 360);
  too_many->triangleCount = kMaxTriangles + 1;
  deliver(*too_many);
  auto negative = quad(3, 0, 0, 640, 360);
  negative->triangleCount = -2;
  deliver(*negative);
  for (int s = 0; s < kStoreSlots; ++s)
    EXPECT_EQ(store(*engine_effect_).slots[s].slotIndex, -1) << "slot " << s;
  const tb::World frame = renderFrame();
  EXPECT_EQ(argb(frame, 320, 180), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(EngineRenderTest, aDisabledMeshIsKeptButNotDrawn) {
  auto off = quad(4, 0, 0, 640, 360);
  off->meshEnabled = 0;
  deliver(*off);
  EXPECT_EQ(store(*engine_effect_).slots[4].slotIndex, 4);
  EXPECT_EQ(argb(renderFrame(), 320, 180), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(EngineRenderTest, aCleanRenderChecksEachDrawnSlotsSourceOutAndIn) {
  deliver(*quad(0, 100, 100, 200, 200));
  deliver(*quad(3, 400, 100, 500, 200));
  tb::CommandResult r = renderEngine();
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  const std::vector<std::string> expected = {"checkoutParam", "checkinParam", "checkoutParam",
                                             "checkinParam"};
  EXPECT_EQ(r.report.calls, expected);
}

TEST_F(EngineRenderTest, eachFailedCallIsTheStatusAndNothingElseStaysHeld) {
  deliver(*quad(0, 100, 100, 200, 200));
  deliver(*quad(3, 400, 100, 500, 200));
  const size_t calls = renderEngine().report.calls.size();
  ASSERT_EQ(calls, 4u);
  for (size_t i = 0; i < calls; ++i) {
    SCOPED_TRACE("failing call " + std::to_string(i));
    tb::FaultPlan plan;
    plan.failCall = static_cast<int>(i);
    plan.failWith = PF_Err_OUT_OF_MEMORY;
    host_.ledger().arm(plan);
    tb::CommandResult r = renderEngine();
    host_.ledger().disarm();
    EXPECT_EQ(r.err, PF_Err_OUT_OF_MEMORY);
    const bool refused_checkin = r.report.calls.at(i) == "checkinParam";
    // A check-in the host refused leaves exactly that parameter behind.
    EXPECT_EQ(r.report.held.size(), refused_checkin ? 1u : 0u);
    EXPECT_EQ(r.report.calls.size(), i + 1) << "a call after the failure";
    // The refused parameter is the host's to drop, so the next round starts with nothing held.
    if (auto* left = host_.findRef<tb::CheckedOutParamObject>([](const auto&) { return true; }))
      host_.disposeRef(left);
    host_.ledger().clearViolations();
  }
}

}  // namespace
