// What the corners of a slot's triangles deform to, remembered by the exact bits of their inputs.
//
// A mesh cut from a grid repeats every vertex in about six triangles, with the same normal each
// time. What a corner becomes (its point through twists, bends with their cosines and sines and
// the transform; the turns its normals take; its normal through the same chain and re-normalised)
// depends on its position and normal alone within a render, so each is worked out once and looked
// up after that. Triangles go in blocks: the corners a block has not met yet, and its face
// normals, are deformed together, so that their independent arithmetic overlaps. In a mesh whose
// corners do not repeat the table soon stands aside, and blocks go through the lanes directly.
#pragma once

#include "TOLV_Distort/deform/BitKeyTable.h"
#include "TOLV_Distort/deform/MeshDeformer.h"

class CornerMemo {
 public:
  static constexpr int kBlock = 128;

  CornerMemo(const MeshDeformer& deformer, int triangles)
      : deformer_(deformer), corners_(triangles / 2 + 1) {}

  // Deforms n <= kBlock triangles in place exactly as MeshDeformer::deformTriangle does.
  void deformBlock(triangle* t, int n, const point3& centre) {
    if (!corners_.inUse()) {
      deformEach(t, n, centre);
      return;
    }
    pending_ = 0;
    for (int i = 0; i < n; ++i) {
      at_[3 * i] = corner(t[i].vertexA, t[i].normalA, 3 * i);
      at_[3 * i + 1] = corner(t[i].vertexB, t[i].normalB, 3 * i + 1);
      at_[3 * i + 2] = corner(t[i].vertexC, t[i].normalC, 3 * i + 2);
    }
    deformPending();
    for (int i = 0; i < n; ++i) {
      faces_.put(i, t[i].faceNormal);
      // The face normal turns as the first vertex's normal does.
      faceTurns_.put(i, at_[3 * i]->turns);
    }
    deformer_.deformNormals(faces_.lanes(n), faceTurns_.lanes());
    deformer_.outwards(t, centre, outwards_.lanes(n));
    for (int i = 0; i < n; ++i)
      finish(&t[i], i);
  }

 private:
  struct Turns {
    float hc, hs, vc, vs;
  };
  struct Corner {
    point3 point;
    Turns turns;  // those of the deformed point, for the normals at it
    point3 normal;
  };
  using Table = BitKeyTable<6, Corner>;

  template <int N>
  struct VectorLanes {
    float x[N] = {}, y[N] = {}, z[N] = {};
    void put(int i, const point3& p) {
      x[i] = p.x;
      y[i] = p.y;
      z[i] = p.z;
    }
    point3 at(int i) const { return {x[i], y[i], z[i]}; }
    MeshDeformer::Lanes lanes(int n) { return {x, y, z, n}; }
  };
  template <int N>
  struct TurnLanes {
    float hc[N] = {}, hs[N] = {}, vc[N] = {}, vs[N] = {};
    void put(int i, const Turns& t) {
      hc[i] = t.hc;
      hs[i] = t.hs;
      vc[i] = t.vc;
      vs[i] = t.vs;
    }
    Turns at(int i) const { return {hc[i], hs[i], vc[i], vs[i]}; }
    MeshDeformer::TurnLanes lanes() { return {hc, hs, vc, vs}; }
  };

  // Where corner k of the block will find its deformation. A corner not met before is queued; one
  // the table has no room for is worked out in the block's own place for it.
  Corner* corner(const point3& p, const point3& n, int k) {
    const float words[6] = {p.x, p.y, p.z, n.x, n.y, n.z};
    bool found = false;
    Corner* kept = corners_.find(Table::KeyOf(words), &found);
    if (found)
      return kept;
    Corner* target = kept ? kept : &own_[k];
    points_.put(pending_, p);
    normals_.put(pending_, n);
    targets_[pending_++] = target;
    return target;
  }

  void deformPending() {
    const MeshDeformer::Lanes points = points_.lanes(pending_);
    deformer_.deformPoints(points);
    deformer_.turnsAt(points, turns_.lanes());
    deformer_.deformNormals(normals_.lanes(pending_), turns_.lanes());
    for (int j = 0; j < pending_; ++j)
      *targets_[j] = {points_.at(j), turns_.at(j), normals_.at(j)};
  }

  // Once the table stands aside, every corner of the block goes through the lanes as it comes,
  // without looking it up or keeping it.
  void deformEach(triangle* t, int n, const point3& centre) {
    for (int i = 0; i < n; ++i) {
      points_.put(3 * i, t[i].vertexA);
      points_.put(3 * i + 1, t[i].vertexB);
      points_.put(3 * i + 2, t[i].vertexC);
      normals_.put(4 * i, t[i].faceNormal);
      normals_.put(4 * i + 1, t[i].normalA);
      normals_.put(4 * i + 2, t[i].normalB);
      normals_.put(4 * i + 3, t[i].normalC);
    }
    const MeshDeformer::Lanes points = points_.lanes(3 * n);
    deformer_.deformPoints(points);
    deformer_.turnsAt(points, turns_.lanes());
    for (int i = 0; i < n; ++i) {
      // The face normal turns as the first vertex's normal does.
      normalTurns_.put(4 * i, turns_.at(3 * i));
      normalTurns_.put(4 * i + 1, turns_.at(3 * i));
      normalTurns_.put(4 * i + 2, turns_.at(3 * i + 1));
      normalTurns_.put(4 * i + 3, turns_.at(3 * i + 2));
    }
    deformer_.deformNormals(normals_.lanes(4 * n), normalTurns_.lanes());
    deformer_.outwards(t, centre, outwards_.lanes(n));
    for (int i = 0; i < n; ++i) {
      t[i].vertexA = points_.at(3 * i);
      t[i].vertexB = points_.at(3 * i + 1);
      t[i].vertexC = points_.at(3 * i + 2);
      t[i].faceNormal = normals_.at(4 * i);
      t[i].normalA = normals_.at(4 * i + 1);
      t[i].normalB = normals_.at(4 * i + 2);
      t[i].normalC = normals_.at(4 * i + 3);
      deformer_.explode(&t[i], outwards_.at(i));
    }
  }

  void finish(triangle* t, int i) const {
    t->vertexA = at_[3 * i]->point;
    t->vertexB = at_[3 * i + 1]->point;
    t->vertexC = at_[3 * i + 2]->point;
    t->faceNormal = faces_.at(i);
    t->normalA = at_[3 * i]->normal;
    t->normalB = at_[3 * i + 1]->normal;
    t->normalC = at_[3 * i + 2]->normal;
    deformer_.explode(t, outwards_.at(i));
  }

  const MeshDeformer& deformer_;
  Table corners_;
  // The block's working space.
  const Corner* at_[3 * kBlock];
  Corner own_[3 * kBlock];
  int pending_ = 0;
  VectorLanes<3 * kBlock> points_;
  VectorLanes<4 * kBlock> normals_;  // the block's vertex normals, and its face normals as well
  TurnLanes<3 * kBlock> turns_;
  TurnLanes<4 * kBlock> normalTurns_;
  Corner* targets_[3 * kBlock];
  VectorLanes<kBlock> faces_;
  TurnLanes<kBlock> faceTurns_;
  VectorLanes<kBlock> outwards_;  // the directions of the "From center" explode
};
