// Deforming the meshes of one render: three twists, two bends, the anchor-scale-rotation-position
// transform, re-normalisation and explode, for every triangle a distort effect forwards.
//
// Everything that stays the same within a render (the twist matrices, the transforms for points
// and for directions, the bend constants) is built once in the constructor; per vector only the
// bend's turn, which depends on the vector, is worked out. The results are those of running every
// step afresh for each vector, to the bit.
//
// Vectors go through the steps in lanes: one array per coordinate, each step run over all of them
// before the next. The lanes are independent, so the compiler packs them into vector registers and
// the processor overlaps their arithmetic; every lane still does the same operations in the same
// order as a single vector would.
#pragma once

#include "A.h"
#include "TOLV_Distort/deform/DeformValues.h"
#include "common/MeshSlot.h"

class MeshDeformer {
 public:
  explicit MeshDeformer(const DeformValues& values);

  // A position through twists, bends and the transform.
  point3 deformPoint(point3 v) const;

  // Deforms one triangle in place: its vertices, its four normals (re-normalised), then the
  // explode push. centre is the slot's mesh centre, used by the "From center" mode only. Texture
  // coordinates and the reserved field are left as they are.
  void deformTriangle(triangle* t, const point3& centre) const;
  // Deforms count triangles in place, each as deformTriangle would to the bit, with the work of
  // vertices and normals that repeat across triangles done once.
  void deformTriangles(triangle* triangles, int count, const point3& centre) const;

  bool fromCenter() const { return values_.fromCenter; }

  // n vectors, one array per coordinate, changed in place.
  struct Lanes {
    float* x;
    float* y;
    float* z;
    int n;
  };
  // The cosines and sines of the horizontal and vertical bends' turns that the normals at n
  // deformed points take, one entry per lane.
  struct TurnLanes {
    float* hc;
    float* hs;
    float* vc;
    float* vs;
  };
  // Each lane as deformPoint gives it.
  void deformPoints(const Lanes& v) const;
  // The turns of the normals at the deformed points q.
  void turnsAt(const Lanes& q, const TurnLanes& turns) const;
  // Each lane a direction through the same chain with the turns of its lane, made unit length.
  void deformNormals(const Lanes& v, const TurnLanes& turns) const;
  // For each of out.n triangles, the unit direction from the mesh centre to its centroid in the
  // "From center" mode, (0, 0, 0) otherwise.
  void outwards(const triangle* t, const point3& centre, const Lanes& out) const;
  // Pushes the deformed vertices along the deformed face normal or along outwards.
  void explode(triangle* t, const point3& outwards) const;

  struct Bend {
    bool on = false;
    float angle = 0;
    float rho = 0;  // radius of the cylinder the mesh is wrapped on
  };

 private:
  struct Twist {
    bool on = false;
    int axis = 0;
    double lo = 0;
    double span = 0;                   // |lo - hi|; 0 for an empty layer
    double range = 1;                  // the range clamped to [0.001, 10]
    A_Matrix4 point1, point2;          // (v - C)·R(a1) + C and the same with a2
    A_Matrix4 direction1, direction2;  // the bare rotations
  };
  void initTwist(Twist* twist, int axis, double lo, double hi, float a1, float a2, float range);
  void twistLanes(const Twist& t, bool point, const Lanes& v) const;
  // The angles (radians, float) of the turns for the bend coordinates r.
  void horizontalAngles(const double* r, float* angles, int n) const;
  void verticalAngles(const double* r, float* angles, int n) const;
  void bendPointsHorizontally(const Lanes& v) const;
  void bendPointsVertically(const Lanes& v) const;
  void bendDirectionsHorizontally(const Lanes& v, const float* c, const float* s) const;
  void bendDirectionsVertically(const Lanes& v, const float* c, const float* s) const;

  DeformValues values_;
  Twist twists_[3];
  A_Matrix4 anchor_;  // identity with the anchor translation: what the bends read
  Bend horizontal_, vertical_;
  A_Matrix4 pointTransform_;
  A_Matrix4 directionTransform_;
};

// The mean of the centroids of the slot's triangles, in float, over its triangleCount triangles
// (bounded to the array). A slot without triangles has no centre to divide by: (0, 0, 0).
point3 MeshCentre(const MeshSlot& slot);
