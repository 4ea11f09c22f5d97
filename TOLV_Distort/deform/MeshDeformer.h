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
  // Deforms count triangles in place, each as deformTriangle would to the bit, with the work of
  // vertices and normals that repeat across triangles done once.
  void deformTriangles(triangle* triangles, int count, const point3& centre) const;

  bool fromCenter() const { return values_.fromCenter; }

  // The cosine and sine of a bend's turn as cosf and sinf gave them, kept small for the caches.
  // The axis matrices hold them in double with a zero sine as +0, which the accessors reproduce;
  // the products are in double even with a float factor.
  struct Turn {
    float c;
    float s;
    double cosine() const { return c; }
    double sine() const { return static_cast<double>(s) + 0.0; }
    double minusSine() const { return -static_cast<double>(s) + 0.0; }
  };
  // The turns of a direction depend only on the deformed point it belongs to.
  struct Turns {
    Turn horizontal;
    Turn vertical;
  };
  Turns directionTurns(const point3& q) const;
  // The same chains over many vectors at once, step by step across all of them: the vectors are
  // independent, so the processor overlaps their arithmetic instead of waiting on one chain. Each
  // result is the one deformPoint gives, or deformDirection made unit length.
  void deformPoints(point3* v, int n) const;
  void deformNormals(point3* v, const Turns* turns, int n) const;
  // The unit direction from the mesh centre to the triangle's centroid in the "From center"
  // mode, (0, 0, 0) otherwise.
  point3 outwards(const triangle& t, const point3& centre) const;
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
    double span = 0;  // |lo - hi|; 0 for an empty layer
    float range = 1;
    A_Matrix4 point1, point2;          // (v - C)·R(a1) + C and the same with a2
    A_Matrix4 direction1, direction2;  // the bare rotations
  };
  void initTwist(Twist* twist, int axis, double lo, double hi, float a1, float a2, float range);
  point3 twist(const Twist& t, point3 v, bool point) const;
  Turn horizontalTurn(double r) const;
  Turn verticalTurn(double r) const;
  // The direction chain without the re-normalisation.
  void directionSteps(point3* v, const Turns* turns, int n) const;
  point3 bendHorizontal(point3 v, bool point, const Turn* direction_turn) const;
  point3 bendVertical(point3 v, bool point, const Turn* direction_turn) const;

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
