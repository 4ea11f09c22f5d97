// Many lengths and normalisations at once against one vecLength or vecNormalise at a time,
// compared by their bits: random bit patterns (NaN, infinities, subnormals and overflowing squares
// among them) and the corner values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "TOLV_Mask/math/lengths.h"
#include "TOLV_Mask/math/vector3.h"

namespace {

uint32_t bitsOf(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

float fromBits(uint32_t b) {
  float f;
  std::memcpy(&f, &b, sizeof f);
  return f;
}

// Checks every length of the components, handed over in one batch.
void expectLengthsOfEach(const std::vector<float>& x, const std::vector<float>& y,
                         const std::vector<float>& z) {
  std::vector<float> length(x.size(), -1.0f);
  vecLengths(x.data(), y.data(), z.data(), x.size(), length.data());
  for (size_t i = 0; i < x.size(); ++i) {
    const float one = vecLength({x[i], y[i], z[i]});
    ASSERT_EQ(bitsOf(length[i]), bitsOf(one))
        << "lane " << i << " of (" << x[i] << ", " << y[i] << ", " << z[i] << ")";
  }
}

TEST(VecLengths, AreVecLengthBitForBitForRandomBitPatterns) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 50; ++round) {
    // Odd sizes leave a tail after the widest vector loop.
    const size_t n = 997 + static_cast<size_t>(round);
    std::vector<float> x(n), y(n), z(n);
    for (size_t i = 0; i < n; ++i) {
      x[i] = fromBits(static_cast<uint32_t>(random()));
      y[i] = fromBits(static_cast<uint32_t>(random()));
      z[i] = fromBits(static_cast<uint32_t>(random()));
    }
    expectLengthsOfEach(x, y, z);
  }
}

TEST(VecLengths, AreVecLengthBitForBitForCornerValues) {
  const float inf = std::numeric_limits<float>::infinity();
  const float big = std::numeric_limits<float>::max();
  const std::vector<float> values = {0.0f,
                                     -0.0f,
                                     1.0f,
                                     -3.0f,
                                     1e-45f,
                                     std::numeric_limits<float>::min(),
                                     1e19f,
                                     big,
                                     -big,
                                     inf,
                                     -inf,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     -std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::signaling_NaN()};
  std::vector<float> x, y, z;
  for (float a : values) {
    for (float b : values) {
      for (float c : values) {
        x.push_back(a);
        y.push_back(b);
        z.push_back(c);
      }
    }
  }
  expectLengthsOfEach(x, y, z);
}

TEST(VecLengths, SmallLengthsAndOneNaNAmongFiniteVectors) {
  std::vector<float> x = {3.0f, 0.1f, 1e-30f, 0.0f, 5.0f};
  std::vector<float> y = {4.0f, 0.2f, 1e-30f, std::nanf(""), 12.0f};
  std::vector<float> z = {12.0f, 0.3f, 1e-30f, std::numeric_limits<float>::infinity(), 0.0f};
  std::vector<float> length(x.size());
  vecLengths(x.data(), y.data(), z.data(), x.size(), length.data());
  EXPECT_EQ(length[0], 13.0f);
  EXPECT_EQ(length[4], 13.0f);
  expectLengthsOfEach(x, y, z);
}

// Normalised in batches longer than one run of lengths, with zeros of both signs among them, in
// both forms: one array per component and one vector after another.
TEST(VecNormaliseEach, IsVecNormaliseBitForBit) {
  std::mt19937 random(20261208);
  const size_t n = 1301;
  std::vector<point3> vectors(n);
  for (size_t i = 0; i < n; ++i) {
    auto component = [&]() -> float {
      if (random() % 8 == 0)
        return random() % 2 ? 0.0f : -0.0f;
      return fromBits(static_cast<uint32_t>(random()));
    };
    vectors[i] = {component(), component(), component()};
  }
  vectors[7] = {-0.0f, 0.0f, -0.0f};
  std::vector<point3> each = vectors;
  vecNormaliseEach(each.data(), n);
  std::vector<float> x, y, z;
  for (const point3& v : vectors) {
    x.push_back(v.x);
    y.push_back(v.y);
    z.push_back(v.z);
  }
  vecNormaliseComponents(x.data(), y.data(), z.data(), n);
  for (size_t i = 0; i < n; ++i) {
    point3 one = vectors[i];
    vecNormalise(one);
    const point3 lanes = {x[i], y[i], z[i]};
    ASSERT_EQ(std::memcmp(&each[i], &one, sizeof one), 0) << i;
    ASSERT_EQ(std::memcmp(&lanes, &one, sizeof one), 0) << i;
  }
}

}  // namespace
