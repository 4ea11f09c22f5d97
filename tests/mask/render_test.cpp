// The mask effect's render end to end: the real modules in the testbed, records compared field by
// field and byte for byte.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/render/Render.h"
#include "tests/mask/MaskRenderFixture.h"

namespace masktest {
namespace {

// The records are packed, so their doubles may sit at 4-byte offsets: they are read by value.
double byValue(double v) {
  return v;
}

// A white card without masks and the given effects (JSON list text).
std::string card(const std::string& effects, const std::string& masks = "[]") {
  return R"([{"name": "Card", "kind": "solid", "size": [640, 360], "color": [255, 255, 255, 255],
              "masks": )" +
         masks + R"(, "effects": )" + effects + "}]";
}

const char* const kFlatMask = R"({"match": "ZEK TOLV_Mask", "params": {"1": 2, "2": 1}})";
const char* const kEngine = R"({"match": "ZEK TOLV_Engine"})";
const char* const kDistort = R"({"match": "ZEK TOLV_Distort"})";

bool samePixels(const tb::World& a, const tb::World& b) {
  if (a.width() != b.width() || a.height() != b.height())
    return false;
  for (A_long y = 0; y < a.height(); ++y)
    for (A_long x = 0; x < a.width(); ++x)
      if (std::memcmp(&a.at(x, y), &b.at(x, y), sizeof(PF_Pixel)) != 0)
        return false;
  return true;
}

bool allPixels(const tb::World& w, PF_Pixel p) {
  for (A_long y = 0; y < w.height(); ++y)
    for (A_long x = 0; x < w.width(); ++x)
      if (std::memcmp(&w.at(x, y), &p, sizeof p) != 0)
        return false;
  return true;
}

bool at(const point3& p, float x, float y, float z) {
  return p.x == x && p.y == y && p.z == z;
}

class Render : public MaskRenderTest {
 protected:
  // Render with flag 0, called directly, as the parameter actions do.
  PF_Err renderWithoutFrame(tb::Effect& e, tb::World& output) {
    RenderParams p = paramsFor(e);
    PF_InData in;
    host_.fillInData({e.module, &e}, &in);
    PF_OutData out = {};
    pluginID = e.module->pluginId;
    host_.ledger().beginCommand("direct render");
    const PF_Err err = ::Render(&in, &out, p.array.data(), &output.def(), 0);
    const tb::CommandReport report = host_.ledger().endCommand();
    EXPECT_TRUE(report.clean());
    return err;
  }
};

TEST_F(Render, theFlatGridIsSentAndTheFrameIsTheInput) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  std::optional<tb::World> output;
  const tb::CommandResult r = renderEffect(effect(0), &output);
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(samePixels(*output, *layer().pixels));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const MeshSlot& m = record(0);
  EXPECT_EQ(m.triangleCount, 4);
  EXPECT_EQ(m.slotIndex, 0);
  EXPECT_EQ(m.meshEnabled, 1);
  const int32_t rect[4] = {0, 0, 640, 360};
  EXPECT_EQ(std::memcmp(m.uvRect, rect, sizeof rect), 0);
  EXPECT_EQ(m.capFillFailed, 0);
  // C = 2, one row gap: (0, 1, 4), (0, 4, 3), (1, 2, 5), (1, 5, 4) over a 640 × 360 sheet.
  EXPECT_TRUE(at(m.triangles[0].vertexA, 0, 0, 0));
  EXPECT_TRUE(at(m.triangles[0].vertexB, 320, 0, 0));
  EXPECT_TRUE(at(m.triangles[0].vertexC, 320, 360, 0));
  EXPECT_TRUE(at(m.triangles[1].vertexC, 0, 360, 0));
  EXPECT_TRUE(at(m.triangles[2].vertexA, 320, 0, 0));
  EXPECT_TRUE(at(m.triangles[2].vertexB, 640, 0, 0));
  EXPECT_TRUE(at(m.triangles[3].vertexB, 640, 360, 0));
  EXPECT_TRUE(at(m.triangles[3].vertexC, 320, 360, 0));
  for (int t = 0; t < 4; ++t) {
    EXPECT_TRUE(at(m.triangles[t].faceNormal, 0, 0, 1)) << t;
    EXPECT_TRUE(at(m.triangles[t].normalA, 0, 0, 1)) << t;
  }
  EXPECT_EQ(byValue(m.triangles[3].uvB.x), 1.0);
  EXPECT_EQ(byValue(m.triangles[3].uvB.y), 1.0);
  EXPECT_EQ(byValue(m.triangles[0].uvB.x), 0.5);
}

