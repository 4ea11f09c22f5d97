#include "tests/distort/DeformReference.h"

#include <cmath>
#include <initializer_list>

#include "TOLV_Mask/math/interpolate.h"
#include "TOLV_Mask/math/rotate.h"

namespace reference {

namespace {

// m := m·(Rz·Ry·Rx).
void Rotate(A_Matrix4* m, float a, float b, float c) {
  const AxisRotations r = AxisRotationMatrices(a, b, c);
  const A_Matrix4 zy = MultiplyMatrix4(r.z, r.y);
  const A_Matrix4 zyx = MultiplyMatrix4(zy, r.x);
  *m = MultiplyMatrix4(*m, zyx);
}

point3 Apply(double x, double y, double z, const A_Matrix4& m) {
  point3 out;
  out.x = static_cast<float>(x * m.mat[0][0] + y * m.mat[1][0] + z * m.mat[2][0] + m.mat[3][0]);
  out.y = static_cast<float>(x * m.mat[0][1] + y * m.mat[1][1] + z * m.mat[2][1] + m.mat[3][1]);
  out.z = static_cast<float>(x * m.mat[0][2] + y * m.mat[1][2] + z * m.mat[2][2] + m.mat[3][2]);
  return out;
}

float Coordinate(const point3& p, int k) {
  if (k == 0)
    return p.x;
  if (k == 1)
    return p.y;
  return p.z;
}

point3 Twist(const DeformValues& v, point3 p, bool point, int k, double lo, double hi, float a1,
             float a2, float g) {
  const double c[3] = {v.width / 2, v.height / 2, 0.0};
  A_Matrix4 m1 = IdentityMatrix4();
  A_Matrix4 m2 = IdentityMatrix4();
  if (point) {
    for (int j = 0; j < 3; ++j) {
      m1.mat[3][j] = -c[j];
      m2.mat[3][j] = -c[j];
    }
  }
  Rotate(&m1, k == 0 ? a1 : 0.0f, k == 1 ? a1 : 0.0f, k == 2 ? a1 : 0.0f);
  Rotate(&m2, k == 0 ? a2 : 0.0f, k == 1 ? a2 : 0.0f, k == 2 ? a2 : 0.0f);
  if (point) {
    for (int j = 0; j < 3; ++j) {
      m1.mat[3][j] += c[j];
      m2.mat[3][j] += c[j];
    }
  }
  const point3 p1 = Apply(p.x, p.y, p.z, m1);
  const point3 p2 = Apply(p.x, p.y, p.z, m2);
  float w = 0.0f;
  if (std::fabs(lo - hi) != 0.0) {
    double wd = (Coordinate(p, k) - lo) / std::fabs(lo - hi);
    double gd = g;
    if (gd < 0.001)
      gd = 0.001;
    if (gd > 10.0)
      gd = 10.0;
    wd = (wd - 0.5) / gd + 0.5;
    if (wd < 0.0)
      wd = 0.0;
    if (wd > 1.0)
      wd = 1.0;
    w = static_cast<float>(wd);
  }
  return {Interpolate(p1.x, p2.x, w, 0), Interpolate(p1.y, p2.y, w, 0),
          Interpolate(p1.z, p2.z, w, 0)};
}

constexpr float kPi = 3.14159265358979323846f;

point3 BendHorizontal(const DeformValues& v, const A_Matrix4& m, point3 p, bool point,
                      const point3& q) {
  const double tx = m.mat[3][0], ty = m.mat[3][1], tz = m.mat[3][2];
  double px = p.x;
  double r = q.x + tx;
  if (point) {
    px = p.x + tx;
    r = px;
  }
  const float d = v.bH / 65536.0f;
  const float rho = (static_cast<float>(tx) / kPi) / (d / 360.0f);
  A_Matrix4 dm = m;
  dm.mat[3][2] = dm.mat[3][2] + rho;
  dm.mat[3][0] = dm.mat[3][0] - (r + tx);
  const double phi = (r / tx) * 0.5 * v.bH;
  Rotate(&dm, 0.0f, static_cast<float>(phi), 0.0f);
  if (point) {
    dm.mat[3][0] = dm.mat[3][0] - tx;
    dm.mat[3][1] = dm.mat[3][1] - ty;
    dm.mat[3][2] = dm.mat[3][2] - (rho + tz);
  } else {
    for (int j = 0; j < 4; ++j)
      dm.mat[3][j] = 0.0;
  }
  return Apply(px, p.y, p.z, dm);
}

point3 BendVertical(const DeformValues& v, const A_Matrix4& m, point3 p, bool point,
                    const point3& q) {
  const double tx = m.mat[3][0], ty = m.mat[3][1], tz = m.mat[3][2];
  double py = p.y;
  double r = q.y + ty;
  if (point) {
    py = p.y + ty;
    r = py;
  }
  const float d = v.bV / 65536.0f;
  const float rho = (static_cast<float>(ty) / kPi) / (d / 360.0f);
  A_Matrix4 dm = m;
  dm.mat[3][2] = dm.mat[3][2] - rho;
  dm.mat[3][1] = dm.mat[3][1] - (r + ty);
  const double phi = (r / ty) * 0.5 * v.bV;
  Rotate(&dm, static_cast<float>(phi), 0.0f, 0.0f);
  if (point) {
    dm.mat[3][0] = dm.mat[3][0] - tx;
    dm.mat[3][1] = dm.mat[3][1] - ty;
    dm.mat[3][2] = dm.mat[3][2] - (tz - rho);
  } else {
    for (int j = 0; j < 4; ++j)
      dm.mat[3][j] = 0.0;
  }
  return Apply(p.x, py, p.z, dm);
}

void Normalise(point3* n) {
  const float length = hypotf(hypotf(n->x, n->y), n->z);
  if (length != 0.0f) {
    n->x /= length;
    n->y /= length;
    n->z /= length;
  }
}

point3 Centroid(const triangle& t) {
  return {(t.vertexA.x + t.vertexB.x + t.vertexC.x) / 3.0f,
          (t.vertexA.y + t.vertexB.y + t.vertexC.y) / 3.0f,
          (t.vertexA.z + t.vertexB.z + t.vertexC.z) / 3.0f};
}

}  // namespace

point3 DeformVector(const DeformValues& v, point3 p, bool point, const point3& q) {
  if (v.tL != 0.0f || v.tR != 0.0f)
    p = Twist(v, p, point, 0, 0.0, v.width, v.tL, v.tR, v.gX);
  if (v.tU != 0.0f || v.tD != 0.0f)
    p = Twist(v, p, point, 1, 0.0, v.height, v.tU, v.tD, v.gY);
  if (v.tB != 0.0f || v.tF != 0.0f)
    p = Twist(v, p, point, 2, -v.width / 2, v.width / 2, v.tB, v.tF, v.gZ);

  A_Matrix4 m = IdentityMatrix4();
  m.mat[3][0] = -v.ax;
  m.mat[3][1] = -v.ay;
  m.mat[3][2] = v.az;

  // A bend whose anchor lies on its edge is skipped (no distance to turn by).
  if (v.bH != 0.0f || v.bV != 0.0f) {
    if (v.bH != 0.0f && m.mat[3][0] != 0.0)
      p = BendHorizontal(v, m, p, point, q);
    if (v.bV != 0.0f && m.mat[3][1] != 0.0)
      p = BendVertical(v, m, p, point, q);
  }
  if (!point)
    m = IdentityMatrix4();
  const float s1 = point ? v.sx : v.nx;
  const float s2 = point ? v.sy : v.ny;
  const float s3 = point ? v.sz : v.nz;
  if (s1 != 1.0f || s2 != 1.0f || s3 != 1.0f) {
    A_Matrix4 s{};
    s.mat[0][0] = s1;
    s.mat[1][1] = s2;
    s.mat[2][2] = s3;
    s.mat[3][3] = 1.0;
    m = MultiplyMatrix4(m, s);
  }
  if (v.rx != 0.0f || v.ry != 0.0f || v.rz != 0.0f)
    Rotate(&m, v.rx, v.ry, v.rz);
  if (point) {
    m.mat[3][0] += v.px;
    m.mat[3][1] += v.py;
    m.mat[3][2] += -v.pz;
  }
  return Apply(p.x, p.y, p.z, m);
}

void DeformTriangle(const DeformValues& v, triangle* t, const point3& centre) {
  point3 o{0.0f, 0.0f, 0.0f};
  if (v.fromCenter) {
    const point3 c = Centroid(*t);
    o = {c.x - centre.x, c.y - centre.y, c.z - centre.z};
    Normalise(&o);
  }
  t->vertexA = DeformVector(v, t->vertexA, true, t->vertexA);
  t->vertexB = DeformVector(v, t->vertexB, true, t->vertexB);
  t->vertexC = DeformVector(v, t->vertexC, true, t->vertexC);
  t->faceNormal = DeformVector(v, t->faceNormal, false, t->vertexA);
  t->normalA = DeformVector(v, t->normalA, false, t->vertexA);
  t->normalB = DeformVector(v, t->normalB, false, t->vertexB);
  t->normalC = DeformVector(v, t->normalC, false, t->vertexC);
  Normalise(&t->faceNormal);
  Normalise(&t->normalA);
  Normalise(&t->normalB);
  Normalise(&t->normalC);
  if (v.e != 0.0f) {
    const point3 d = v.fromCenter ? o : t->faceNormal;
    for (point3* p : {&t->vertexA, &t->vertexB, &t->vertexC}) {
      p->x = p->x + v.e * d.x;
      p->y = p->y + v.e * d.y;
      p->z = p->z + v.e * d.z;
    }
  }
}

point3 MeshCentre(const MeshSlot& slot) {
  point3 sum{0.0f, 0.0f, 0.0f};
  const int count = slot.triangleCount;
  for (int i = 0; i < count; ++i) {
    const point3 c = Centroid(slot.triangles[i]);
    sum.x += c.x;
    sum.y += c.y;
    sum.z += c.z;
  }
  if (count == 0)
    return sum;
  return {sum.x / count, sum.y / count, sum.z / count};
}

}  // namespace reference
