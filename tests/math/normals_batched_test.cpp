// normalsFromCoord against its one-triangle-at-a-time reference, bit for bit, over generated grids
// that cross chunk boundaries and carry zeros, signed zeros, tiny, huge, infinite and NaN values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/normals_reference.h"

namespace {

struct GridCase {
  int cols;
  int rows;
  unsigned char wrap;
  bool specials;  // sprinkle awkward values among the coordinates
  uint32_t seed;
};

void PrintTo(const GridCase& c, std::ostream* os) {
  *os << c.cols << "x" << c.rows << (c.wrap ? " wrap" : "") << (c.specials ? " specials" : "")
      << " seed " << c.seed;
}

float awkward(std::mt19937& rng) {
  const float values[] = {0.0f,
                          -0.0f,
                          std::numeric_limits<float>::denorm_min(),
                          1e-30f,
                          1e30f,
                          -3e38f,
                          std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()};
  return values[rng() % (sizeof values / sizeof values[0])];
}

float coordinate(std::mt19937& rng, bool specials) {
  if (specials && rng() % 16 == 0)
    return awkward(rng);
  return static_cast<float>(static_cast<int32_t>(rng() % 2000001) - 1000000) / 1000.0f;
}

// A grid with a few vertices beyond it, some normals already non-zero and a face list that is not
// empty, so that the whole-list passes and the order of the sums are covered too.
struct Lists {
  std::vector<vecNor> vertices;
  std::vector<point3> faces;
};

Lists makeLists(const GridCase& c) {
  std::mt19937 rng(c.seed);
  Lists l;
  const size_t count = (static_cast<size_t>(c.cols) + 1) * (static_cast<size_t>(c.rows) + 1) + 3;
  for (size_t i = 0; i < count; ++i) {
    vecNor v{
        {coordinate(rng, c.specials), coordinate(rng, c.specials), coordinate(rng, c.specials)},
        {0, 0, 0}};
    if (rng() % 8 == 0)
      v.nor = {coordinate(rng, false), coordinate(rng, false), 0.5f};
    // Repeated positions give triangles without area.
    if (i > 0 && rng() % 10 == 0)
      v.pos = l.vertices[i - 1].pos;
    l.vertices.push_back(v);
  }
  for (int i = 0; i < 5; ++i) {
    l.faces.push_back({coordinate(rng, c.specials), coordinate(rng, c.specials), 0});
  }
  return l;
}

// Bit for bit, except that a NaN matches any NaN: which operand's sign and payload an operation on
// two NaNs passes on is up to the compiler's choice of operand order, for the reference as well.
bool sameBits(float a, float b) {
  return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const point3& a, const point3& b) {
  return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

class NormalsBatched : public testing::TestWithParam<GridCase> {};

TEST_P(NormalsBatched, MatchesTheReferenceBitForBit) {
  const GridCase& c = GetParam();
  Lists batched = makeLists(c);
  Lists reference = batched;
  const PF_Err batchedErr =
      normalsFromCoord(c.cols, c.rows, batched.vertices, batched.faces, c.wrap);
  const PF_Err referenceErr =
      normalsFromCoordReference(c.cols, c.rows, reference.vertices, reference.faces, c.wrap);
  EXPECT_EQ(batchedErr, referenceErr);
  ASSERT_EQ(batched.vertices.size(), reference.vertices.size());
  ASSERT_EQ(batched.faces.size(), reference.faces.size());
  for (size_t i = 0; i < batched.vertices.size(); ++i) {
    ASSERT_TRUE(sameBits(batched.vertices[i].pos, reference.vertices[i].pos)) << "vertex " << i;
    ASSERT_TRUE(sameBits(batched.vertices[i].nor, reference.vertices[i].nor)) << "vertex " << i;
  }
  for (size_t i = 0; i < batched.faces.size(); ++i) {
    ASSERT_TRUE(sameBits(batched.faces[i], reference.faces[i])) << "face " << i;
  }
}

TEST_P(NormalsBatched, VertexNormalsAloneAreThoseOfTheFullRun) {
  const GridCase& c = GetParam();
  Lists full = makeLists(c);
  full.faces.clear();
  std::vector<vecNor> alone = full.vertices;
  EXPECT_EQ(vertexNormalsFromCoord(c.cols, c.rows, alone, c.wrap),
            normalsFromCoord(c.cols, c.rows, full.vertices, full.faces, c.wrap));
  ASSERT_EQ(alone.size(), full.vertices.size());
  for (size_t i = 0; i < alone.size(); ++i) {
    ASSERT_TRUE(sameBits(alone[i].pos, full.vertices[i].pos)) << "vertex " << i;
    ASSERT_TRUE(sameBits(alone[i].nor, full.vertices[i].nor)) << "vertex " << i;
  }
}

std::vector<GridCase> gridCases() {
  const int shapes[][2] = {{1, 1},   {2, 0},  {0, 3},  {127, 1}, {128, 1}, {129, 1}, {7, 37},
                           {91, 99}, {-1, 2}, {3, -1}, {40, 40}, {256, 2}, {301, 3}};
  std::vector<GridCase> cases;
  uint32_t seed = 0;
  for (const auto& shape : shapes) {
    for (unsigned char wrap = 0; wrap < 2; ++wrap) {
      for (bool specials : {false, true})
        cases.push_back({shape[0], shape[1], wrap, specials, ++seed});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Grids, NormalsBatched, testing::ValuesIn(gridCases()));

TEST(NormalsBatched, ShortListIsRefusedLikeTheReference) {
  std::vector<vecNor> vertices(3);
  std::vector<point3> faces;
  EXPECT_EQ(normalsFromCoord(1, 1, vertices, faces, 0),
            normalsFromCoordReference(1, 1, vertices, faces, 0));
}

}  // namespace
