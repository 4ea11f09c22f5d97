// Meshes out as binary glTF: what is written reads back with the same library in glTF's axes, a
// record that gives no mesh gives no file, file names list in render order, and the Khronos
// validator finds no error where node and its package can be had.
#include <gtest/gtest.h>
#include <tiny_gltf.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "testbed/output/GltfWriter.h"
#include "testbed/output/MeshFiles.h"
#include "tests/support/ExitStatus.h"
#include "tests/support/Modules.h"

namespace {

namespace fs = std::filesystem;

std::unique_ptr<MeshSlot> twoTriangles() {
  auto record = std::make_unique<MeshSlot>();
  std::memset(record.get(), 0, sizeof(MeshSlot));
  triangle& a = record->triangles[0];
  a.vertexA = {10, 20, 30};
  a.vertexB = {110, 20, 30};
  a.vertexC = {10, 120, -5};
  a.normalA = {0, 0, 2};  // not unit: normalised on the way out
  a.normalB = {0, 1, 0};
  a.normalC = {0.6f, 0, 0.8f};
  a.uvA = {0.0, 0.0};
  a.uvB = {0.5, 0.0};
  a.uvC = {0.0, 1.25};
  triangle& b = record->triangles[1];
  b.vertexA = {0, 0, 0};
  b.vertexB = {4, 0, 0};
  b.vertexC = {0, 4, 0};
  b.normalA = {0, 0, 0};  // no length: the triangle's own normal stands in
  b.normalB = {0, 0, 1};
  b.normalC = {0, 0, 1};
  record->triangleCount = 2;
  record->slotIndex = 3;
  record->meshEnabled = 1;
  const uint8_t colour[4] = {128, 255, 0, 188};  // alpha, red, green, blue
  std::memcpy(record->color, colour, sizeof colour);
  return record;
}

// A folder of its own per process (other builds of the suite may run at the same time on the
// machine), removed with everything in it at the end of the test.
class ScratchDir {
 public:
  ScratchDir() : dir_(fs::temp_directory_path() / ("tolv_gltf_test_" + std::to_string(getpid()))) {
    fs::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string operator()(const std::string& name) const { return (dir_ / name).string(); }

 private:
  fs::path dir_;
};

std::vector<float> floats(const tinygltf::Model& model, int accessor_index) {
  const tinygltf::Accessor& accessor = model.accessors.at(accessor_index);
  const tinygltf::BufferView& view = model.bufferViews.at(accessor.bufferView);
  const int components = accessor.type == TINYGLTF_TYPE_VEC3 ? 3 : 2;
  EXPECT_EQ(accessor.componentType, TINYGLTF_COMPONENT_TYPE_FLOAT);
  std::vector<float> out(accessor.count * components);
  std::memcpy(out.data(),
              model.buffers.at(view.buffer).data.data() + view.byteOffset + accessor.byteOffset,
              out.size() * sizeof(float));
  return out;
}

tinygltf::Model readBack(const std::string& path) {
  tinygltf::Model model;
  tinygltf::TinyGLTF loader;
  std::string err, warn;
  EXPECT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, path)) << err;
  EXPECT_EQ(err, "");
  return model;
}

