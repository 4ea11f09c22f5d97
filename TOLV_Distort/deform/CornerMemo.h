// What the corners of a slot's triangles deform to, remembered by the exact bits of their inputs.
//
// A mesh cut from a grid repeats every vertex in about six triangles, with the same normal each
// time. What a corner becomes (its point through twists, bends with their cosines and sines and
// the transform; the turns its normals take; its normal through the same chain and re-normalised)
// depends on its position and normal alone within a render, so each is worked out once and looked
// up after that.
#pragma once

#include "TOLV_Distort/deform/BitKeyTable.h"
#include "TOLV_Distort/deform/MeshDeformer.h"

class CornerMemo {
 public:
  CornerMemo(const MeshDeformer& deformer, int triangles)
      : deformer_(deformer), corners_(triangles) {}

  // Deforms one triangle in place exactly as MeshDeformer::deformTriangle does.
  void deformTriangle(triangle* t, const point3& centre) {
    const point3 o = deformer_.outwards(*t, centre);
    const Corner a = corner(t->vertexA, t->normalA);
    const Corner b = corner(t->vertexB, t->normalB);
    const Corner c = corner(t->vertexC, t->normalC);
    // A face normal rarely repeats with the same first vertex, so it is not remembered.
    t->faceNormal = deformer_.deformNormal(t->faceNormal, a.turns);
    t->vertexA = a.point;
    t->vertexB = b.point;
    t->vertexC = c.point;
    t->normalA = a.normal;
    t->normalB = b.normal;
    t->normalC = c.normal;
    deformer_.explode(t, o);
  }

 private:
  struct Corner {
    point3 point;
    MeshDeformer::Turns turns;  // those of the deformed point, for the normals at it
    point3 normal;
  };
  using Table = BitKeyTable<6, Corner>;

  Corner corner(const point3& p, const point3& n) {
    const float words[6] = {p.x, p.y, p.z, n.x, n.y, n.z};
    bool found = false;
    Corner* kept = corners_.find(Table::KeyOf(words), &found);
    if (found)
      return *kept;
    Corner c;
    c.point = deformer_.deformPoint(p);
    c.turns = deformer_.directionTurns(c.point);
    c.normal = deformer_.deformNormal(n, c.turns);
    if (kept)
      *kept = c;
    return c;
  }

  const MeshDeformer& deformer_;
  Table corners_;
};
