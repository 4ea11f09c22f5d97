// Deforming the meshes of one render: three twists, two bends, the anchor-scale-rotation-position
// transform, re-normalisation and explode, for every triangle a distort effect forwards.
//
// Everything that stays the same within a render (the twist matrices, the transforms for points
// and for directions, the bend constants) is built once in the constructor; per vector only the
// bend's turn, which depends on the vector, is built. The results are those of running every step
// afresh for each vector, to the bit.
#pragma once

#include "A.h"
#include "TOLV_Distort/deform/DeformValues.h"
#include "common/MeshSlot.h"

class MeshDeformer {
 public:
  explicit MeshDeformer(const DeformValues& values);

  // A position through twists, bends and the transform.
  point3 deformPoint(point3 v) const;
  // A direction through the same chain; q is the deformed point it belongs to (the bends turn a
  // direction by the angle of that point).
  point3 deformDirection(point3 v, const point3& q) const;

  // Deforms one triangle in place: its vertices, its four normals (re-normalised), then the
  // explode push. centre is the slot's mesh centre, used by the "From center" mode only. Texture
  // coordinates and the reserved field are left as they are.
  void deformTriangle(triangle* t, const point3& centre) const;

  bool fromCenter() const { return values_.fromCenter; }

  // The cosine and sine of a bend's turn as the axis matrices hold them, a zero sine as +0.
  struct Turn {
    double c;
    double s;
    double minusS;
  };

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
    double span = 0;  // |lo - hi|; 0 for an empty layer
    float range = 1;
    A_Matrix4 point1, point2;          // (v - C)·R(a1) + C and the same with a2
    A_Matrix4 direction1, direction2;  // the bare rotations
  };
  void initTwist(Twist* twist, int axis, double lo, double hi, float a1, float a2, float range);
  point3 twist(const Twist& t, point3 v, bool point) const;
  // The turns of a direction depend only on the point it belongs to.
  struct Turns {
    Turn horizontal;
    Turn vertical;
  };
  Turn horizontalTurn(double r) const;
  Turn verticalTurn(double r) const;
  Turns directionTurns(const point3& q) const;
  point3 deformDirection(point3 v, const Turns& turns) const;
  point3 bendHorizontal(point3 v, bool point, const Turn* direction_turn) const;
  point3 bendVertical(point3 v, bool point, const Turn* direction_turn) const;
  point3 twistsAndBends(point3 v, bool point, const Turns* turns) const;

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
