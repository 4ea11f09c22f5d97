// A plain reading of the deformers: every matrix is rebuilt for every vector, step by step, in the
// order the deformation is described. The fast path must match it to the bit.
#pragma once

#include "TOLV_Distort/deform/DeformValues.h"
#include "common/MeshSlot.h"

namespace reference {

point3 DeformVector(const DeformValues& v, point3 p, bool point, const point3& q);

// Deforms, re-normalises and explodes one triangle in place.
void DeformTriangle(const DeformValues& v, triangle* t, const point3& centre);

// The mean of the slot's triangle centroids, over its count.
point3 MeshCentre(const MeshSlot& slot);

}  // namespace reference
