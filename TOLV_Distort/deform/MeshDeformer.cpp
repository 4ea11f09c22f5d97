#include "TOLV_Distort/deform/MeshDeformer.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <new>

#include "TOLV_Distort/deform/CornerMemo.h"
#include "TOLV_Distort/deform/DistortRotation.h"
#include "TOLV_Distort/deform/VectorTransform.h"
#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/math/vector3.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;

A_Matrix4 Translation(double x, double y, double z) {
  A_Matrix4 m = IdentityMatrix4();
  m.mat[3][0] = x;
  m.mat[3][1] = y;
  m.mat[3][2] = z;
  return m;
}

// The rotation about one axis, as the distort product with the other two angles 0.
A_Matrix4 AxisTurn(int axis, float angle) {
  return DistortRotationProduct(axis == 0 ? angle : 0.0f, axis == 1 ? angle : 0.0f,
                                axis == 2 ? angle : 0.0f);
}

// ρ = (T / π) / (d / 360) with d the angle in degrees: the radius whose arc over the bend's angle
// is as long as the anchor's distance from the edge.
MeshDeformer::Bend MakeBend(float angle, double t) {
  MeshDeformer::Bend bend;
  bend.on = angle != 0.0f && t != 0.0;
  bend.angle = angle;
  if (bend.on)
    bend.rho = (static_cast<float>(t) / kPi) / ((angle / 65536.0f) / 360.0f);
  return bend;
}

// π / (180 · 65536), the angle factor of the axis matrices.
constexpr double kAngleToRadians = 2.663161090079238e-7;

MeshDeformer::Turn TurnOf(float angle) {
  const float theta = static_cast<float>(static_cast<double>(angle) * kAngleToRadians);
  return {cosf(theta), sinf(theta)};
}

// The linear form of Interpolate, inline in the innermost loop.
float Blend(float a, float b, float t) {
  return a * (1.0f - t) + b * t;
}

float Component(const point3& v, int axis) {
  return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

}  // namespace

MeshDeformer::MeshDeformer(const DeformValues& values) : values_(values) {
  const DeformValues& v = values_;
  initTwist(&twists_[0], 0, 0, v.width, v.tL, v.tR, v.gX);
  initTwist(&twists_[1], 1, 0, v.height, v.tU, v.tD, v.gY);
  initTwist(&twists_[2], 2, -v.width / 2, v.width / 2, v.tB, v.tF, v.gZ);

  anchor_ = Translation(-v.ax, -v.ay, v.az);
  const double tx = anchor_.mat[3][0];
  const double ty = anchor_.mat[3][1];
  // An anchor on the bend's own axis (x = 0 for the horizontal bend, y = 0 for the vertical one)
  // leaves no distance to measure the turn by: radius and angle would divide by zero and fill the
  // mesh with NaN. Such a step is skipped, so the mesh stays unbent along that direction.
  horizontal_ = MakeBend(v.bH, tx);
  vertical_ = MakeBend(v.bV, ty);

  const bool scaled = v.sx != 1.0f || v.sy != 1.0f || v.sz != 1.0f;
  const bool rotated = v.rx != 0.0f || v.ry != 0.0f || v.rz != 0.0f;
  pointTransform_ = anchor_;
  if (scaled)
    pointTransform_ = MultiplyMatrix4(pointTransform_, Scaling(v.sx, v.sy, v.sz));
  if (rotated)
    DistortRotate(&pointTransform_, v.rx, v.ry, v.rz);
  pointTransform_.mat[3][0] += v.px;
  pointTransform_.mat[3][1] += v.py;
  pointTransform_.mat[3][2] += -v.pz;

  directionTransform_ = IdentityMatrix4();
  if (v.nx != 1.0f || v.ny != 1.0f || v.nz != 1.0f)
    directionTransform_ = MultiplyMatrix4(directionTransform_, Scaling(v.nx, v.ny, v.nz));
  if (rotated)
    DistortRotate(&directionTransform_, v.rx, v.ry, v.rz);
}

void MeshDeformer::initTwist(Twist* t, int axis, double lo, double hi, float a1, float a2,
                             float range) {
  t->on = a1 != 0.0f || a2 != 0.0f;
  t->axis = axis;
  t->lo = lo;
  t->span = std::abs(lo - hi);
  t->range = range;
  const double cx = CentreX(values_);
  const double cy = CentreY(values_);
  t->direction1 = MultiplyMatrix4(IdentityMatrix4(), AxisTurn(axis, a1));
  t->direction2 = MultiplyMatrix4(IdentityMatrix4(), AxisTurn(axis, a2));
  t->point1 = MultiplyMatrix4(Translation(-cx, -cy, -0.0), AxisTurn(axis, a1));
  t->point2 = MultiplyMatrix4(Translation(-cx, -cy, -0.0), AxisTurn(axis, a2));
  for (A_Matrix4* m : {&t->point1, &t->point2}) {
    m->mat[3][0] += cx;
    m->mat[3][1] += cy;
    m->mat[3][2] += 0.0;
  }
}

