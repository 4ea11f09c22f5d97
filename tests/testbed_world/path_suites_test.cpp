// Mask outlines through the Layer Mask, PF Path Query and PF Path Data suites, as the mask
// pipeline reads them.
#include "tests/testbed_world/WorldFixture.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class PathSuitesTest : public twtest::WorldTest {
 protected:
  PF_PathOutlinePtr checkout(PF_PathID id, double seconds) {
    PF_PathOutlinePtr path = nullptr;
    const A_long t = static_cast<A_long>(std::lround(seconds * 1000));
    EXPECT_EQ(query().PF_CheckoutPath(ref(), id, t, 40, 1000, &path), PF_Err_NONE);
    return path;
  }
  void checkin(PF_PathID id, PF_PathOutlinePtr path) {
    EXPECT_EQ(query().PF_CheckinPath(ref(), id, false, path), PF_Err_NONE);
  }
  double length(PF_PathOutlinePtr path, A_long seg, A_long frequency) {
    PF_PathSegPrepPtr prep = nullptr;
    EXPECT_EQ(data().PF_PathPrepareSegLength(ref(), path, seg, frequency, &prep), PF_Err_NONE);
    double len = -1;
    EXPECT_EQ(data().PF_PathGetSegLength(ref(), path, seg, &prep, &len), PF_Err_NONE);
    EXPECT_EQ(data().PF_PathCleanupSegLength(ref(), path, seg, &prep), PF_Err_NONE);
    EXPECT_EQ(prep, nullptr);
    return len;
  }
  A_FloatPoint pointAt(PF_PathOutlinePtr path, A_long seg, double distance) {
    PF_PathSegPrepPtr prep = nullptr;
    EXPECT_EQ(data().PF_PathPrepareSegLength(ref(), path, seg, 100, &prep), PF_Err_NONE);
    A_FloatPoint p{-1, -1};
    EXPECT_EQ(data().PF_PathEvalSegLength(ref(), path, &prep, seg, distance, &p.x, &p.y),
              PF_Err_NONE);
    EXPECT_EQ(data().PF_PathCleanupSegLength(ref(), path, seg, &prep), PF_Err_NONE);
    return p;
  }
};

TEST_F(PathSuitesTest, circleLengthIsTwoPiRWithinATenthOfAPercentAtFrequency100) {
  const PF_PathID id = host_.addMask(*layer_, "Round", twtest::circle(50, 40, 30));
  PF_PathOutlinePtr path = checkout(id, 0);
  A_long segments = 0;
  ASSERT_EQ(data().PF_PathNumSegments(ref(), path, &segments), PF_Err_NONE);
  ASSERT_EQ(segments, 4);
  double total = 0;
  for (A_long s = 0; s < segments; ++s)
    total += length(path, s, 100);
  checkin(id, path);
  EXPECT_NEAR(total / (2 * kPi * 30), 1.0, 0.001);
}

TEST_F(PathSuitesTest, straightSegmentIsExactAndItsHalfwayPointIsTheMidpoint) {
  const PF_PathID id =
      host_.addMask(*layer_, "Line", twtest::polyline({{10, 20}, {40, 60}}, false));
  PF_PathOutlinePtr path = checkout(id, 0);
  EXPECT_EQ(length(path, 0, 1), 50.0);
  const A_FloatPoint half = pointAt(path, 0, 25.0);
  EXPECT_EQ(half.x, 25.0);
  EXPECT_EQ(half.y, 40.0);
  checkin(id, path);
}

