#include "TOLV_Distort/deform/MeshDeformer.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <new>

#include "TOLV_Distort/deform/CornerMemo.h"
#include "TOLV_Distort/deform/DistortRotation.h"
#include "TOLV_Distort/deform/VectorTransform.h"
#include "TOLV_Mask/math/lengths.h"
#include "TOLV_Mask/math/rotate.h"
#include "TOLV_Mask/math/vector3.h"
#include "TOLV_Mask/math/wide_clones.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;

// The steps that need scratch space per lane take the lanes this many at a time.
constexpr int kChunk = 128;

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

// The bend's turn for coordinate r, t the anchor's translation along the bend: the angle in
// degrees × 65536 narrowed to float, then in radians narrowed to float, as the axis matrices take
// it.
float TurnAngle(double r, double t, float angle) {
  const float phi = static_cast<float>((r / t) * 0.5 * angle);
  return static_cast<float>(static_cast<double>(phi) * kAngleToRadians);
}

// The cosines and sines of n angles, as cosf and sinf give them; a call per lane, so kept apart
// from the loops that pack lanes. The angle is read once, so that the compiler may make one call
// of both.
void CosinesAndSines(const float* angles, float* c, float* s, int n) {
  for (int i = 0; i < n; ++i) {
    const float angle = angles[i];
    c[i] = cosf(angle);
    s[i] = sinf(angle);
  }
}

// A bend's turn D = M·(Rz·Ry·Rx) with one angle non-zero, M the identity with the anchor
// translation. Worked through in IEEE arithmetic, the rows 0 to 2 of that product are exactly the
// one-axis rotation with every zero +0 and a zero sine as +0 (cosf of a finite float is never 0),
// so only the translation row needs the full sum; it is written out term by term, in the order of
// the matrix product, so that every rounding and every signed zero is that of the full product.
// The products are in double even with a float factor.
struct Turn {
  double cosine, sine, minusSine;
  Turn(float c, float s)
      : cosine(c), sine(static_cast<double>(s) + 0.0), minusSine(-static_cast<double>(s) + 0.0) {}
};

// (x, y, z, 1)·m for every lane, in double, stored as float.
TOLV_WIDE_CLONES void TransformLanes(const A_Matrix4& m, const MeshDeformer::Lanes& v) {
  float* __restrict x = v.x;
  float* __restrict y = v.y;
  float* __restrict z = v.z;
  const auto& a = m.mat;
  const double a00 = a[0][0], a01 = a[0][1], a02 = a[0][2];
  const double a10 = a[1][0], a11 = a[1][1], a12 = a[1][2];
  const double a20 = a[2][0], a21 = a[2][1], a22 = a[2][2];
  const double a30 = a[3][0], a31 = a[3][1], a32 = a[3][2];
  for (int i = 0; i < v.n; ++i) {
    const double X = x[i], Y = y[i], Z = z[i];
    x[i] = static_cast<float>(X * a00 + Y * a10 + Z * a20 + a30);
    y[i] = static_cast<float>(X * a01 + Y * a11 + Z * a21 + a31);
    z[i] = static_cast<float>(X * a02 + Y * a12 + Z * a22 + a32);
  }
}