TEST_F(Render, withoutAFrameTheSameRecordIsSentAndTheOutputKeepsItsPixels) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  ASSERT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  std::optional<tb::World> output = tb::World::blank(640, 360);
  output->at(3, 4) = {9, 8, 7, 6};
  EXPECT_EQ(renderWithoutFrame(effect(0), *output), PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 2u);
  EXPECT_EQ(host_.engineRecords()[0].bytes, host_.engineRecords()[1].bytes);
  const PF_Pixel marked = {9, 8, 7, 6};
  EXPECT_EQ(std::memcmp(&output->at(3, 4), &marked, sizeof marked), 0);
  EXPECT_EQ(output->at(0, 0).red, 0);
}

TEST_F(Render, aDeletedPathLightEndsTheRenderWithoutSendingOrCopying) {
  build(card(std::string(R"([{"match": "ZEK TOLV_Mask", "params": {"54": 1, "56": 9999}}, )") +
             kEngine + "]"));
  std::optional<tb::World> output;
  const tb::CommandResult r = renderEffect(effect(0), &output, {1, 2, 3, 4});
  EXPECT_EQ(r.err, PF_Err_NONE);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(allPixels(*output, {1, 2, 3, 4}));
}

TEST_F(Render, cancellingAtTheProgressReportReturnsTheCancelAfterTheMeshWasSent) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  const int polls = renderEffect(effect(0)).report.polls;
  host_.clearEngineRecords();
  tb::FaultPlan plan;
  plan.cancelPoll = polls - 1;  // the last poll is PF_PROGRESS
  host_.ledger().arm(plan);
  std::optional<tb::World> output;
  const tb::CommandResult r = renderEffect(effect(0), &output);
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
  EXPECT_TRUE(r.report.clean());
  EXPECT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_TRUE(samePixels(*output, *layer().pixels));
}

TEST_F(Render, cancellingAtAnAbortPollStopsBeforeAnythingIsSentOrCopied) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  const int polls = renderEffect(effect(0)).report.polls;
  ASSERT_GE(polls, 2);
  host_.clearEngineRecords();
  tb::FaultPlan plan;
  plan.cancelPoll = 0;  // the abort poll after the own effect is found
  host_.ledger().arm(plan);
  std::optional<tb::World> output;
  const tb::CommandResult r = renderEffect(effect(0), &output, {1, 2, 3, 4});
  host_.ledger().disarm();
  EXPECT_EQ(r.err, PF_Interrupt_CANCEL);
  EXPECT_TRUE(r.report.clean());
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(allPixels(*output, {1, 2, 3, 4}));
}

TEST_F(Render, withoutAReceiverTheSlotIsNotWrittenAndNothingIsSent) {
  build(card(std::string("[") + kFlatMask + "]"));
  const std::vector<unsigned char> before = slotBytes(effect(0));
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  EXPECT_EQ(slotBytes(effect(0)), before);
  EXPECT_TRUE(host_.engineRecords().empty());
}

TEST_F(Render, twoMaskEffectsAboveADistortFillSlotsZeroAndOne) {
  build(card(std::string("[") + kFlatMask + ", " + kFlatMask + ", " + kDistort + ", " + kEngine +
             "]"));
  renderAll();
  EXPECT_EQ(slotOf(effect(0)).slotIndex, 0);
  EXPECT_EQ(slotOf(effect(1)).slotIndex, 1);
  const auto& store = *static_cast<const MeshStore*>(*effect(2).sequenceData);
  EXPECT_EQ(store.slots[0].slotIndex, 0);
  EXPECT_EQ(store.slots[1].slotIndex, 1);
  EXPECT_EQ(store.slots[0].triangleCount, 4);
  EXPECT_EQ(store.slots[1].triangleCount, 4);
}

