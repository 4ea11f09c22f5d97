// The grid normals, component by component. Positions are copied into one array per component;
// each row of cells gets its two raw face normals in straight loops; every face normal is
// normalised, summed into its corners and normalised a second time, as the face list's final pass
// would do. The face arrays carry a border of cells that do not exist, filled with −0, which adds
// nothing to any float (not even to −0), so that every vertex sums its up to six neighbours in
// the same order as the one-triangle-at-a-time reference, without a branch. The results are bit
// for bit those of normalsFromCoordReference.
//
// On x86-64 Linux the loops that carry the square roots and divisions are also built for AVX2
// and picked at run time; the same IEEE operations in wider registers give the same bits.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "TOLV_Mask/math/lengths.h"
#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/vector3.h"
#include "TOLV_Mask/math/wide_clones.h"

namespace {

constexpr size_t kChunk = 512;

// Three arrays of n floats, one per component, left uninitialised: every user writes before it
// reads.
struct Components {
  std::unique_ptr<float[]> storage;
  float* x;
  float* y;
  float* z;
  size_t n;
  explicit Components(size_t count)
      : storage(new float[3 * count]), x(storage.get()), y(x + count), z(y + count), n(count) {}
  point3 get(size_t i) const { return {x[i], y[i], z[i]}; }
  void set(size_t i, const point3& p) {
    x[i] = p.x;
    y[i] = p.y;
    z[i] = p.z;
  }
};

// A length of 0 only comes from a vector of zeros, which is divided by 1 instead and so stays as it
// is.
TOLV_WIDE_CLONES void divide(float* __restrict x, float* __restrict y, float* __restrict z,
                             const float* __restrict length, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    const float divisor = length[i] == 0.0f ? 1.0f : length[i];
    x[i] /= divisor;
    y[i] /= divisor;
    z[i] /= divisor;
  }
}

// vecNormalise on the first n vectors, in place.
void normaliseComponents(float* x, float* y, float* z, size_t n) {
  float length[kChunk];
  for (size_t base = 0; base < n; base += kChunk) {
    const size_t k = std::min(kChunk, n - base);
    vecLengths(x + base, y + base, z + base, k, length);
    divide(x + base, y + base, z + base, length, k);
  }
}

void normalise(Components& c) {
  normaliseComponents(c.x, c.y, c.z, c.n);
}

// vecNormalise on count vectors stored one after another with other data between them.
template <typename At>
void normaliseEach(size_t count, At at) {
  if (count == 0)
    return;
  Components c(count);
  for (size_t i = 0; i < count; ++i)
    c.set(i, at(i));
  normalise(c);
  for (size_t i = 0; i < count; ++i)
    at(i) = c.get(i);
}

// The raw normals (b − a) × (c − a) of the two triangles of every cell of row r, into the face
// arrays at their bordered places.
void rowCrosses(const Components& p, size_t cols, size_t r, Components& f1, Components& f2) {
  const size_t top = r * (cols + 1);
  const size_t bottom = top + cols + 1;
  const size_t out = (r + 1) * (cols + 2) + 1;
  for (size_t c = 0; c < cols; ++c) {
    const size_t tl = top + c, tr = tl + 1, bl = bottom + c, br = bl + 1;
    const float ux = p.x[tr] - p.x[tl], uy = p.y[tr] - p.y[tl], uz = p.z[tr] - p.z[tl];
    const float wx = p.x[br] - p.x[tl], wy = p.y[br] - p.y[tl], wz = p.z[br] - p.z[tl];
    f1.x[out + c] = uy * wz - uz * wy;
    f1.y[out + c] = uz * wx - ux * wz;
    f1.z[out + c] = ux * wy - uy * wx;
    const float sx = p.x[bl] - p.x[tl], sy = p.y[bl] - p.y[tl], sz = p.z[bl] - p.z[tl];
    f2.x[out + c] = wy * sz - wz * sy;
    f2.y[out + c] = wz * sx - wx * sz;
    f2.z[out + c] = wx * sy - wy * sx;
  }
}

// One component of the vertex sums of vertex row r: the cells up-left (its two triangles), up,
// left, and the vertex's own cell (its two triangles), in the order the cells come in row-major
// order.
void sumRow(const float* __restrict f1, const float* __restrict f2, size_t cols, size_t r,
            float* __restrict sum) {
  const float* up1 = f1 + r * (cols + 2);
  const float* up2 = f2 + r * (cols + 2);
  const float* own1 = up1 + cols + 2;
  const float* own2 = up2 + cols + 2;
  for (size_t c = 0; c <= cols; ++c) {
    float s = sum[c];
    s += up1[c];
    s += up2[c];
    s += up2[c + 1];
    s += own1[c];
    s += own1[c + 1];
    s += own2[c + 1];
    sum[c] = s;
  }
}

// The last vertex of each row takes the sum of both ends, the first a copy of it.
void weldRowEnds(size_t cols, size_t rows, Components& s) {
  for (size_t r = 0; r <= rows; ++r) {
    const size_t first = r * (cols + 1);
    const size_t last = first + cols;
    s.x[last] += s.x[first];
    s.y[last] += s.y[first];
    s.z[last] += s.z[first];
    s.x[first] = s.x[last];
    s.y[first] = s.y[last];
    s.z[first] = s.z[last];
  }
}