// Both turns of a twist and their blend by the weight of the coordinate along the axis. The blend
// is the linear form of Interpolate.
template <int Axis>
TOLV_WIDE_CLONES void TwistLanes(const A_Matrix4& m1, const A_Matrix4& m2, double lo, double span,
                                 double range, const MeshDeformer::Lanes& v) {
  float* __restrict x = v.x;
  float* __restrict y = v.y;
  float* __restrict z = v.z;
  const auto& a = m1.mat;
  const auto& b = m2.mat;
  const double a00 = a[0][0], a01 = a[0][1], a02 = a[0][2];
  const double a10 = a[1][0], a11 = a[1][1], a12 = a[1][2];
  const double a20 = a[2][0], a21 = a[2][1], a22 = a[2][2];
  const double a30 = a[3][0], a31 = a[3][1], a32 = a[3][2];
  const double b00 = b[0][0], b01 = b[0][1], b02 = b[0][2];
  const double b10 = b[1][0], b11 = b[1][1], b12 = b[1][2];
  const double b20 = b[2][0], b21 = b[2][1], b22 = b[2][2];
  const double b30 = b[3][0], b31 = b[3][1], b32 = b[3][2];
  // A layer without width or height has no position along the axis; the weight is 0 there rather
  // than a division by zero.
  const bool flat = span == 0.0;
  for (int i = 0; i < v.n; ++i) {
    const float xf = x[i], yf = y[i], zf = z[i];
    const float along = Axis == 0 ? xf : Axis == 1 ? yf : zf;
    double d = (along - lo) / span;
    d = (d - 0.5) / range + 0.5;
    // Both comparisons are made in every lane, and every value below is worked out and then
    // chosen, so that the loop has no branch.
    const bool below = d < 0.0;
    const bool above = d > 1.0;
    d = below ? 0.0 : d;
    d = above ? 1.0 : d;
    const float weight = static_cast<float>(d);
    const float w = flat ? 0.0f : weight;
    const double X = xf, Y = yf, Z = zf;
    const float x1 = static_cast<float>(X * a00 + Y * a10 + Z * a20 + a30);
    const float y1 = static_cast<float>(X * a01 + Y * a11 + Z * a21 + a31);
    const float z1 = static_cast<float>(X * a02 + Y * a12 + Z * a22 + a32);
    const float x2 = static_cast<float>(X * b00 + Y * b10 + Z * b20 + b30);
    const float y2 = static_cast<float>(X * b01 + Y * b11 + Z * b21 + b31);
    const float z2 = static_cast<float>(X * b02 + Y * b12 + Z * b22 + b32);
    const float u = 1.0f - w;
    x[i] = x1 * u + x2 * w;
    y[i] = y1 * u + y2 * w;
    z[i] = z1 * u + z2 * w;
  }
}