TEST_F(Render, aMaskEffectBelowADistortSendsToTheEngineBelowIt) {
  build(card(std::string("[") + kDistort + ", " + kFlatMask + ", " + kEngine + "]"));
  EXPECT_EQ(renderEffect(effect(1)).err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(host_.engineRecords()[0].effect, &effect(2));
  EXPECT_EQ(record(0).slotIndex, 0);
  const auto& store = *static_cast<const MeshStore*>(*effect(0).sequenceData);
  EXPECT_EQ(store.slots[0].slotIndex, -1);
}

TEST_F(Render, alphaFiftyGivesAnAlphaByteOf127) {
  build(card(R"([{"match": "ZEK TOLV_Mask", "params": {"87": 50, "86": [10, 20, 30, 255]}}, )" +
             std::string(kEngine) + "]"));
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const uint8_t color[4] = {127, 10, 20, 30};
  EXPECT_EQ(std::memcmp(record(0).color, color, sizeof color), 0);
}

TEST_F(Render, aMaskReachingLeftOfTheLayerGrowsTheRectangleAndReExpressesTheCoordinates) {
  build(card(std::string(R"([{"match": "ZEK TOLV_Mask",
                              "params": {"1": 1, "2": 1, "4": "Mask 1", "9": "Mask 2"}}, )") +
                 kEngine + "]",
             "[" + squareMask("Mask 1", -20, 100, 200, 260) + ", " +
                 squareMask("Mask 2", 100, 100, 300, 260) + "]"));
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const MeshSlot& m = record(0);
  const int32_t rect[4] = {-20, 0, 640, 360};
  EXPECT_EQ(std::memcmp(m.uvRect, rect, sizeof rect), 0);
  ASSERT_EQ(m.triangleCount, 8);  // 4 columns, 1 row gap
  EXPECT_EQ(m.triangles[0].vertexA.x, -20.0f);
  EXPECT_EQ(byValue(m.triangles[0].uvA.x), 0.0);
  for (int t = 0; t < m.triangleCount; ++t) {
    const triangle& tr = m.triangles[t];
    EXPECT_EQ(byValue(tr.uvB.x),
              static_cast<double>(static_cast<float>(tr.vertexB.x + 20.0) / 660.0f));
    EXPECT_EQ(byValue(tr.uvB.y), static_cast<double>(static_cast<float>(tr.vertexB.y) / 360.0f));
  }
}

TEST_F(Render, anInheritedGeometryTakesTheSourceLayersSizeAndPlace) {
  build(R"([{"name": "Card", "kind": "solid", "size": [640, 360], "color": [255, 255, 255, 255],
             "effects": [{"match": "ZEK TOLV_Mask",
                          "params": {"1": 1, "2": 1, "85": "Src", "88": 1}},
                         {"match": "ZEK TOLV_Engine"}]},
            {"name": "Src", "kind": "solid", "size": [320, 180], "color": [0, 0, 0, 255],
             "transform": {"anchor": [0, 0, 0], "position": [100, 50, 0],
                           "scale": [100, 100, 100], "rotation": [0, 0, 0]}}])");
  const tb::CommandResult r = renderEffect(effect(0));
  EXPECT_EQ(r.err, PF_Err_NONE);
  // The source is looked up in the composition of the layer the render found at its start; the
  // effect's layer is not asked for again. A flat grid makes no host call of its own.
  const std::vector<std::string> calls = r.report.calls;
  const auto quiet = std::find(calls.begin(), calls.end(), "AEGP_StartQuietErrors");
  const auto found = std::find(quiet, calls.end(), "AEGP_GetLayerFromLayerID");
  ASSERT_NE(found, calls.end());
  std::vector<std::string> lookup;
  std::copy_if(quiet, found + 1, std::back_inserter(lookup),
               [](const std::string& call) { return call != "AcquireSuite"; });
  EXPECT_EQ(lookup, (std::vector<std::string>{
                        "AEGP_StartQuietErrors", "AEGP_GetLayerParentComp",
                        "AEGP_GetNewEffectForEffect", "AEGP_GetNewEffectStreamByIndex",
                        "AEGP_GetNewStreamValue", "AEGP_GetLayerFromLayerID"}));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const MeshSlot& m = record(0);
  ASSERT_EQ(m.triangleCount, 2);
  // The sheet's corners, halved to the source's size and moved to where it stands.
  EXPECT_TRUE(at(m.triangles[0].vertexA, 100, 50, 0));
  EXPECT_TRUE(at(m.triangles[0].vertexB, 420, 50, 0));
  EXPECT_TRUE(at(m.triangles[0].vertexC, 420, 230, 0));
  EXPECT_TRUE(at(m.triangles[1].vertexC, 100, 230, 0));
  EXPECT_TRUE(at(m.triangles[0].normalA, 0, 0, 1));
  // The texture coordinates stay those of the effect's own layer.
  EXPECT_EQ(byValue(m.triangles[0].uvC.x), 1.0);
}

TEST_F(Render, anInheritedGeometryFromALayerNoLongerThereLeavesTheGridAlone) {
  build(R"([{"name": "Card", "kind": "solid", "size": [640, 360], "color": [255, 255, 255, 255],
             "effects": [{"match": "ZEK TOLV_Mask",
                          "params": {"1": 1, "2": 1, "85": "Src", "88": 1}},
                         {"match": "ZEK TOLV_Engine"}]},
            {"name": "Src", "kind": "solid", "size": [320, 180], "color": [0, 0, 0, 255]}])");
  host_.deleteLayer(layer(1));
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_TRUE(at(record(0).triangles[0].vertexB, 640, 0, 0));
}

