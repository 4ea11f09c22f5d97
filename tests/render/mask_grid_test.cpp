// The grid built from masks checked out of the testbed: flat, straight and cubic, with the masks
// selected, placed and sampled as the render does it.
#include <cmath>

#include "TOLV_Mask/math/interpolate.h"
#include "tests/render/RenderFixture.h"

namespace {

using rtest::GridRun;
using rtest::rectangle;

struct Corners {
  double x0, y0, x1, y1;
};

// The row a rectangle gives at C = 8 (two samples per side, one more at the end): corners and
// midpoints from its top-left corner round and back.
std::vector<A_FloatPoint> rectangleRow(const Corners& r) {
  const double mx = (r.x0 + r.x1) / 2, my = (r.y0 + r.y1) / 2;
  return {{r.x0, r.y0}, {mx, r.y0},   {r.x1, r.y0}, {r.x1, my},  {r.x1, r.y1},
          {mx, r.y1},   {r.x0, r.y1}, {r.x0, my},   {r.x0, r.y0}};
}

class MaskGridTest : public rtest::RenderTest {
 protected:
  // Masks with the given corners, selected in order with depths 0, 100, 200, …
  void addMasks(const std::vector<Corners>& masks) {
    masks_ = masks;
    for (size_t i = 0; i < masks.size(); ++i) {
      const Corners& c = masks[i];
      const PF_PathID id =
          host_.addMask(*layer_, "M" + std::to_string(i), rectangle(c.x0, c.y0, c.x1, c.y1));
      useMask(static_cast<int>(i) + 1, id, 100.0 * static_cast<double>(i));
    }
  }
  // Mask i's own row, unplaced: the layer centre stays, the depth is −Z.
  std::vector<point3> ownPoints(size_t i) const {
    std::vector<point3> row;
    for (const A_FloatPoint& p : rectangleRow(masks_[i]))
      row.push_back({static_cast<float>(p.x), static_cast<float>(p.y), -100.0f * i});
    return row;
  }
  std::vector<A_FloatPoint> ownTexture(size_t i) const {
    std::vector<A_FloatPoint> row;
    for (const A_FloatPoint& p : rectangleRow(masks_[i]))
      row.push_back({p.x / 100.0, p.y / 80.0});
    return row;
  }
  static A_FloatPoint narrowed(const A_FloatPoint& uv) {
    return {static_cast<float>(uv.x), static_cast<float>(uv.y)};
  }