point3 MeshDeformer::twist(const Twist& t, point3 v, bool point) const {
  const point3 v1 = TransformVector(v.x, v.y, v.z, point ? t.point1 : t.direction1);
  const point3 v2 = TransformVector(v.x, v.y, v.z, point ? t.point2 : t.direction2);
  const float w = TwistWeight(Component(v, t.axis), t.lo, t.span, t.range);
  return {Blend(v1.x, v2.x, w), Blend(v1.y, v2.y, w), Blend(v1.z, v2.z, w)};
}

// A bend turns D = M·(Rz·Ry·Rx) with one angle non-zero, M the identity with the anchor
// translation. Worked through in IEEE arithmetic, the rows 0 to 2 of that product are exactly the
// one-axis rotation with every zero +0 and a zero sine as +0 (cosf of a finite float is never 0),
// so only the translation row needs the full sum; it is written out term by term, in the order of
// the matrix product, so that every rounding and every signed zero is that of the full product.
MeshDeformer::Turn MeshDeformer::horizontalTurn(double r) const {
  return TurnOf(static_cast<float>((r / anchor_.mat[3][0]) * 0.5 * horizontal_.angle));
}

MeshDeformer::Turn MeshDeformer::verticalTurn(double r) const {
  return TurnOf(static_cast<float>((r / anchor_.mat[3][1]) * 0.5 * vertical_.angle));
}

MeshDeformer::Turns MeshDeformer::directionTurns(const point3& q) const {
  Turns turns{};
  if (horizontal_.on)
    turns.horizontal = horizontalTurn(q.x + anchor_.mat[3][0]);
  if (vertical_.on)
    turns.vertical = verticalTurn(q.y + anchor_.mat[3][1]);
  return turns;
}

point3 MeshDeformer::bendHorizontal(point3 v, bool point, const Turn* direction_turn) const {
  const double tx = anchor_.mat[3][0];
  const double ty = anchor_.mat[3][1];
  const double tz = anchor_.mat[3][2];
  const double px = point ? v.x + tx : v.x;
  const double r = px;
  const Turn t = point ? horizontalTurn(r) : *direction_turn;
  double row[3] = {0.0, 0.0, 0.0};
  if (point) {
    const double d0 = tx - (r + tx);
    const double d1 = ty;
    const double d2 = tz + horizontal_.rho;
    row[0] = d0 * t.cosine() + d1 * 0.0 + d2 * t.sine() + 0.0 - tx;
    row[1] = d0 * 0.0 + d1 + d2 * 0.0 + 0.0 - ty;
    row[2] = d0 * t.minusSine() + d1 * 0.0 + d2 * t.cosine() + 0.0 - (horizontal_.rho + tz);
  }
  return {static_cast<float>(px * t.cosine() + v.y * 0.0 + v.z * t.sine() + row[0]),
          static_cast<float>(px * 0.0 + v.y + v.z * 0.0 + row[1]),
          static_cast<float>(px * t.minusSine() + v.y * 0.0 + v.z * t.cosine() + row[2])};
}

point3 MeshDeformer::bendVertical(point3 v, bool point, const Turn* direction_turn) const {
  const double tx = anchor_.mat[3][0];
  const double ty = anchor_.mat[3][1];
  const double tz = anchor_.mat[3][2];
  const double py = point ? v.y + ty : v.y;
  const double r = py;
  const Turn t = point ? verticalTurn(r) : *direction_turn;
  double row[3] = {0.0, 0.0, 0.0};
  if (point) {
    const double d0 = tx;
    const double d1 = ty - (r + ty);
    const double d2 = tz - vertical_.rho;
    row[0] = d0 + d1 * 0.0 + d2 * 0.0 + 0.0 - tx;
    row[1] = d0 * 0.0 + d1 * t.cosine() + d2 * t.minusSine() + 0.0 - ty;
    row[2] = d0 * 0.0 + d1 * t.sine() + d2 * t.cosine() + 0.0 - (tz - vertical_.rho);
  }
  return {static_cast<float>(v.x + py * 0.0 + v.z * 0.0 + row[0]),
          static_cast<float>(v.x * 0.0 + py * t.cosine() + v.z * t.minusSine() + row[1]),
          static_cast<float>(v.x * 0.0 + py * t.sine() + v.z * t.cosine() + row[2])};
}

point3 MeshDeformer::deformPoint(point3 v) const {
  deformPoints(&v, 1);
  return v;
}

