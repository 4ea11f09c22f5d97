#include "testbed/world/Transform.h"

#include <gtest/gtest.h>

namespace tb {
namespace {

void expectPoint(A_FloatPoint3 p, double x, double y, double z) {
  EXPECT_EQ(p.x, x);
  EXPECT_EQ(p.y, y);
  EXPECT_EQ(p.z, z);
}

TEST(Transform, anchorAndPositionTranslate) {
  Transform t;
  t.anchor = {320, 180, 0};
  t.position = {100, 50, 10};
  const A_Matrix4 m = localMatrix(t, 0);
  expectPoint(transformPoint({320, 180, 0}, m), 100, 50, 10);
  EXPECT_EQ(m.mat[3][0], -220.0);
  EXPECT_EQ(m.mat[3][1], -130.0);
  EXPECT_EQ(m.mat[3][2], 10.0);
  EXPECT_EQ(m.mat[0][3], 0.0);
  EXPECT_EQ(m.mat[3][3], 1.0);
}

TEST(Transform, scaleIsPercentAboutTheAnchor) {
  Transform t;
  t.anchor = {10, 10, 0};
  t.position = {10, 10, 0};
  t.scale = {200, 50, 100};
  expectPoint(transformPoint({20, 20, 0}, localMatrix(t, 0)), 30, 15, 0);
}

TEST(Transform, positiveZRotationTurnsXTowardsY) {
  Transform t;
  t.rotation = {0, 0, 90};
  const A_FloatPoint3 p = transformPoint({1, 0, 0}, localMatrix(t, 0));
  EXPECT_NEAR(p.x, 0.0, 1e-15);
  EXPECT_EQ(p.y, 1.0);
}

TEST(Transform, rotationsApplyXThenYThenZ) {
  Transform t;
  t.rotation = {90, 90, 0};
  // x = 90 takes y to z; y = 90 then takes z to x.
  const A_FloatPoint3 p = transformPoint({0, 1, 0}, localMatrix(t, 0));
  EXPECT_NEAR(p.x, 1.0, 1e-15);
  EXPECT_NEAR(p.y, 0.0, 1e-15);
  EXPECT_NEAR(p.z, 0.0, 1e-15);
}

TEST(Transform, keyedPositionIsLinearBetweenKeys) {
  Transform t;
  t.position = {0, 0, 0};
  t.positionKeys = {{2.0, {100, 40, 0}}, {4.0, {100, 40, 80}}};
  expectPoint(positionAt(t, 1.0), 50, 20, 0);
  expectPoint(positionAt(t, 3.0), 100, 40, 40);
  expectPoint(positionAt(t, 8.0), 100, 40, 80);
  expectPoint(positionAt(t, -1.0), 0, 0, 0);
}

TEST(Transform, childThenParentWithKeyedPosition) {
  Transform parent;
  parent.anchor = {50, 50, 0};
  parent.position = {200, 100, 0};
  parent.scale = {200, 200, 100};
  Transform child;
  child.positionKeys = {{2.0, {20, 0, 0}}};
  const A_Matrix4 m = layerToWorld({&child, &parent}, 1.0);
  // The child moves its origin to (10, 0) in the parent, which puts it 2 × (10 − 50, 0 − 50)
  // from the parent's position.
  expectPoint(transformPoint({0, 0, 0}, m), 120, 0, 0);
  expectPoint(transformPoint({5, 5, 0}, m), 130, 10, 0);
}

TEST(Transform, noChainIsIdentity) {
  const A_Matrix4 m = layerToWorld({}, 0);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(m.mat[r][c], r == c ? 1.0 : 0.0);
    }
  }
}

}  // namespace
}  // namespace tb