  std::vector<Corners> masks_;
};

void expectSame(const point3& a, const point3& b, const std::string& where) {
  EXPECT_EQ(a.x, b.x) << where;
  EXPECT_EQ(a.y, b.y) << where;
  EXPECT_EQ(a.z, b.z) << where;
}

TEST_F(MaskGridTest, oneSelectedMaskGivesTheFlatGrid) {
  addMasks({{10, 10, 70, 50}});
  setSubdivide(3, 2);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  EXPECT_EQ(run.state.maskCount, 1);
  EXPECT_EQ(run.state.maxSegments, 4);
  EXPECT_EQ(run.state.columns, 3);
  EXPECT_EQ(run.state.rows, 2);
  ASSERT_EQ(run.state.vertices.size(), 12u);
  ASSERT_EQ(run.state.texture.size(), 12u);
  EXPECT_EQ(run.state.vertices[5].x, 1.0f / 3.0f * 100.0f);
  EXPECT_EQ(run.state.vertices[5].y, 40.0f);
  EXPECT_EQ(run.state.vertices.back().x, 100.0f);
  EXPECT_EQ(run.state.texture.back().y, 1.0);
  EXPECT_TRUE(run.state.firstRow.points.empty());
  EXPECT_TRUE(run.state.lastRow.points.empty());
  EXPECT_EQ(run.state.uvRect.right, 100);
  EXPECT_EQ(run.state.uvRect.bottom, 80);
}

TEST_F(MaskGridTest, threeMasksAtYSubdivide10GiveElevenRowsOfStraightBlends) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}});
  setSubdivide(2, 10);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  const mask::RenderState& s = run.state;
  EXPECT_EQ(s.maskCount, 3);
  EXPECT_EQ(s.columns, 8);
  EXPECT_EQ(s.rows, 10);
  ASSERT_EQ(s.vertices.size(), 11u * 9u);
  ASSERT_EQ(s.texture.size(), s.vertices.size());
  for (int r = 0; r <= 10; ++r) {
    const size_t gap = r < 5 ? 0 : 1;
    const float t = static_cast<float>(r - 5 * static_cast<int>(gap)) / 5.0f;
    const std::vector<point3> a = ownPoints(gap), b = ownPoints(gap + 1);
    const std::vector<A_FloatPoint> ta = ownTexture(gap), tb = ownTexture(gap + 1);
    for (size_t c = 0; c < 9; ++c) {
      const size_t i = static_cast<size_t>(r) * 9 + c;
      const point3 expected = {Interpolate(a[c].x, b[c].x, t, 0), Interpolate(a[c].y, b[c].y, t, 0),
                               Interpolate(a[c].z, b[c].z, t, 0)};
      const std::string where = "row " + std::to_string(r) + " column " + std::to_string(c);
      expectSame(s.vertices[i], expected, where);
      EXPECT_EQ(s.texture[i].x,
                Interpolate(static_cast<float>(ta[c].x), static_cast<float>(tb[c].x), t, 0))
          << where;
      EXPECT_EQ(s.texture[i].y,
                Interpolate(static_cast<float>(ta[c].y), static_cast<float>(tb[c].y), t, 0))
          << where;
    }
  }
  // The first and last rows are the masks' own, texture coordinates in double.
  ASSERT_EQ(s.firstRow.points.size(), 9u);
  ASSERT_EQ(s.lastRow.points.size(), 9u);
  for (size_t c = 0; c < 9; ++c) {
    expectSame(s.firstRow.points[c], ownPoints(0)[c], "first row");
    expectSame(s.lastRow.points[c], ownPoints(2)[c], "last row");
    EXPECT_EQ(s.lastRow.uvs[c].y, ownTexture(2)[c].y);
  }
  EXPECT_EQ(s.uvRect.left, 0);
  EXPECT_EQ(s.uvRect.top, 0);
  EXPECT_EQ(s.uvRect.right, 100);
  EXPECT_EQ(s.uvRect.bottom, 80);
}

TEST_F(MaskGridTest, fourMasksCubicBendThePositionsThroughPhantomEnds) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}, {4, 4, 96, 76}});
  setSubdivide(2, 6);
  param(MASK_CUBIC).u.bd.value = 1;
  param(MASK_TENSION).u.fs_d.value = 30;
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  const mask::RenderState& s = run.state;
  EXPECT_EQ(s.columns, 8);
  EXPECT_EQ(s.rows, 6);
  ASSERT_EQ(s.vertices.size(), 7u * 9u);
  ASSERT_EQ(s.texture.size(), s.vertices.size());
  const float tension = static_cast<float>(30.0 * 0.01f);
  std::vector<std::vector<point3>> own;
  for (size_t m = 0; m < 4; ++m)
    own.push_back(ownPoints(m));
  auto at = [&](int m, size_t c) -> point3 {
    if (m < 0)
      return {2 * own[0][c].x - own[1][c].x, 2 * own[0][c].y - own[1][c].y,
              2 * own[0][c].z - own[1][c].z};
    if (m > 3)
      return {2 * own[3][c].x - own[2][c].x, 2 * own[3][c].y - own[2][c].y,
              2 * own[3][c].z - own[2][c].z};
    return own[static_cast<size_t>(m)][c];
  };
  for (int gap = 0; gap < 3; ++gap) {
    for (int r = 0; r < 2; ++r) {
      const float t = static_cast<float>(r) / 2.0f;
      for (size_t c = 0; c < 9; ++c) {
        const point3 p0 = at(gap - 1, c), p1 = at(gap, c), p2 = at(gap + 1, c), p3 = at(gap + 2, c);
        const point3 expected = {HermiteInterpolate(p0.x, p1.x, p2.x, p3.x, t, tension),
                                 HermiteInterpolate(p0.y, p1.y, p2.y, p3.y, t, tension),
                                 HermiteInterpolate(p0.z, p1.z, p2.z, p3.z, t, tension)};
        const size_t i = static_cast<size_t>(gap * 2 + r) * 9 + c;
        expectSame(s.vertices[i], expected,
                   "gap " + std::to_string(gap) + " row " + std::to_string(r) + " column " +
                       std::to_string(c));
        // The texture is blended straight between the two masks of the gap.
        const A_FloatPoint ua = narrowed(ownTexture(gap)[c]);
        const A_FloatPoint ub = narrowed(ownTexture(gap + 1)[c]);
        EXPECT_EQ(s.texture[i].x,
                  Interpolate(static_cast<float>(ua.x), static_cast<float>(ub.x), t, 0));
      }
    }
  }
  for (size_t c = 0; c < 9; ++c) {
    expectSame(s.vertices[6 * 9 + c], own[3][c], "last row");
    EXPECT_EQ(s.texture[6 * 9 + c].y, static_cast<float>(ownTexture(3)[c].y));
    // The rows kept for the caps are the masks' own, whatever the bending.
    expectSame(s.firstRow.points[c], own[0][c], "first row kept");
    expectSame(s.lastRow.points[c], own[3][c], "last row kept");
  }
  EXPECT_EQ(s.uvRect.left, 0);
  EXPECT_EQ(s.uvRect.top, 0);
  EXPECT_EQ(s.uvRect.right, 100);
  EXPECT_EQ(s.uvRect.bottom, 80);
}