class Terrain : public MaskRenderTest {
 protected:
  // The flat sheet over a terrain layer of one colour.
  void buildOver(PF_Pixel grey, const std::string& params) {
    build(R"([{"name": "Card", "kind": "solid", "size": [640, 360], "color": [255, 255, 255, 255],
               "effects": [{"match": "ZEK TOLV_Mask",
                            "params": {"1": 2, "2": 1, "71": "Ground", )" +
          params + R"(}}, {"match": "ZEK TOLV_Engine"}]},
              {"name": "Ground", "kind": "solid", "size": [64, 36], "color": [)" +
          std::to_string(grey.red) + ", " + std::to_string(grey.green) + ", " +
          std::to_string(grey.blue) + R"(, 255]}])");
  }
};

TEST_F(Terrain, aGreyPixelInMinusOneToOneLiftsTheSheetSlightly) {
  buildOver({255, 128, 128, 128}, R"("72": 100, "74": 1)");
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const float d = static_cast<float>(100 * (384 / 382.5 - 1));
  const MeshSlot& m = record(0);
  for (int t = 0; t < m.triangleCount; ++t) {
    EXPECT_EQ(m.triangles[t].vertexA.z, d) << t;
    EXPECT_EQ(m.triangles[t].vertexC.z, d) << t;
    EXPECT_TRUE(at(m.triangles[t].normalB, 0, 0, 1)) << t;
  }
}

TEST_F(Terrain, aWhitePixelInZeroToOneLiftsTheSheetByTheWholeDistance) {
  buildOver({255, 255, 255, 255}, R"("72": 100, "74": 2)");
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(record(0).triangles[0].vertexB.z, 100.0f);
  EXPECT_EQ(record(0).triangles[3].vertexC.z, 100.0f);
}

TEST_F(Terrain, meshOffLeavesTheTerrainOut) {
  buildOver({255, 255, 255, 255}, R"("72": 100, "74": 2, "89": 2)");
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(record(0).meshEnabled, 0);
  EXPECT_EQ(record(0).triangles[0].vertexB.z, 0.0f);
}

// Two closed squares listed so that ear clipping succeeds on their rows (five points, the last
// repeating the first): three ear triangles or five fan triangles per cap.
struct FillCase {
  int fill;
  int algorithm;
};

class Fill : public MaskRenderTest, public testing::WithParamInterface<FillCase> {};

TEST_P(Fill, capsFollowTheItemsAndAlgorithms) {
  const FillCase c = GetParam();
  const std::string squareA =
      R"({"name": "A", "points": [[100, 100], [100, 260], [300, 260], [300, 100]]})";
  const std::string squareB =
      R"({"name": "B", "points": [[120, 120], [120, 240], [280, 240], [280, 120]]})";
  build(card(R"([{"match": "ZEK TOLV_Mask", "params": {"1": 1, "2": 1, "4": "A", "9": "B",
                  "10": -50, "83": )" +
                 std::to_string(c.fill) + R"(, "94": )" + std::to_string(c.algorithm) + "}}, " +
                 kEngine + "]",
             "[" + squareA + ", " + squareB + "]"));
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const int caps = c.fill == 1 ? 0 : c.fill == 4 ? 2 : 1;
  const int perCap = c.algorithm == 2 ? 5 : 3;
  const MeshSlot& m = record(0);
  EXPECT_EQ(m.triangleCount, 8 + caps * perCap);
  EXPECT_EQ(m.capFillFailed, 0);
  if (c.fill == 3 || c.fill == 4) {
    // The first cap leads, its triangles reversed: the last one made comes first.
    EXPECT_EQ(m.triangles[0].vertexA.z, 0.0f);
    if (c.algorithm == 2) {
      EXPECT_EQ(m.triangles[perCap - 1].vertexA.x, 100.0f);  // j = 0, the row's first point
      EXPECT_EQ(m.triangles[perCap - 1].vertexA.y, 100.0f);
    }
  }
  if (c.fill == 2 || c.fill == 4) {
    EXPECT_EQ(m.triangles[m.triangleCount - 1].vertexA.z, 50.0f);
  }
}

std::vector<FillCase> fillCases() {
  std::vector<FillCase> cases;
  for (int fill = 1; fill <= 4; ++fill)
    for (int algorithm = 1; algorithm <= 3; ++algorithm)
      cases.push_back({fill, algorithm});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllItems, Fill, testing::ValuesIn(fillCases()));

// A figure eight whose two loops meet in one point, after a plain square.
std::string figureEightLayer(int algorithm) {
  const std::string square =
      R"({"name": "A", "points": [[100, 100], [100, 260], [300, 260], [300, 100]]})";
  const std::string eight =
      R"({"name": "Eight", "points": [[100, 100], [200, 180], [300, 100], [300, 260],
                                      [200, 180], [100, 260]]})";
  return card(R"([{"match": "ZEK TOLV_Mask", "params": {"1": 1, "2": 1, "4": "A", "9": "Eight",
                    "83": 2, "94": )" +
                  std::to_string(algorithm) + R"(}}, {"match": "ZEK TOLV_Engine"}])",
              "[" + square + ", " + eight + "]");
}

