// The plain form of normalsFromCoord, for tests and benchmarks to compare against.
#pragma once

#include "TOLV_Mask/math/normals.h"

// Same contract and results as normalsFromCoord, computed one triangle at a time.
PF_Err normalsFromCoordReference(int cols, int rows, std::vector<vecNor>& vertices,
                                 std::vector<point3>& faceNormals, unsigned char wrap);
