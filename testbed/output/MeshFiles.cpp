#include "testbed/output/MeshFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "testbed/host/HostError.h"
#include "testbed/output/GltfWriter.h"

namespace tb {

int stepDigits(size_t steps) {
  int digits = 1;
  for (size_t n = steps; n >= 10; n /= 10)
    ++digits;
  return std::max(digits, 2);
}

std::string meshFileName(size_t step, const scene::MeshReport& mesh, int digits) {
  std::string layer = mesh.layer;
  for (char& c : layer) {
    if (c == '/' || c == '\\' || c == '\0')
      c = '_';
  }
  char prefix[64];
  std::snprintf(prefix, sizeof prefix, "step%0*zu_%04zu_", digits, step + 1, mesh.record);
  return prefix + layer + "_slot" + std::to_string(mesh.slot) + ".glb";
}

void writeMeshFiles(const std::vector<scene::StepReport>& steps,
                    const std::vector<EngineRecord>& records, const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    throw HostError(dir + ": " + ec.message());
  auto record = std::make_unique<MeshSlot>();
  for (size_t i = 0; i < steps.size(); ++i) {
    for (const scene::MeshReport& mesh : steps[i].meshes) {
      if (mesh.record >= records.size() || records[mesh.record].bytes.size() != sizeof(MeshSlot))
        continue;
      std::memcpy(record.get(), records[mesh.record].bytes.data(), sizeof(MeshSlot));
      if (!hasGltfMesh(*record))
        continue;
      const std::string path = dir + "/" + meshFileName(i, mesh, stepDigits(steps.size()));
      std::string error;
      if (!writeMeshGlb(*record, path, error))
        throw HostError(path + ": " + error);
    }
  }
}

}  // namespace tb
