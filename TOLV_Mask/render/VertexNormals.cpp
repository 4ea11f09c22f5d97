#include "TOLV_Mask/render/VertexNormals.h"

namespace mask {

NormalsKind ChooseNormals(const MeshSettings& settings, A_long maskCount) {
  if (settings.terrainMode == kAfterMaskWarping && (maskCount >= 2 || settings.inheritsGeometry()))
    return NormalsKind::kSurface;
  if ((settings.terrainMode != kBeforeMaskWarping || settings.terrainSource != 0) &&
      settings.zDisplace != 0)
    return NormalsKind::kFlat;
  return NormalsKind::kSurface;
}

// The list is made zeroed and only the positions are written: a record built whole and pushed
// was assembled on the stack piece by piece and read back at once, which stalled every element.
std::vector<vecNor> MakeVecNors(const std::vector<point3>& vertices) {
  std::vector<vecNor> vecNors(vertices.size());
  for (size_t i = 0; i < vertices.size(); ++i)
    vecNors[i].pos = vertices[i];
  return vecNors;
}

void SetFlatNormals(std::vector<vecNor>& vecNors, std::vector<point3>& faceNormals,
                    A_long maskCount) {
  const point3 flat = {0, 0, maskCount < 2 ? 1.0f : -1.0f};
  for (vecNor& v : vecNors) {
    v.nor = flat;
    faceNormals.push_back(flat);
  }
}

PF_Err RecomputeNormals(A_long cols, A_long rows, std::vector<vecNor>& vecNors,
                        std::vector<point3>& faceNormals, A_u_char closedShape) {
  for (vecNor& v : vecNors)
    v.nor = {0, 0, 0};
  faceNormals.clear();
  return normalsFromCoord(cols, rows, vecNors, faceNormals, closedShape);
}

}  // namespace mask
