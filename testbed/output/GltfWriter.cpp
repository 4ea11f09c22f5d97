#include "testbed/output/GltfWriter.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

namespace tb {

namespace {

struct Corner {
  float position[3];
  float normal[3];
  float uv[2];
};

bool finite(const point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Positions and directions in glTF's axes: y up instead of down.
void toGltf(const point3& p, float (&out)[3]) {
  out[0] = p.x;
  out[1] = -p.y;
  out[2] = p.z;
}

bool unit(double x, double y, double z, float (&out)[3]) {
  const double len = std::sqrt(x * x + y * y + z * z);
  if (!std::isfinite(len) || len < 1e-12)
    return false;
  out[0] = static_cast<float>(x / len);
  out[1] = static_cast<float>(y / len);
  out[2] = static_cast<float>(z / len);
  return true;
}

// The triangle's own normal from its corners, in glTF's axes; straight up when it has no area.
void faceNormal(const Corner (&c)[3], float (&out)[3]) {
  const double e1[3] = {c[1].position[0] - c[0].position[0], c[1].position[1] - c[0].position[1],
                        c[1].position[2] - c[0].position[2]};
  const double e2[3] = {c[2].position[0] - c[0].position[0], c[2].position[1] - c[0].position[1],
                        c[2].position[2] - c[0].position[2]};
  if (!unit(e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
            e1[0] * e2[1] - e1[1] * e2[0], out))
    out[0] = 0, out[1] = 1, out[2] = 0;
}

// The packed triangle's fields are copied out, never bound by reference: the texture coordinates
// are not aligned to their own size.
bool corners(const triangle& t, Corner (&c)[3]) {
  const point3 p[3] = {t.vertexA, t.vertexB, t.vertexC};
  const point3 n[3] = {t.normalA, t.normalB, t.normalC};
  const A_FloatPoint uv[3] = {t.uvA, t.uvB, t.uvC};
  for (int i = 0; i < 3; ++i) {
    if (!finite(p[i]))
      return false;
    toGltf(p[i], c[i].position);
    c[i].uv[0] = static_cast<float>(uv[i].x);
    c[i].uv[1] = static_cast<float>(uv[i].y);
    if (!std::isfinite(c[i].uv[0]) || !std::isfinite(c[i].uv[1]))
      c[i].uv[0] = c[i].uv[1] = 0.0f;
  }
  float face[3];
  faceNormal(c, face);
  for (int i = 0; i < 3; ++i) {
    if (!finite(n[i]) || !unit(n[i].x, -static_cast<double>(n[i].y), n[i].z, c[i].normal))
      std::copy(face, face + 3, c[i].normal);
  }
  return true;
}

// Appends one attribute of every corner (components floats at offset in Corner) to the buffer as a
// tightly packed view with its accessor; returns the accessor's index.
int addAttribute(tinygltf::Model& model, const std::vector<Corner>& all, size_t offset,
                 int components, bool bounds) {
  tinygltf::Buffer& buffer = model.buffers[0];
  const size_t start = buffer.data.size();
  const size_t item = sizeof(float) * static_cast<size_t>(components);
  buffer.data.resize(start + item * all.size());
  std::vector<double> lo(components, std::numeric_limits<double>::infinity());
  std::vector<double> hi(components, -std::numeric_limits<double>::infinity());
  for (size_t i = 0; i < all.size(); ++i) {
    const float* f =
        reinterpret_cast<const float*>(reinterpret_cast<const char*>(&all[i]) + offset);
    std::memcpy(buffer.data.data() + start + i * item, f, item);
    for (int k = 0; k < components; ++k) {
      lo[k] = std::min<double>(lo[k], f[k]);
      hi[k] = std::max<double>(hi[k], f[k]);
    }
  }
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = start;
  view.byteLength = item * all.size();
  view.target = TINYGLTF_TARGET_ARRAY_BUFFER;
  model.bufferViews.push_back(view);
  tinygltf::Accessor accessor;
  accessor.bufferView = static_cast<int>(model.bufferViews.size() - 1);
  accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
  accessor.count = all.size();
  accessor.type = components == 3 ? TINYGLTF_TYPE_VEC3 : TINYGLTF_TYPE_VEC2;
  if (bounds) {
    accessor.minValues = lo;
    accessor.maxValues = hi;
  }
  model.accessors.push_back(accessor);
  return static_cast<int>(model.accessors.size() - 1);
}

// Colour bytes are display (sRGB) values; glTF's base colour factor is linear.
double linear(uint8_t byte) {
  const double c = byte / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

tinygltf::Material material(const MeshSlot& record) {
  tinygltf::Material m;
  m.name = "mesh colour";
  m.pbrMetallicRoughness.baseColorFactor = {linear(record.color[1]), linear(record.color[2]),
                                            linear(record.color[3]), record.color[0] / 255.0};
  m.pbrMetallicRoughness.metallicFactor = 0.0;
  m.pbrMetallicRoughness.roughnessFactor = 1.0;
  m.alphaMode = record.color[0] == 255 ? "OPAQUE" : "BLEND";
  m.doubleSided = true;
  return m;
}

}  // namespace

bool hasGltfMesh(const MeshSlot& record) {
  if (record.slotIndex < 0 || record.slotIndex >= kStoreSlots || record.triangleCount < 1 ||
      record.triangleCount > kMaxTriangles)
    return false;
  Corner c[3];
  for (int t = 0; t < record.triangleCount; ++t) {
    if (corners(record.triangles[t], c))
      return true;
  }
  return false;
}

bool writeMeshGlb(const MeshSlot& record, const std::string& path, std::string& error) {
  if (!hasGltfMesh(record)) {
    error = "the record names no slot or carries no triangle with finite corners";
    return false;
  }
  std::vector<Corner> all;
  all.reserve(static_cast<size_t>(record.triangleCount) * 3);
  for (int t = 0; t < record.triangleCount; ++t) {
    Corner c[3];
    if (corners(record.triangles[t], c))
      all.insert(all.end(), c, c + 3);
  }
  tinygltf::Model model;
  model.asset.version = "2.0";
  model.asset.generator = "TOLV testbed";
  model.buffers.resize(1);
  tinygltf::Primitive primitive;
  primitive.mode = TINYGLTF_MODE_TRIANGLES;
  primitive.attributes["POSITION"] = addAttribute(model, all, offsetof(Corner, position), 3, true);
  primitive.attributes["NORMAL"] = addAttribute(model, all, offsetof(Corner, normal), 3, false);
  primitive.attributes["TEXCOORD_0"] = addAttribute(model, all, offsetof(Corner, uv), 2, false);
  model.materials.push_back(material(record));
  primitive.material = 0;
  tinygltf::Mesh mesh;
  mesh.name = "slot " + std::to_string(record.slotIndex);
  mesh.primitives.push_back(primitive);
  model.meshes.push_back(mesh);
  tinygltf::Node node;
  node.mesh = 0;
  node.name = mesh.name;
  model.nodes.push_back(node);
  tinygltf::Scene scene;
  scene.nodes.push_back(0);
  model.scenes.push_back(scene);
  model.defaultScene = 0;
  // The library's own file writer answers success for a file it could not open, so the stream is
  // opened and checked here.
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  tinygltf::TinyGLTF writer;
  if (!file || !writer.WriteGltfSceneToStream(&model, file, false, true)) {
    error = "cannot be written";
    return false;
  }
  file.close();
  if (!file) {
    error = "cannot be written";
    return false;
  }
  return true;
}

}  // namespace tb