point3 MeshDeformer::deformDirection(point3 v, const point3& q) const {
  const Turns turns = directionTurns(q);
  directionSteps(&v, &turns, 1);
  return v;
}

void MeshDeformer::deformPoints(point3* v, int n) const {
  for (const Twist& t : twists_) {
    if (t.on) {
      for (int i = 0; i < n; ++i)
        v[i] = twist(t, v[i], true);
    }
  }
  if (horizontal_.on) {
    for (int i = 0; i < n; ++i)
      v[i] = bendHorizontal(v[i], true, nullptr);
  }
  if (vertical_.on) {
    for (int i = 0; i < n; ++i)
      v[i] = bendVertical(v[i], true, nullptr);
  }
  for (int i = 0; i < n; ++i)
    v[i] = TransformVector(v[i].x, v[i].y, v[i].z, pointTransform_);
}

void MeshDeformer::directionSteps(point3* v, const Turns* turns, int n) const {
  for (const Twist& t : twists_) {
    if (t.on) {
      for (int i = 0; i < n; ++i)
        v[i] = twist(t, v[i], false);
    }
  }
  if (horizontal_.on) {
    for (int i = 0; i < n; ++i)
      v[i] = bendHorizontal(v[i], false, &turns[i].horizontal);
  }
  if (vertical_.on) {
    for (int i = 0; i < n; ++i)
      v[i] = bendVertical(v[i], false, &turns[i].vertical);
  }
  for (int i = 0; i < n; ++i)
    v[i] = TransformVector(v[i].x, v[i].y, v[i].z, directionTransform_);
}

void MeshDeformer::deformNormals(point3* v, const Turns* turns, int n) const {
  directionSteps(v, turns, n);
  for (int i = 0; i < n; ++i)
    vecNormalise(v[i]);
}

point3 MeshDeformer::outwards(const triangle& t, const point3& centre) const {
  point3 o{};
  if (values_.fromCenter) {
    const point3 c = Centroid(t);
    o = {c.x - centre.x, c.y - centre.y, c.z - centre.z};
    vecNormalise(o);
  }
  return o;
}

void MeshDeformer::explode(triangle* t, const point3& outwards) const {
  if (values_.e == 0.0f)
    return;
  const point3& d = values_.fromCenter ? outwards : t->faceNormal;
  const float e = values_.e;
  for (point3* p : {&t->vertexA, &t->vertexB, &t->vertexC}) {
    p->x += e * d.x;
    p->y += e * d.y;
    p->z += e * d.z;
  }
}

void MeshDeformer::deformTriangle(triangle* t, const point3& centre) const {
  const point3 o = outwards(*t, centre);
  point3 points[3] = {t->vertexA, t->vertexB, t->vertexC};
  deformPoints(points, 3);
  // The face normal and the first vertex normal turn by the same angles (those of vertex A).
  const Turns turns_a = directionTurns(points[0]);
  const Turns turns[4] = {turns_a, turns_a, directionTurns(points[1]), directionTurns(points[2])};
  point3 normals[4] = {t->faceNormal, t->normalA, t->normalB, t->normalC};
  deformNormals(normals, turns, 4);
  t->vertexA = points[0];
  t->vertexB = points[1];
  t->vertexC = points[2];
  t->faceNormal = normals[0];
  t->normalA = normals[1];
  t->normalB = normals[2];
  t->normalC = normals[3];
  explode(t, o);
}

void MeshDeformer::deformTriangles(triangle* triangles, int count, const point3& centre) const {
  if (count <= 0)
    return;
  // The memo needs a few megabytes at most; without them every triangle is worked out on its own,
  // more slowly but to the same result, rather than an exception reaching the host.
  std::unique_ptr<CornerMemo> memo;
  try {
    memo = std::make_unique<CornerMemo>(*this, count);
  } catch (const std::bad_alloc&) {
    for (int i = 0; i < count; ++i)
      deformTriangle(&triangles[i], centre);
    return;
  }
  for (int first = 0; first < count; first += CornerMemo::kBlock)
    memo->deformBlock(triangles + first, std::min(CornerMemo::kBlock, count - first), centre);
}

point3 MeshCentre(const MeshSlot& slot) {
  const int count = std::clamp<int32_t>(slot.triangleCount, 0, kMaxTriangles);
  if (count == 0)
    return {0.0f, 0.0f, 0.0f};
  point3 sum{0.0f, 0.0f, 0.0f};
  for (int i = 0; i < count; ++i) {
    const point3 c = Centroid(slot.triangles[i]);
    sum.x += c.x;
    sum.y += c.y;
    sum.z += c.z;
  }
  const float n = static_cast<float>(count);
  return {sum.x / n, sum.y / n, sum.z / n};
}