TEST_F(MaskGridTest, fiveMasksCubicAtYSubdivide2HaveFourRowGaps) {
  addMasks(
      {{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}, {4, 4, 96, 76}, {40, 30, 60, 50}});
  setSubdivide(1, 2);
  param(MASK_CUBIC).u.bd.value = 1;
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_EQ(run.state.rows, 4);
  EXPECT_EQ(run.state.columns, 4);
  EXPECT_EQ(run.state.vertices.size(), 5u * 5u);
}

TEST_F(MaskGridTest, threeMasksWithCubicCheckedFollowTheStraightRule) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}});
  setSubdivide(2, 10);
  param(MASK_CUBIC).u.bd.value = 1;
  const GridRun run = buildGrid();
  EXPECT_EQ(run.state.rows, 10);
  ASSERT_EQ(run.state.vertices.size(), 11u * 9u);
  const point3 mid = run.state.vertices[5 * 9];  // mask 1's own row starts the second gap
  expectSame(mid, ownPoints(1)[0], "second mask");
}

TEST_F(MaskGridTest, theWalkStopsAtTheFirstEmptyMaskParameter) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}});
  useMask(2, 0);
  const GridRun run = buildGrid();
  EXPECT_EQ(run.state.maskCount, 1);
  EXPECT_EQ(run.state.maskPathId[0], static_cast<A_u_long>(layer_->masks[0].id));
  EXPECT_EQ(run.state.rows, 10);  // the flat grid
}

TEST_F(MaskGridTest, aDeletedMaskShiftsTheDepthAndRotationGroups) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}});
  param(MaskRotationZParam(1)).u.ad.value = 0;
  param(MaskRotationZParam(3)).u.ad.value = 90 << 16;  // would turn the third row, were it used
  layer_->masks.erase(layer_->masks.begin());
  setSubdivide(2, 2);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  const mask::RenderState& s = run.state;
  ASSERT_EQ(s.maskCount, 2);
  EXPECT_EQ(s.maskPathId[0], static_cast<A_u_long>(layer_->masks[0].id));
  EXPECT_EQ(s.maskPathId[1], static_cast<A_u_long>(layer_->masks[1].id));
  // The masks of rows 2 and 3 take the depths and rotations of groups 1 and 2.
  ASSERT_EQ(s.firstRow.points.size(), 9u);
  ASSERT_EQ(s.lastRow.points.size(), 9u);
  for (size_t c = 0; c < 9; ++c) {
    const point3 first = ownPoints(1)[c], last = ownPoints(2)[c];
    expectSame(s.firstRow.points[c], {first.x, first.y, -0.0f}, "first");
    expectSame(s.lastRow.points[c], {last.x, last.y, -100.0f}, "last");
  }
}

TEST_F(MaskGridTest, aMaskWithoutSegmentsLeavesTheGridShort) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}, {30, 16, 50, 44}});
  tb::Outline dot;
  dot.shape.closed = false;
  dot.shape.vertices = {{{5, 5}, {0, 0}, {0, 0}}};
  layer_->masks[1].outline = dot;
  setSubdivide(2, 4);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  EXPECT_EQ(run.state.maskCount, 3);
  EXPECT_EQ(run.state.rows, 4);
  EXPECT_LT(run.state.vertices.size(), 9u * 5u);
  EXPECT_EQ(run.state.vertices.size(), run.state.texture.size());
}