// Each lane divided by its length hypot(hypot(x, y), z); a zero vector stays zero.
void NormaliseLanes(const MeshDeformer::Lanes& v) {
  if (v.n > 0)
    vecNormaliseComponents(v.x, v.y, v.z, static_cast<size_t>(v.n));
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
  t->range = std::clamp<double>(range, 0.001, 10.0);
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

void MeshDeformer::twistLanes(const Twist& t, bool point, const Lanes& v) const {
  const A_Matrix4& m1 = point ? t.point1 : t.direction1;
  const A_Matrix4& m2 = point ? t.point2 : t.direction2;
  if (t.axis == 0)
    TwistLanes<0>(m1, m2, t.lo, t.span, t.range, v);
  else if (t.axis == 1)
    TwistLanes<1>(m1, m2, t.lo, t.span, t.range, v);
  else
    TwistLanes<2>(m1, m2, t.lo, t.span, t.range, v);
}

TOLV_WIDE_CLONES void MeshDeformer::horizontalAngles(const double* r, float* angles, int n) const {
  const double tx = anchor_.mat[3][0];
  const float angle = horizontal_.angle;
  for (int i = 0; i < n; ++i)
    angles[i] = TurnAngle(r[i], tx, angle);
}

TOLV_WIDE_CLONES void MeshDeformer::verticalAngles(const double* r, float* angles, int n) const {
  const double ty = anchor_.mat[3][1];
  const float angle = vertical_.angle;
  for (int i = 0; i < n; ++i)
    angles[i] = TurnAngle(r[i], ty, angle);
}

TOLV_WIDE_CLONES void MeshDeformer::bendPointsHorizontally(const Lanes& v) const {
  const double tx = anchor_.mat[3][0];
  const double ty = anchor_.mat[3][1];
  const double tz = anchor_.mat[3][2];
  const float rho = horizontal_.rho;
  for (int first = 0; first < v.n; first += kChunk) {
    const int n = std::min(kChunk, v.n - first);
    float* __restrict x = v.x + first;
    float* __restrict y = v.y + first;
    float* __restrict z = v.z + first;
    double r[kChunk];
    float angles[kChunk], c[kChunk], s[kChunk];
    for (int i = 0; i < n; ++i)
      r[i] = x[i] + tx;
    horizontalAngles(r, angles, n);
    CosinesAndSines(angles, c, s, n);
    for (int i = 0; i < n; ++i) {
      const Turn t(c[i], s[i]);
      const double px = x[i] + tx;
      const double d0 = tx - (px + tx);
      const double d1 = ty;
      const double d2 = tz + rho;
      const double row0 = d0 * t.cosine + d1 * 0.0 + d2 * t.sine + 0.0 - tx;
      const double row1 = d0 * 0.0 + d1 + d2 * 0.0 + 0.0 - ty;
      const double row2 = d0 * t.minusSine + d1 * 0.0 + d2 * t.cosine + 0.0 - (rho + tz);
      const float yf = y[i], zf = z[i];
      x[i] = static_cast<float>(px * t.cosine + yf * 0.0 + zf * t.sine + row0);
      y[i] = static_cast<float>(px * 0.0 + yf + zf * 0.0 + row1);
      z[i] = static_cast<float>(px * t.minusSine + yf * 0.0 + zf * t.cosine + row2);
    }
  }
}

TOLV_WIDE_CLONES void MeshDeformer::bendPointsVertically(const Lanes& v) const {
  const double tx = anchor_.mat[3][0];
  const double ty = anchor_.mat[3][1];
  const double tz = anchor_.mat[3][2];
  const float rho = vertical_.rho;
  for (int first = 0; first < v.n; first += kChunk) {
    const int n = std::min(kChunk, v.n - first);
    float* __restrict x = v.x + first;
    float* __restrict y = v.y + first;
    float* __restrict z = v.z + first;
    double r[kChunk];
    float angles[kChunk], c[kChunk], s[kChunk];
    for (int i = 0; i < n; ++i)
      r[i] = y[i] + ty;
    verticalAngles(r, angles, n);
    CosinesAndSines(angles, c, s, n);
    for (int i = 0; i < n; ++i) {
      const Turn t(c[i], s[i]);
      const double py = y[i] + ty;
      const double d0 = tx;
      const double d1 = ty - (py + ty);
      const double d2 = tz - rho;
      const double row0 = d0 + d1 * 0.0 + d2 * 0.0 + 0.0 - tx;
      const double row1 = d0 * 0.0 + d1 * t.cosine + d2 * t.minusSine + 0.0 - ty;
      const double row2 = d0 * 0.0 + d1 * t.sine + d2 * t.cosine + 0.0 - (tz - rho);
      const float xf = x[i], zf = z[i];
      x[i] = static_cast<float>(xf + py * 0.0 + zf * 0.0 + row0);
      y[i] = static_cast<float>(xf * 0.0 + py * t.cosine + zf * t.minusSine + row1);
      z[i] = static_cast<float>(xf * 0.0 + py * t.sine + zf * t.cosine + row2);
    }
  }
}

// A direction drops the bend's translation row: what is left is the bare turn.
TOLV_WIDE_CLONES void MeshDeformer::bendDirectionsHorizontally(const Lanes& v, const float* c,
                                                               const float* s) const {
  float* __restrict x = v.x;
  float* __restrict y = v.y;
  float* __restrict z = v.z;
  for (int i = 0; i < v.n; ++i) {
    const Turn t(c[i], s[i]);
    const double X = x[i], Y = y[i], Z = z[i];
    x[i] = static_cast<float>(X * t.cosine + Y * 0.0 + Z * t.sine + 0.0);
    y[i] = static_cast<float>(X * 0.0 + Y + Z * 0.0 + 0.0);
    z[i] = static_cast<float>(X * t.minusSine + Y * 0.0 + Z * t.cosine + 0.0);
  }
}

TOLV_WIDE_CLONES void MeshDeformer::bendDirectionsVertically(const Lanes& v, const float* c,
                                                             const float* s) const {
  float* __restrict x = v.x;
  float* __restrict y = v.y;
  float* __restrict z = v.z;
  for (int i = 0; i < v.n; ++i) {
    const Turn t(c[i], s[i]);
    const double X = x[i], Y = y[i], Z = z[i];
    x[i] = static_cast<float>(X + Y * 0.0 + Z * 0.0 + 0.0);
    y[i] = static_cast<float>(X * 0.0 + Y * t.cosine + Z * t.minusSine + 0.0);
    z[i] = static_cast<float>(X * 0.0 + Y * t.sine + Z * t.cosine + 0.0);
  }
}

point3 MeshDeformer::deformPoint(point3 v) const {
  deformPoints({&v.x, &v.y, &v.z, 1});
  return v;
}

void MeshDeformer::deformPoints(const Lanes& v) const {
  for (const Twist& t : twists_) {
    if (t.on)
      twistLanes(t, true, v);
  }
  if (horizontal_.on)
    bendPointsHorizontally(v);
  if (vertical_.on)
    bendPointsVertically(v);
  TransformLanes(pointTransform_, v);
}

void MeshDeformer::turnsAt(const Lanes& q, const TurnLanes& turns) const {
  for (int first = 0; first < q.n; first += kChunk) {
    const int n = std::min(kChunk, q.n - first);
    double r[kChunk];
    float angles[kChunk];
    if (horizontal_.on) {
      for (int i = 0; i < n; ++i)
        r[i] = q.x[first + i] + anchor_.mat[3][0];
      horizontalAngles(r, angles, n);
      CosinesAndSines(angles, turns.hc + first, turns.hs + first, n);
    }
    if (vertical_.on) {
      for (int i = 0; i < n; ++i)
        r[i] = q.y[first + i] + anchor_.mat[3][1];
      verticalAngles(r, angles, n);
      CosinesAndSines(angles, turns.vc + first, turns.vs + first, n);
    }
  }
}

void MeshDeformer::deformNormals(const Lanes& v, const TurnLanes& turns) const {
  for (const Twist& t : twists_) {
    if (t.on)
      twistLanes(t, false, v);
  }
  if (horizontal_.on)
    bendDirectionsHorizontally(v, turns.hc, turns.hs);
  if (vertical_.on)
    bendDirectionsVertically(v, turns.vc, turns.vs);
  TransformLanes(directionTransform_, v);
  NormaliseLanes(v);
}

void MeshDeformer::outwards(const triangle* t, const point3& centre, const Lanes& out) const {
  if (!values_.fromCenter) {
    std::fill_n(out.x, out.n, 0.0f);
    std::fill_n(out.y, out.n, 0.0f);
    std::fill_n(out.z, out.n, 0.0f);
    return;
  }
  for (int i = 0; i < out.n; ++i) {
    const point3 c = Centroid(t[i]);
    out.x[i] = c.x - centre.x;
    out.y[i] = c.y - centre.y;
    out.z[i] = c.z - centre.z;
  }
  NormaliseLanes(out);
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
  point3 o;
  outwards(t, centre, {&o.x, &o.y, &o.z, 1});
  float px[3] = {t->vertexA.x, t->vertexB.x, t->vertexC.x};
  float py[3] = {t->vertexA.y, t->vertexB.y, t->vertexC.y};
  float pz[3] = {t->vertexA.z, t->vertexB.z, t->vertexC.z};
  const Lanes points{px, py, pz, 3};
  deformPoints(points);
  float hc[3] = {}, hs[3] = {}, vc[3] = {}, vs[3] = {};
  turnsAt(points, {hc, hs, vc, vs});
  // The face normal turns as the first vertex's normal does.
  float nhc[4] = {hc[0], hc[0], hc[1], hc[2]}, nhs[4] = {hs[0], hs[0], hs[1], hs[2]};
  float nvc[4] = {vc[0], vc[0], vc[1], vc[2]}, nvs[4] = {vs[0], vs[0], vs[1], vs[2]};
  float nx[4] = {t->faceNormal.x, t->normalA.x, t->normalB.x, t->normalC.x};
  float ny[4] = {t->faceNormal.y, t->normalA.y, t->normalB.y, t->normalC.y};
  float nz[4] = {t->faceNormal.z, t->normalA.z, t->normalB.z, t->normalC.z};
  deformNormals({nx, ny, nz, 4}, {nhc, nhs, nvc, nvs});
  t->vertexA = {px[0], py[0], pz[0]};
  t->vertexB = {px[1], py[1], pz[1]};
  t->vertexC = {px[2], py[2], pz[2]};
  t->faceNormal = {nx[0], ny[0], nz[0]};
  t->normalA = {nx[1], ny[1], nz[1]};
  t->normalB = {nx[2], ny[2], nz[2]};
  t->normalC = {nx[3], ny[3], nz[3]};
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
