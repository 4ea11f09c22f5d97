// Masks strung along the motion path of a light layer.
#include <cmath>

#include "tests/render/RenderFixture.h"

namespace {

using rtest::GridRun;
using rtest::rectangle;

class PathLightTest : public rtest::RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    // 10 s counted in hundredths of a frame, so that the masks' places are whole ticks.
    comp_->duration = {25000, 2500};
    light_ = &host_.createLight(*comp_, "Morvane 1' path", {10, 20});
    // Along +x only: from (10, 20, 30) at 0 s to (110, 20, 30) at 10 s.
    light_->transform.position = {10, 20, 30};
    light_->transform.positionKeys = {{10.0, {110, 20, 30}}};
    for (int i = 0; i < 3; ++i) {
      const PF_PathID id =
          host_.addMask(*layer_, "M" + std::to_string(i), rectangle(10, 10, 70 - 10 * i, 50));
      useMask(i + 1, id, 500);  // the light's depth replaces this
    }
    param(MASK_CREATE_LIGHT).u.bd.value = 1;
    param(MASK_SWEEP_INDEX).u.sd.value = light_->id;
    setSubdivide(2, 2);
  }
  // The light's translation row at a time in ticks of 1/2500 s.
  A_FloatPoint3 lightAt(A_long ticks) const {
    const A_Matrix4 m = host_.layerToWorld(*light_, static_cast<double>(ticks) / 2500);
    return {m.mat[3][0], m.mat[3][1], m.mat[3][2]};
  }

  tb::Layer* light_ = nullptr;
};

TEST_F(PathLightTest, threeMasksSitAtTheStartTheMiddleAndTheEndOfThePathSpan) {
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  // 10 s at 25 fps less one frame: 249 frames of 100 ticks.
  ASSERT_EQ(run.context.pathSpan.value, 24900);
  const mask::RenderState& s = run.state;
  ASSERT_EQ(s.maskCount, 3);
  const A_long ticks[] = {0, 12450, 24900};
  const mask::MaskRow* rows[] = {&s.firstRow, nullptr, &s.lastRow};
  // The middle mask's row opens the second gap of the grid: row 1 of 2 at rowsPerGap 1.
  for (int i = 0; i < 3; ++i) {
    const A_FloatPoint3 p = lightAt(ticks[i]);
    const point3 got = rows[i] ? rows[i]->points[0] : s.vertices[1 * 9];
    // The top-left corner (10, 10), moved from the layer centre to the light.
    const double mx = -50.0 + static_cast<float>(p.x);
    const double my = -40.0 + static_cast<float>(p.y);
    EXPECT_EQ(got.x, static_cast<float>(10.0 + mx)) << i;
    EXPECT_EQ(got.y, static_cast<float>(10.0 + my)) << i;
    EXPECT_EQ(got.z, -static_cast<float>(p.z)) << i;
  }
  EXPECT_DOUBLE_EQ(lightAt(12450).x, 10 + 100 * 0.498);
}

TEST_F(PathLightTest, aDurationAtAnotherScaleGivesTheSamePlacesOnThePath) {
  // 10 s counted at scale 600: the span is 6000 less a frame of 24 ticks, and the masks sit at
  // 0, 2988 and 5976 ticks of 1/600 s, the same moments as 0, 12450 and 24900 of 1/2500 s.
  comp_->duration = {6000, 600};
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_EQ(run.context.pathSpan.value, 5976);
  EXPECT_EQ(run.context.pathSpan.scale, 600u);
  const A_FloatPoint3 middle = lightAt(12450), end = lightAt(24900);
  EXPECT_EQ(run.state.vertices[9].x,
            static_cast<float>(10.0 + (-50.0 + static_cast<float>(middle.x))));
  EXPECT_EQ(run.state.lastRow.points[0].x,
            static_cast<float>(10.0 + (-50.0 + static_cast<float>(end.x))));
}

TEST_F(PathLightTest, orientOnPathAlongPlusXTurnsEveryMaskAQuarterAboutY) {
  param(MASK_ORIENT_ON_PATH).u.bd.value = 1;
  const GridRun run = buildGrid();
  ASSERT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  // Yaw −π/2: (x, y, z) about the layer centre goes to (−z, y, x) before moving to the light.
  const A_FloatPoint3 start = lightAt(0), end = lightAt(24900);
  for (size_t c = 0; c < 9; ++c) {
    const point3 first = run.state.firstRow.points[c];
    const point3 last = run.state.lastRow.points[c];
    EXPECT_NEAR(first.x, start.x, 1e-4) << c;
    EXPECT_NEAR(last.x, end.x, 1e-4) << c;
  }
  const point3 corner = run.state.firstRow.points[2];  // (70, 10)
  EXPECT_NEAR(corner.z, (70 - 50) - start.z, 1e-4);
  EXPECT_NEAR(corner.y, (10 - 40) + start.y, 1e-4);
}

TEST_F(PathLightTest, withTheCheckboxOffThereIsNoLightWhateverTheSweepIndex) {
  param(MASK_CREATE_LIGHT).u.bd.value = 0;
  const GridRun run = buildGrid();
  ASSERT_TRUE(run.continued);
  for (const std::string& call : run.report.calls) {
    EXPECT_NE(call, "AEGP_GetLayerFromLayerID");
    EXPECT_NE(call, "AEGP_GetLayerToWorldXform");
  }
  EXPECT_EQ(run.state.firstRow.points[0].z, -500.0f);
}

TEST_F(PathLightTest, aLightThatIsGoneEndsTheRenderBeforeAnyMaskIsRead) {
  host_.deleteLayer(*light_);
  const GridRun run = buildGrid();
  EXPECT_FALSE(run.continued);
  EXPECT_EQ(run.err, PF_Err_NONE);
  EXPECT_TRUE(run.report.clean());
  EXPECT_EQ(run.report.calls.back(), "AEGP_GetLayerFromLayerID");
}

}  // namespace
