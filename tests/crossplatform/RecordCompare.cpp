#include "tests/crossplatform/RecordCompare.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/MeshSlot.h"

namespace tbtest {

namespace {

template <typename T>
T load(const std::vector<unsigned char>& bytes, size_t offset) {
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The fields of a triangle in order: 21 floats of positions and normals, six doubles of texture
// coordinates, the reserved float.
struct Field {
  size_t offset;
  bool isDouble;
};

std::vector<Field> triangleFields() {
  std::vector<Field> fields;
  for (size_t i = 0; i < 21; ++i)
    fields.push_back({i * 4, false});
  for (size_t i = 0; i < 6; ++i)
    fields.push_back({offsetof(triangle, uvA) + i * 8, true});
  fields.push_back({offsetof(triangle, reserved), false});
  return fields;
}

void compareValue(double x, double y, double tolerance, const std::string& where,
                  RecordDifference& diff) {
  if (std::isnan(x) && std::isnan(y))
    return;
  const double scale = std::max({1.0, std::fabs(x), std::fabs(y)});
  const double relative = std::fabs(x - y) / scale;
  if (std::isnan(relative) || relative > tolerance) {
    if (diff.valuesBeyond++ == 0)
      diff.firstBeyond = where;
  }
  if (!std::isnan(relative))
    diff.largestRelative = std::max(diff.largestRelative, relative);
}

}  // namespace

RecordDifference compareRecords(const std::vector<unsigned char>& a,
                                const std::vector<unsigned char>& b, double tolerance) {
  RecordDifference diff;
  if (a.size() != kMeshSlotBytes || b.size() != kMeshSlotBytes) {
    diff.bytesDiffering = std::max(a.size(), b.size());
    diff.valuesBeyond = 1;
    diff.firstBeyond = "record sizes " + std::to_string(a.size()) + " and " +
                       std::to_string(b.size()) + ", not " + std::to_string(kMeshSlotBytes);
    return diff;
  }
  for (size_t i = 0; i < a.size(); ++i)
    diff.bytesDiffering += a[i] != b[i];
  if (diff.bytesDiffering == 0)
    return diff;

  const size_t trailer = offsetof(MeshSlot, triangleCount);
  const int32_t count = load<int32_t>(a, trailer);
  const size_t used = count >= 0 && count <= kMaxTriangles ? size_t(count) : 0;
  const std::vector<Field> fields = triangleFields();
  for (size_t t = 0; t < used; ++t) {
    for (const Field& f : fields) {
      const size_t at = t * kTriangleBytes + f.offset;
      const std::string where =
          "triangle " + std::to_string(t) + " byte " + std::to_string(f.offset);
      if (f.isDouble)
        compareValue(load<double>(a, at), load<double>(b, at), tolerance, where, diff);
      else
        compareValue(load<float>(a, at), load<float>(b, at), tolerance, where, diff);
    }
  }
  const size_t bump = offsetof(MeshSlot, bumpAmount);
  compareValue(load<float>(a, bump), load<float>(b, bump), tolerance, "bump amount", diff);
  for (size_t i = used * kTriangleBytes; i < a.size(); ++i) {
    if (i >= bump && i < bump + sizeof(float))
      continue;
    if (a[i] != b[i]) {
      if (diff.valuesBeyond++ == 0)
        diff.firstBeyond = "byte " + std::to_string(i) + " outside the used triangles";
    }
  }
  return diff;
}

}  // namespace tbtest