TEST(GltfWriter, aRecordReadsBackWithYUpAndUnitNormals) {
  ScratchDir scratch;
  const std::string path = scratch("two.glb");
  std::string error;
  ASSERT_TRUE(tb::writeMeshGlb(*twoTriangles(), path, error)) << error;
  const tinygltf::Model model = readBack(path);
  EXPECT_EQ(model.asset.version, "2.0");
  ASSERT_EQ(model.meshes.size(), 1u);
  ASSERT_EQ(model.meshes[0].primitives.size(), 1u);
  const tinygltf::Primitive& p = model.meshes[0].primitives[0];
  EXPECT_EQ(p.mode, TINYGLTF_MODE_TRIANGLES);
  EXPECT_EQ(p.indices, -1);
  const std::vector<float> positions = floats(model, p.attributes.at("POSITION"));
  const std::vector<float> normals = floats(model, p.attributes.at("NORMAL"));
  const std::vector<float> uvs = floats(model, p.attributes.at("TEXCOORD_0"));
  EXPECT_EQ(model.accessors[p.attributes.at("POSITION")].count, 6u);
  EXPECT_EQ(positions, (std::vector<float>{10, -20, 30, 110, -20, 30, 10, -120, -5,  //
                                           0, 0, 0, 4, 0, 0, 0, -4, 0}));
  // The second triangle's own normal, (0, 0, -1) after the y flip turns the winding over.
  EXPECT_EQ(normals, (std::vector<float>{0, 0, 1, 0, -1, 0, 0.6f, 0, 0.8f,  //
                                         0, 0, -1, 0, 0, 1, 0, 0, 1}));
  EXPECT_EQ(uvs, (std::vector<float>{0, 0, 0.5f, 0, 0, 1.25f, 0, 0, 0, 0, 0, 0}));
  const tinygltf::Accessor& pos = model.accessors[p.attributes.at("POSITION")];
  EXPECT_EQ(pos.minValues, (std::vector<double>{0, -120, -5}));
  EXPECT_EQ(pos.maxValues, (std::vector<double>{110, 0, 30}));
}

TEST(GltfWriter, theColourIsTheBaseColourInLinearLightWithItsAlpha) {
  ScratchDir scratch;
  const std::string path = scratch("colour.glb");
  std::string error;
  ASSERT_TRUE(tb::writeMeshGlb(*twoTriangles(), path, error)) << error;
  const tinygltf::Model model = readBack(path);
  ASSERT_EQ(model.materials.size(), 1u);
  const tinygltf::Material& m = model.materials[0];
  const std::vector<double>& c = m.pbrMetallicRoughness.baseColorFactor;
  ASSERT_EQ(c.size(), 4u);
  EXPECT_DOUBLE_EQ(c[0], 1.0);
  EXPECT_DOUBLE_EQ(c[1], 0.0);
  EXPECT_NEAR(c[2], 0.502886, 1e-6);  // sRGB 188 is about half the light
  EXPECT_DOUBLE_EQ(c[3], 128 / 255.0);
  EXPECT_EQ(m.alphaMode, "BLEND");
  EXPECT_TRUE(m.doubleSided);
  EXPECT_EQ(model.meshes[0].primitives[0].material, 0);
}

TEST(GltfWriter, trianglesWithCornersThatAreNotNumbersAreLeftOut) {
  ScratchDir scratch;
  auto record = twoTriangles();
  record->triangles[0].vertexB.y = std::numeric_limits<float>::quiet_NaN();
  const std::string path = scratch("nan.glb");
  std::string error;
  ASSERT_TRUE(tb::writeMeshGlb(*record, path, error)) << error;
  const tinygltf::Model model = readBack(path);
  EXPECT_EQ(model.accessors[model.meshes[0].primitives[0].attributes.at("POSITION")].count, 3u);
}

TEST(GltfWriter, aRecordThatGivesNoMeshGivesNoFile) {
  ScratchDir scratch;
  auto record = twoTriangles();
  const std::string path = scratch("none.glb");
  std::string error;
  for (auto spoil : std::vector<void (*)(MeshSlot&)>{
           [](MeshSlot& r) { r.slotIndex = -1; }, [](MeshSlot& r) { r.slotIndex = 10; },
           [](MeshSlot& r) { r.triangleCount = 0; },
           [](MeshSlot& r) { r.triangleCount = kMaxTriangles + 1; },
           [](MeshSlot& r) {
             r.triangles[0].vertexA.x = r.triangles[1].vertexC.z =
                 std::numeric_limits<float>::infinity();
           }}) {
    auto spoiled = std::make_unique<MeshSlot>(*record);
    spoil(*spoiled);
    fs::remove(path);
    EXPECT_FALSE(tb::hasGltfMesh(*spoiled));
    EXPECT_FALSE(tb::writeMeshGlb(*spoiled, path, error));
    EXPECT_FALSE(fs::exists(path));
  }
  EXPECT_TRUE(tb::hasGltfMesh(*record));
}