TEST_F(MaskRenderTest, aFigureEightWithEarOnlyHasNoCapAndSaysSo) {
  build(figureEightLayer(1));
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(record(0).capFillFailed, 1);
  EXPECT_EQ(record(0).triangleCount, 2 * 6);  // six columns, one row gap, no cap
}

TEST_F(MaskRenderTest, aFigureEightWithEarThenFanGetsAFan) {
  build(figureEightLayer(3));
  renderEffect(effect(0));
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  EXPECT_EQ(record(0).capFillFailed, 0);
  EXPECT_EQ(record(0).triangleCount, 2 * 6 + 7);
  const triangle& last = record(0).triangles[2 * 6 + 6];
  EXPECT_EQ(last.vertexC.x, 200.0f);  // the centre of the box (100 … 300, 100 … 260)
  EXPECT_EQ(last.vertexC.y, 180.0f);
}

TEST_F(MaskRenderTest, aShortGridBuildsAndSendsNothing) {
  // An open mask of one point has no segment: its row comes out empty.
  build(card(R"([{"match": "ZEK TOLV_Mask", "params": {"1": 1, "2": 1, "4": "A", "9": "Dot"}},
                 {"match": "ZEK TOLV_Engine"}])",
             R"([{"name": "A", "points": [[100, 100], [100, 260], [300, 260]]},
                 {"name": "Dot", "closed": false, "points": [[50, 50]]}])"));
  const std::vector<unsigned char> before = slotBytes(effect(0));
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_EQ(slotBytes(effect(0)), before);
}

TEST_F(MaskRenderTest, aSlotOfTheWrongSizeIsNotWrittenAndNothingIsSent) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  ASSERT_EQ(host_.resizeHandle(1000, &effect(0).sequenceData), PF_Err_NONE);
  std::memset(*effect(0).sequenceData, 0x5A, 1000);
  const std::vector<unsigned char> before = slotBytes(effect(0));
  EXPECT_EQ(renderEffect(effect(0)).err, PF_Err_NONE);
  EXPECT_EQ(slotBytes(effect(0)), before);
  EXPECT_TRUE(host_.engineRecords().empty());
}

TEST_F(MaskRenderTest, withoutSequenceDataNothingIsWrittenOrSent) {
  build(card(std::string("[") + kFlatMask + ", " + kEngine + "]"));
  host_.disposeHandle(effect(0).sequenceData);
  effect(0).sequenceData = nullptr;
  std::optional<tb::World> output;
  EXPECT_EQ(renderEffect(effect(0), &output).err, PF_Err_NONE);
  EXPECT_TRUE(host_.engineRecords().empty());
  EXPECT_TRUE(samePixels(*output, *layer().pixels));
}

}  // namespace
}  // namespace masktest

namespace masktest {
namespace {

TEST_F(MaskRenderTest, theCappedTubeExampleRendersATubeWithBothCaps) {
  spec_ = tb::scene::loadScene("examples/capped_tube.json");
  comp_ = &tb::scene::buildScene(host_, spec_);
  renderAll();
  ASSERT_EQ(host_.engineRecords().size(), 1u);
  const MeshSlot& m = record(0);
  // 4 segments × "X subdivide" 8 = 32 columns; 3 masks, "Y subdivide" 24: 24 row gaps; ear caps of
  // 33 − 2 triangles at each end.
  EXPECT_EQ(m.triangleCount, 2 * 32 * 24 + 2 * 31);
  EXPECT_EQ(m.capFillFailed, 0);
  EXPECT_EQ(m.slotIndex, 0);
  // The first cap lies at depth 0; the last cap's first corner sits on its ring's horizontal axis,
  // which the ring's X rotation leaves at −400 (the host's depth 400, negated).
  EXPECT_EQ(m.triangles[0].vertexA.z, 0.0f);
  EXPECT_NEAR(m.triangles[m.triangleCount - 1].vertexA.z, -400.0f, 1e-3);
}

}  // namespace
}  // namespace masktest
