// `render --out DIR`: the meshes the stand-in renderer received, one binary glTF file each.
#pragma once

#include <string>
#include <vector>

#include "testbed/host/Host.h"
#include "testbed/scene/SceneRun.h"

namespace tb {

// For every mesh report of every step, the record it names is written as
// DIR/stepNN_RRRR_LAYER_slotS.glb (step from 01, RRRR the record's arrival index), so that a
// listing reads in render order. Records that give no mesh (see hasGltfMesh) give no file. Throws
// HostError naming the file that could not be written.
void writeMeshFiles(const std::vector<scene::StepReport>& steps,
                    const std::vector<EngineRecord>& records, const std::string& dir);

// The file name writeMeshFiles uses for a report of the step with the given index (from 0), the
// step numbered with `digits` digits.
std::string meshFileName(size_t step, const scene::MeshReport& mesh, int digits = 2);

// Digits that number `steps` steps from 1 so that names sort in order: at least 2, more for a long
// range of frames.
int stepDigits(size_t steps);

}  // namespace tb