TEST_F(MaskGridTest, aMaskShapeAtZeroTimeGivesTheTextureOfTheUnanimatedOutline) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}});
  // The first mask moves 20 pixels right by 1 s; at 1 s its positions follow, its texture not.
  tb::OutlineKey key;
  key.time = 1.0;
  key.shape = rectangle(30, 10, 90, 50).shape;
  layer_->masks[0].outline.keys.push_back(key);
  setTime(static_cast<A_long>(comp_->timeScale));
  setSubdivide(2, 1);
  GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  ASSERT_EQ(run.state.firstRow.points.size(), 9u);
  for (size_t c = 0; c < 9; ++c) {
    EXPECT_EQ(run.state.firstRow.points[c].x, ownPoints(0)[c].x + 20.0f) << c;
    EXPECT_EQ(run.state.firstRow.uvs[c].x, ownTexture(0)[c].x) << c;
  }
  // "Mask shape at current time": the texture follows the shape.
  param(MASK_REFERENCE_SAMPLING).u.pd.value = 2;
  run = buildGrid();
  for (size_t c = 0; c < 9; ++c)
    EXPECT_EQ(run.state.firstRow.uvs[c].x, (rectangleRow(masks_[0])[c].x + 20.0) / 100.0) << c;
}

TEST_F(MaskGridTest, aReferenceMaskSuppliesTheTextureAndALostOneNone) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}});
  const PF_PathID ref = host_.addMask(*layer_, "Ref", rectangle(-20, 0, 40, 60));
  param(MASK_REFERENCE_SAMPLING).u.pd.value = 3;
  param(ReferenceMaskParam(1)).u.path_d.path_id = ref;
  param(ReferenceMaskParam(2)).u.path_d.path_id = 999;  // no such mask
  setSubdivide(2, 1);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_EQ(run.state.referencePathId[0], static_cast<A_u_long>(ref));
  EXPECT_EQ(run.state.referencePathId[1], mask::kNoPath);
  const std::vector<A_FloatPoint> refRow = rectangleRow({-20, 0, 40, 60});
  for (size_t c = 0; c < 9; ++c) {
    EXPECT_EQ(run.state.firstRow.uvs[c].x, refRow[c].x / 100.0) << c;
    EXPECT_EQ(run.state.firstRow.points[c].x, ownPoints(0)[c].x) << c;
    EXPECT_EQ(run.state.lastRow.uvs[c].x, ownTexture(1)[c].x) << c;
  }
  // The reference lies partly left of the layer: the rectangle takes it in.
  EXPECT_EQ(run.state.uvRect.left, -20);
}

TEST_F(MaskGridTest, referenceMaskModeWithEmptyReferenceParametersSamplesTheMasksOwnShape) {
  addMasks({{10, 10, 70, 50}, {20, 20, 60, 40}});
  param(MASK_REFERENCE_SAMPLING).u.pd.value = 3;
  setSubdivide(2, 1);
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_EQ(run.state.referencePathId[0], mask::kNoPath);
  EXPECT_EQ(run.state.referencePathId[1], mask::kNoPath);
  ASSERT_EQ(run.state.firstRow.uvs.size(), 9u);
  for (size_t c = 0; c < 9; ++c)
    EXPECT_EQ(run.state.firstRow.uvs[c].y, ownTexture(0)[c].y) << c;
  // Two check-outs per mask: the masks are counted, then sampled without a reference.
  int checkouts = 0;
  for (const std::string& call : run.report.calls)
    checkouts += call == "PF_CheckoutPath";
  EXPECT_EQ(checkouts, 4);
}

TEST_F(MaskGridTest, thePathSpanIsTheDurationLessOneFrameAtAnotherScale) {
  // 10 s counted at scale 600; frames of 1/25 s at the composition's scale.
  comp_->duration = {6000, 600};
  const GridRun run = buildGrid();
  const A_Time frame = {1, comp_->timeScale};  // a whole rate counts frames
  EXPECT_EQ(run.context.pathSpan.value,
            6000 - frame.value * 600 / static_cast<A_long>(frame.scale));
  EXPECT_EQ(run.context.pathSpan.scale, 600u);
  EXPECT_EQ(run.context.numMasks, 0);
}

}  // namespace
