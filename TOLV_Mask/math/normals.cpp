// The grid normals in chunks of cells. For each chunk the raw face normals are gathered into
// arrays, their lengths taken and divided out in straight loops of fixed count that the compiler
// turns into vector code, their sums added to the vertices in cell order, and then they are
// normalised a second time, as the face list's final pass would do, before they are stored. The
// results are bit for bit those of normalsFromCoordReference.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/vector3.h"

namespace {

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 35))
// From 2.35 on, glibc's hypotf is the double square root of the double sum of squares, narrowed
// once to float, for any argument that is not NaN. Written out, it vectorises.
constexpr bool kHypotfIsDoubleSqrt = true;
#else
constexpr bool kHypotfIsDoubleSqrt = false;
#endif

constexpr size_t kChunk = 256;

// Up to kChunk vectors, component by component.
struct Chunk {
  float x[kChunk];
  float y[kChunk];
  float z[kChunk];
  float length[kChunk];

  void set(size_t i, const point3& p) {
    x[i] = p.x;
    y[i] = p.y;
    z[i] = p.z;
  }
  point3 get(size_t i) const { return {x[i], y[i], z[i]}; }
};

float hypotfInDouble(float x, float y) {
  return static_cast<float>(std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
}

// vecLength of the first n vectors. The whole chunk is computed so that the loop has a fixed count;
// with a NaN among the arguments hypotf may answer infinity, so those few go through it.
void chunkLengths(Chunk& c, size_t n) {
  if (!kHypotfIsDoubleSqrt) {
    for (size_t i = 0; i < n; ++i)
      c.length[i] = vecLength(c.get(i));
    return;
  }
  for (size_t i = 0; i < kChunk; ++i) {
    c.length[i] = hypotfInDouble(hypotfInDouble(c.x[i], c.y[i]), c.z[i]);
  }
  for (size_t i = 0; i < n; ++i) {
    if (std::isnan(c.length[i]))
      c.length[i] = vecLength(c.get(i));
  }
}

// A length of 0 only comes from a vector of zeros, which is divided by 1 instead and so stays as it
// is.
void divideByLengths(Chunk& c) {
  for (size_t i = 0; i < kChunk; ++i) {
    const float divisor = c.length[i] == 0.0f ? 1.0f : c.length[i];
    c.x[i] /= divisor;
    c.y[i] /= divisor;
    c.z[i] /= divisor;
  }
}

// vecNormalise on the first n vectors of the chunk.
void normaliseChunk(Chunk& c, size_t n) {
  std::fill(c.x + n, c.x + kChunk, 0.0f);
  std::fill(c.y + n, c.y + kChunk, 0.0f);
  std::fill(c.z + n, c.z + kChunk, 0.0f);
  chunkLengths(c, n);
  divideByLengths(c);
}

// vecNormalise on count vectors, at(i) giving the i-th.
template <typename At>
void normaliseAll(size_t count, At at) {
  Chunk c;
  for (size_t base = 0; base < count; base += kChunk) {
    const size_t n = std::min(kChunk, count - base);
    for (size_t i = 0; i < n; ++i)
      c.set(i, at(base + i));
    normaliseChunk(c, n);
    for (size_t i = 0; i < n; ++i)
      at(base + i) = c.get(i);
  }
}

// (b − a) × (c − a), not yet normalised.
inline point3 cross(const point3& a, const point3& b, const point3& c) {
  const point3 u{b.x - a.x, b.y - a.y, b.z - a.z};
  const point3 w{c.x - a.x, c.y - a.y, c.z - a.z};
  return {u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
}

inline void addTo(point3& sum, const point3& n) {
  sum.x += n.x;
  sum.y += n.y;
  sum.z += n.z;
}

// Top-left corners of a run of consecutive cells in row-major order.
struct CellWalk {
  size_t cols;
  size_t row = 0;
  size_t col = 0;

  size_t topLeft() const { return row * (cols + 1) + col; }
  void next() {
    if (++col < cols)
      return;
    col = 0;
    ++row;
  }
};

// Face normals of the cells from walk on, (TL, TR, BR) then (TL, BR, BL) for each, into the chunk.
void gatherCellCrosses(CellWalk walk, size_t cells, const std::vector<vecNor>& v, Chunk& c) {
  for (size_t k = 0; k < cells; ++k, walk.next()) {
    const size_t tl = walk.topLeft();
    const size_t br = tl + walk.cols + 2;
    c.set(2 * k, cross(v[tl].pos, v[tl + 1].pos, v[br].pos));
    c.set(2 * k + 1, cross(v[tl].pos, v[br].pos, v[tl + walk.cols + 1].pos));
  }
}

// Adds each cell's two unit normals to its corners, in the order of one cell at a time.
void addCellNormals(CellWalk walk, size_t cells, const Chunk& c, std::vector<vecNor>& v) {
  for (size_t k = 0; k < cells; ++k, walk.next()) {
    const size_t tl = walk.topLeft();
    const size_t br = tl + walk.cols + 2;
    const point3 n1 = c.get(2 * k);
    const point3 n2 = c.get(2 * k + 1);
    addTo(v[tl].nor, n1);
    addTo(v[tl + 1].nor, n1);
    addTo(v[br].nor, n1);
    addTo(v[tl].nor, n2);
    addTo(v[br].nor, n2);
    addTo(v[tl + walk.cols + 1].nor, n2);
  }
}

// Nothing touches a face normal between its first normalisation and the face list's final one, so
// the final one is done here, chunk by chunk.
void faceNormalsOfCells(size_t cols, size_t rows, std::vector<vecNor>& v, point3* out) {
  constexpr size_t kCellsPerChunk = kChunk / 2;
  const size_t cellCount = cols * rows;
  Chunk c;
  CellWalk walk{cols};
  for (size_t first = 0; first < cellCount; first += kCellsPerChunk) {
    const size_t cells = std::min(kCellsPerChunk, cellCount - first);
    gatherCellCrosses(walk, cells, v, c);
    normaliseChunk(c, 2 * cells);
    addCellNormals(walk, cells, c, v);
    normaliseChunk(c, 2 * cells);
    for (size_t i = 0; i < 2 * cells; ++i)
      *out++ = c.get(i);
    for (size_t k = 0; k < cells; ++k)
      walk.next();
  }
}

// The last vertex of each row takes the sum of both ends, the first a copy of it.
void weldRowEnds(size_t cols, size_t rows, std::vector<vecNor>& v) {
  for (size_t r = 0; r <= rows; ++r) {
    const size_t first = r * (cols + 1);
    const size_t last = first + cols;
    addTo(v[last].nor, v[first].nor);
    v[first].nor = v[last].nor;
  }
}

}  // namespace

PF_Err normalsFromCoord(int cols, int rows, std::vector<vecNor>& vertices,
                        std::vector<point3>& faceNormals, unsigned char wrap) {
  const size_t earlierFaces = faceNormals.size();
  if (cols >= 0 && rows >= 0) {
    const uint64_t needed = (static_cast<uint64_t>(cols) + 1) * (static_cast<uint64_t>(rows) + 1);
    if (vertices.size() < needed)
      return PF_Err_INVALID_INDEX;
    const size_t c = static_cast<size_t>(cols);
    const size_t r = static_cast<size_t>(rows);
    faceNormals.resize(earlierFaces + 2 * c * r);
    faceNormalsOfCells(c, r, vertices, faceNormals.data() + earlierFaces);
    if (wrap)
      weldRowEnds(c, r, vertices);
  }
  normaliseAll(vertices.size(), [&](size_t i) -> point3& { return vertices[i].nor; });
  normaliseAll(earlierFaces, [&](size_t i) -> point3& { return faceNormals[i]; });
  return PF_Err_NONE;
}
