// Face and vertex normals of the mask effect's vertex grid.
#pragma once

#include <vector>

#include "AE_Effect.h"
#include "common/point3.h"

// One grid vertex: its position, then its normal.
struct vecNor {
  point3 pos;
  point3 nor;
};

// The grid is row-major, cols + 1 vertices per row and rows + 1 rows; each cell is cut along its
// top-left to bottom-right diagonal into (TL, TR, BR) and (TL, BR, BL).
//
// Appends the unit normal of every triangle to faceNormals, two per cell in row-major cell order,
// and sets each vertex's nor to the normalised sum of the unit normals of its triangles. With wrap
// set, the first and last vertex of every row get their common sum, so a surface closing on itself
// shows no seam. Afterwards every nor of the whole vertex list and every entry of the whole
// faceNormals list is normalised.
//
// The caller zeroes every nor and empties faceNormals beforehand: this function only adds to them.
// Returns PF_Err_NONE, or PF_Err_INVALID_INDEX without touching either list when the vertex list is
// shorter than the grid. With cols < 0 there is no grid and the wrap step is skipped.
PF_Err normalsFromCoord(int cols, int rows, std::vector<vecNor>& vertices,
                        std::vector<point3>& faceNormals, unsigned char wrap);

// The vertex normals of normalsFromCoord, bit for bit, without the face normals: for a grid whose
// faces are worked out again later. The caller zeroes every nor beforehand.
PF_Err vertexNormalsFromCoord(int cols, int rows, std::vector<vecNor>& vertices,
                              unsigned char wrap);