TEST(GltfWriter, anUnwritablePathIsAnError) {
  std::string error;
  EXPECT_FALSE(tb::writeMeshGlb(*twoTriangles(), "/nonexistent-dir/x/mesh.glb", error));
  EXPECT_EQ(error, "cannot be written");
}

TEST(MeshFiles, namesListInStepThenArrivalOrder) {
  tb::scene::MeshReport a;
  a.layer = "Card";
  a.record = 10;
  a.slot = 0;
  tb::scene::MeshReport b;
  b.layer = "a/b";
  b.record = 3;
  b.slot = 9;
  EXPECT_EQ(tb::meshFileName(1, a), "step02_0010_Card_slot0.glb");
  EXPECT_EQ(tb::meshFileName(9, b), "step10_0003_a_b_slot9.glb");
  EXPECT_LT(tb::meshFileName(1, a), tb::meshFileName(9, b));
}

tb::EngineRecord asReceived(const MeshSlot& record) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
  return {nullptr, std::vector<unsigned char>(bytes, bytes + sizeof(MeshSlot))};
}

TEST(MeshFiles, everyMeshOfEveryStepIsAFileAndARecordWithoutOneIsSkipped) {
  ScratchDir scratch;
  const fs::path dir = scratch("steps");
  fs::remove_all(dir);
  auto bad = twoTriangles();
  bad->slotIndex = -1;
  const std::vector<tb::EngineRecord> records = {asReceived(*twoTriangles()), asReceived(*bad),
                                                 asReceived(*twoTriangles())};
  std::vector<tb::scene::StepReport> steps(2);
  steps[0].meshes.resize(2);
  steps[0].meshes[0].layer = "Card";
  steps[0].meshes[0].record = 0;
  steps[0].meshes[0].slot = 3;
  steps[0].meshes[1].layer = "Card";
  steps[0].meshes[1].record = 1;
  steps[0].meshes[1].slot = -1;
  steps[1].meshes.resize(1);
  steps[1].meshes[0].layer = "Card";
  steps[1].meshes[0].record = 2;
  steps[1].meshes[0].slot = 3;
  tb::writeMeshFiles(steps, records, dir.string());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names,
            (std::vector<std::string>{"step01_0000_Card_slot3.glb", "step02_0002_Card_slot3.glb"}));
  const tinygltf::Model model = readBack((dir / names[1]).string());
  EXPECT_EQ(model.meshes.at(0).name, "slot 3");
}

// Runs a command and gives back its exit status and what it printed.
int run(const std::string& command, std::string* output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe)
    return -1;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output->append(buffer, n);
  const int status = pclose(pipe);
  return tbtest::exitStatus(status);
}

TEST(GltfWriter, theKhronosValidatorFindsNoError) {
  ScratchDir scratch;
  std::string out;
  if (run("node --version", &out) != 0)
    GTEST_SKIP() << "node is not installed: the glTF validator cannot run";
  const fs::path prefix = fs::absolute(tbtest::buildDir()) / "gltf-validator";
  const fs::path package = prefix / "node_modules" / "gltf-validator";
  if (!fs::exists(package / "package.json")) {
    out.clear();
    if (run("timeout 180 npm install --no-audit --no-fund --fetch-retries=1 --prefix '" +
                prefix.string() + "' gltf-validator",
            &out) != 0 ||
        !fs::exists(package / "package.json"))
      GTEST_SKIP() << "npm could not install gltf-validator:\n" << out;
  }
  const std::string path = scratch("validate.glb");
  std::string error;
  ASSERT_TRUE(tb::writeMeshGlb(*twoTriangles(), path, error)) << error;
  out.clear();
  EXPECT_EQ(
      run("node tests/viewer/validate_gltf.js '" + package.string() + "' '" + path + "'", &out), 0)
      << out;
  EXPECT_NE(out.find("\"numErrors\":0"), std::string::npos) << out;
}

}  // namespace
