// Mesh records out as binary glTF 2.0 (.glb), for looking at them in any 3-D viewer.
//
// Axes: a record is in layer pixels with x right, y down and z towards the viewer; glTF has y up
// and, right-handed, z towards the viewer. The file therefore holds (x, -y, z) for positions and
// normals, one unit per pixel, origin at the layer's top-left corner. Mirroring one axis also turns
// the winding over, so the material is double-sided, as the stand-in renderer draws both faces.
// Texture coordinates keep their meaning (fractions of the record's texture rectangle, v down),
// which is glTF's own convention.
#pragma once

#include <string>
#include <vector>

#include "common/MeshSlot.h"

namespace tb {

// Whether a record gives a file: it names a slot (0..9), announces 1..20,000 triangles and at
// least one of them has finite corners.
bool hasGltfMesh(const MeshSlot& record);

// Writes the record's triangles (three vertices each, with their normals and texture coordinates)
// and its colour as the material's base colour (alpha below 255 blends). Triangles with a corner
// that is not a finite number are left out; a normal of no length or not finite is replaced by the
// triangle's own, so that every normal written is a unit vector. False, with the reason in error,
// when the record gives no file (hasGltfMesh) or the file cannot be written.
bool writeMeshGlb(const MeshSlot& record, const std::string& path, std::string& error);

}  // namespace tb