// The rows of the bordered face arrays that hold cells; the border keeps its −0 either way.
void normaliseCells(Components& f, size_t cols, size_t rows) {
  const size_t first = cols + 2;
  const size_t count = rows * (cols + 2);
  normaliseComponents(f.x + first, f.y + first, f.z + first, count);
}

// The positions and normals of count records into one array per component, in straight loops
// that the compiler can turn into vector shuffles.
void splitVertices(const vecNor* __restrict v, size_t count, float* __restrict px,
                   float* __restrict py, float* __restrict pz, float* __restrict nx,
                   float* __restrict ny, float* __restrict nz) {
  for (size_t i = 0; i < count; ++i) {
    px[i] = v[i].pos.x;
    py[i] = v[i].pos.y;
    pz[i] = v[i].pos.z;
    nx[i] = v[i].nor.x;
    ny[i] = v[i].nor.y;
    nz[i] = v[i].nor.z;
  }
}

// The normals back into the records, positions untouched.
void mergeNormals(const float* __restrict nx, const float* __restrict ny,
                  const float* __restrict nz, size_t count, vecNor* __restrict v) {
  for (size_t i = 0; i < count; ++i) {
    v[i].nor.x = nx[i];
    v[i].nor.y = ny[i];
    v[i].nor.z = nz[i];
  }
}

// The cells around the grid, which do not exist, hold −0.
void fillBorder(Components& f, size_t cols, size_t rows) {
  const size_t width = cols + 2;
  for (float* a : {f.x, f.y, f.z}) {
    std::fill(a, a + width, -0.0f);
    std::fill(a + (rows + 1) * width, a + (rows + 2) * width, -0.0f);
    for (size_t r = 1; r <= rows; ++r) {
      a[r * width] = -0.0f;
      a[r * width + cols + 1] = -0.0f;
    }
  }
}

// The face normals are appended to faces unless it is null.
void gridNormals(size_t cols, size_t rows, std::vector<vecNor>& v, std::vector<point3>* faces,
                 bool wrap) {
  const size_t count = (cols + 1) * (rows + 1);
  Components pos(count), sum(count);
  splitVertices(v.data(), count, pos.x, pos.y, pos.z, sum.x, sum.y, sum.z);
  const size_t bordered = (cols + 2) * (rows + 2);
  Components f1(bordered), f2(bordered);
  fillBorder(f1, cols, rows);
  fillBorder(f2, cols, rows);
  for (size_t r = 0; r < rows; ++r)
    rowCrosses(pos, cols, r, f1, f2);
  normaliseCells(f1, cols, rows);
  normaliseCells(f2, cols, rows);

  for (size_t r = 0; r <= rows; ++r) {
    const size_t at = r * (cols + 1);
    sumRow(f1.x, f2.x, cols, r, sum.x + at);
    sumRow(f1.y, f2.y, cols, r, sum.y + at);
    sumRow(f1.z, f2.z, cols, r, sum.z + at);
  }
  if (wrap)
    weldRowEnds(cols, rows, sum);
  normalise(sum);
  mergeNormals(sum.x, sum.y, sum.z, count, v.data());
  if (!faces)
    return;

  normaliseCells(f1, cols, rows);
  normaliseCells(f2, cols, rows);
  const size_t earlier = faces->size();
  faces->resize(earlier + 2 * cols * rows);
  point3* out = faces->data() + earlier;
  for (size_t r = 0; r < rows; ++r) {
    const size_t in = (r + 1) * (cols + 2) + 1;
    for (size_t c = 0; c < cols; ++c) {
      *out++ = f1.get(in + c);
      *out++ = f2.get(in + c);
    }
  }
}

PF_Err normalsOf(int cols, int rows, std::vector<vecNor>& vertices,
                 std::vector<point3>* faceNormals, unsigned char wrap) {
  const size_t earlierFaces = faceNormals ? faceNormals->size() : 0;
  size_t normalised = 0;
  if (cols >= 0 && rows >= 0) {
    const uint64_t needed = (static_cast<uint64_t>(cols) + 1) * (static_cast<uint64_t>(rows) + 1);
    if (vertices.size() < needed)
      return PF_Err_INVALID_INDEX;
    const size_t c = static_cast<size_t>(cols);
    const size_t r = static_cast<size_t>(rows);
    gridNormals(c, r, vertices, faceNormals, wrap != 0);
    normalised = static_cast<size_t>(needed);
  }
  normaliseEach(vertices.size() - normalised,
                [&](size_t i) -> point3& { return vertices[normalised + i].nor; });
  normaliseEach(earlierFaces, [&](size_t i) -> point3& { return (*faceNormals)[i]; });
  return PF_Err_NONE;
}

}  // namespace

PF_Err normalsFromCoord(int cols, int rows, std::vector<vecNor>& vertices,
                        std::vector<point3>& faceNormals, unsigned char wrap) {
  return normalsOf(cols, rows, vertices, &faceNormals, wrap);
}

PF_Err vertexNormalsFromCoord(int cols, int rows, std::vector<vecNor>& vertices,
                              unsigned char wrap) {
  return normalsOf(cols, rows, vertices, nullptr, wrap);
}
