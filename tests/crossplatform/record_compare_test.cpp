#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "common/MeshSlot.h"
#include "tests/crossplatform/RecordCompare.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes recordWith(int32_t count) {
  Bytes bytes(kMeshSlotBytes, 0);
  std::memcpy(bytes.data() + offsetof(MeshSlot, triangleCount), &count, sizeof count);
  for (int32_t t = 0; t < count; ++t) {
    const float x = 100.0f + float(t);
    std::memcpy(bytes.data() + t * kTriangleBytes, &x, sizeof x);
    const double u = 0.25 * t;
    std::memcpy(bytes.data() + t * kTriangleBytes + offsetof(triangle, uvB), &u, sizeof u);
  }
  return bytes;
}

void setFloat(Bytes& bytes, size_t offset, float value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

TEST(RecordCompare, equalRecordsHaveNoDifference) {
  const tbtest::RecordDifference d = tbtest::compareRecords(recordWith(3), recordWith(3), 0.0);
  EXPECT_EQ(d.bytesDiffering, 0u);
  EXPECT_EQ(d.valuesBeyond, 0u);
}

TEST(RecordCompare, lastBitOfAPositionIsWithinToleranceButNotExact) {
  const Bytes a = recordWith(3);
  Bytes b = a;
  setFloat(b, kTriangleBytes + 4, std::nextafter(0.0f, 1.0f));
  setFloat(b, 2 * kTriangleBytes, std::nextafter(102.0f, 200.0f));
  const tbtest::RecordDifference loose = tbtest::compareRecords(a, b, 1e-6);
  EXPECT_GT(loose.bytesDiffering, 0u);
  EXPECT_EQ(loose.valuesBeyond, 0u);
  EXPECT_GT(loose.largestRelative, 0.0);
  const tbtest::RecordDifference exact = tbtest::compareRecords(a, b, 0.0);
  EXPECT_EQ(exact.valuesBeyond, 2u);
  EXPECT_EQ(exact.firstBeyond, "triangle 1 byte 4");
}

TEST(RecordCompare, textureCoordinatesAreComparedAsDoubles) {
  const Bytes a = recordWith(2);
  Bytes b = a;
  const double u = std::nextafter(0.25, 1.0);
  std::memcpy(b.data() + kTriangleBytes + offsetof(triangle, uvB), &u, sizeof u);
  EXPECT_EQ(tbtest::compareRecords(a, b, 1e-12).valuesBeyond, 0u);
  EXPECT_EQ(tbtest::compareRecords(a, b, 1e-17).valuesBeyond, 1u);
}

TEST(RecordCompare, countsAndUnusedTrianglesMustBeEqualWhateverTheTolerance) {
  EXPECT_GT(tbtest::compareRecords(recordWith(3), recordWith(4), 1.0).valuesBeyond, 0u);
  const Bytes a = recordWith(3);
  Bytes b = a;
  setFloat(b, 3 * kTriangleBytes, 1e-30f);
  const tbtest::RecordDifference d = tbtest::compareRecords(a, b, 1.0);
  EXPECT_EQ(d.valuesBeyond, 4u);  // each of the four non-zero bytes of the float
  EXPECT_EQ(d.firstBeyond,
            "byte " + std::to_string(3 * kTriangleBytes) + " outside the used triangles");
}

TEST(RecordCompare, aNumberAgainstNotANumberIsBeyondAnyTolerance) {
  const Bytes a = recordWith(1);
  Bytes b = a;
  setFloat(b, 8, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(tbtest::compareRecords(a, b, 1.0).valuesBeyond, 1u);
  EXPECT_EQ(tbtest::compareRecords(b, b, 0.0).valuesBeyond, 0u);
}

TEST(RecordCompare, recordsOfAnotherSizeDifferWholly) {
  Bytes shorter = recordWith(1);
  shorter.pop_back();
  const tbtest::RecordDifference d = tbtest::compareRecords(recordWith(1), shorter, 1.0);
  EXPECT_EQ(d.valuesBeyond, 1u);
  EXPECT_EQ(d.firstBeyond, "record sizes 2720048 and 2720047, not 2720048");
}

}  // namespace