TEST_F(PathSuitesTest, closedShapesHaveOneSegmentPerVertexAndOpenOnesOneFewer) {
  const auto square = std::vector<A_FloatPoint>{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const PF_PathID closed = host_.addMask(*layer_, "Closed", twtest::polyline(square, true));
  const PF_PathID open = host_.addMask(*layer_, "Open", twtest::polyline(square, false));
  for (auto [id, expected, isOpen] : {std::tuple{closed, 4, 0}, std::tuple{open, 3, 1}}) {
    PF_PathOutlinePtr path = checkout(id, 0);
    A_long n = 0;
    PF_Boolean o = 9;
    EXPECT_EQ(data().PF_PathNumSegments(ref(), path, &n), PF_Err_NONE);
    EXPECT_EQ(data().PF_PathIsOpen(ref(), path, &o), PF_Err_NONE);
    EXPECT_EQ(n, expected);
    EXPECT_EQ(o, isOpen);
    checkin(id, path);
  }
}

TEST_F(PathSuitesTest, masksAreFoundByIndexWithTheirPathIds) {
  const PF_PathID a = host_.addMask(*layer_, "A", twtest::polyline({{0, 0}, {1, 1}}, false));
  const PF_PathID b = host_.addMask(*layer_, "B", twtest::polyline({{0, 0}, {1, 1}}, false));
  const auto& masks = suite<AEGP_MaskSuite6>(kAEGPMaskSuite, 6);
  A_long count = 0;
  ASSERT_EQ(masks.AEGP_GetLayerNumMasks(layerH(layer_), &count), A_Err_NONE);
  EXPECT_EQ(count, 2);
  PF_PathID ids[2] = {0, 0};
  for (A_long j = 0; j < 2; ++j) {
    AEGP_MaskRefH mask = nullptr;
    ASSERT_EQ(masks.AEGP_GetLayerMaskByIndex(layerH(layer_), j, &mask), A_Err_NONE);
    EXPECT_EQ(query().PF_PathInfo(ref(), j, &ids[j]), PF_Err_NONE);
    EXPECT_EQ(masks.AEGP_DisposeMask(mask), A_Err_NONE);
  }
  EXPECT_NE(a, b);
  EXPECT_EQ(ids[0], a);
  EXPECT_EQ(ids[1], b);
  AEGP_MaskRefH none = nullptr;
  EXPECT_EQ(masks.AEGP_GetLayerMaskByIndex(layerH(layer_), 2, &none), A_Err_PARAMETER);
  EXPECT_EQ(masks.AEGP_DisposeMask(none), A_Err_PARAMETER);
  host_.ledger().clearViolations();
}

TEST_F(PathSuitesTest, keyedOutlineIsBlendedLinearlyBetweenKeys) {
  tb::Outline o = twtest::polyline({{0, 0}, {10, 0}}, false);
  o.keys.push_back({2.0, twtest::polyline({{20, 40}, {30, 0}}, false).shape});
  const PF_PathID id = host_.addMask(*layer_, "Moving", o);
  PF_PathOutlinePtr path = checkout(id, 0.5);
  const A_FloatPoint start = pointAt(path, 0, 0.0);
  checkin(id, path);
  EXPECT_EQ(start.x, 5.0);
  EXPECT_EQ(start.y, 10.0);
  path = checkout(id, 3.0);  // after the last key its shape holds
  const A_FloatPoint held = pointAt(path, 0, 0.0);
  checkin(id, path);
  EXPECT_EQ(held.x, 20.0);
  EXPECT_EQ(held.y, 40.0);
}

TEST_F(PathSuitesTest, badPathsAndSegmentsAreRefusedNotFollowed) {
  PF_PathOutlinePtr path = nullptr;
  EXPECT_EQ(query().PF_CheckoutPath(ref(), 999, 0, 100, 2500, &path), PF_Err_BAD_CALLBACK_PARAM);
  const PF_PathID id = host_.addMask(*layer_, "Line", twtest::polyline({{0, 0}, {3, 4}}, false));
  path = checkout(id, 0);
  PF_PathSegPrepPtr prep = nullptr;
  EXPECT_EQ(data().PF_PathPrepareSegLength(ref(), path, 1, 100, &prep), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(data().PF_PathPrepareSegLength(ref(), path, -1, 100, &prep), PF_Err_BAD_CALLBACK_PARAM);
  A_long n = 0;
  EXPECT_EQ(data().PF_PathNumSegments(ref(), reinterpret_cast<PF_PathOutlinePtr>(layer_), &n),
            PF_Err_BAD_CALLBACK_PARAM);
  checkin(id, path);
  EXPECT_EQ(data().PF_PathNumSegments(ref(), path, &n), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(query().PF_CheckinPath(ref(), id, false, path), PF_Err_BAD_CALLBACK_PARAM);
  host_.ledger().clearViolations();
}

}  // namespace
