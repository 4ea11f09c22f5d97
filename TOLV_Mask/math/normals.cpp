// The grid normals, component by component. Positions are copied into one array per component;
// each row of cells gets its two raw face normals in straight loops; every face normal is
// normalised, summed into its corners and normalised a second time, as the face list's final pass
// would do. The face arrays carry a border of cells that do not exist, filled with −0, which adds
// nothing to any float (not even to −0), so that every vertex sums its up to six neighbours in
// the same order as the one-triangle-at-a-time reference, without a branch. The results are bit
// for bit those of normalsFromCoordReference.
//
// The square roots and divisions are those of vecNormaliseComponents, which on x86-64 Linux is
// also built for AVX2 and picked at run time; the same IEEE operations in wider registers give
// the same bits.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "TOLV_Mask/math/lengths.h"
#include "TOLV_Mask/math/normals.h"
#include "TOLV_Mask/math/vector3.h"

namespace {

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

void normalise(Components& c) {
  vecNormaliseComponents(c.x, c.y, c.z, c.n);
}

// vecNormalise on the normals of count vertex records.
void normaliseNormals(vecNor* v, size_t count) {
  if (count == 0)
    return;
  Components c(count);
  for (size_t i = 0; i < count; ++i)
    c.set(i, v[i].nor);
  normalise(c);
  for (size_t i = 0; i < count; ++i)
    v[i].nor = c.get(i);
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
  vecNormaliseComponents(f.x + first, f.y + first, f.z + first, count);
}

// Runs of six floats (two vectors of three, one after the other) to and from six arrays, four
// runs at a time in SSE registers where there are any: moves and shuffles only, so every bit is
// kept. The six arrays are x, y, z of the first vector, then of the second.
void splitSixes(const float* __restrict in, size_t count, float* const __restrict out[6]) {
  size_t i = 0;
#if defined(__SSE__)
  for (; i + 4 <= count; i += 4) {
    const float* s = in + 6 * i;
    // Each run's first vector and the x of its second, as a row of four, then the rows turned
    // into columns; the y and z of the second vectors come from the shuffles of their own.
    const __m128 a0 = _mm_loadu_ps(s), a1 = _mm_loadu_ps(s + 4), a2 = _mm_loadu_ps(s + 8);
    const __m128 a3 = _mm_loadu_ps(s + 12), a4 = _mm_loadu_ps(s + 16), a5 = _mm_loadu_ps(s + 20);
    __m128 r0 = a0, r1 = _mm_shuffle_ps(a1, a2, _MM_SHUFFLE(1, 0, 3, 2));
    __m128 r2 = a3, r3 = _mm_shuffle_ps(a4, a5, _MM_SHUFFLE(1, 0, 3, 2));
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    const __m128 yz01 = _mm_shuffle_ps(a1, a2, _MM_SHUFFLE(3, 2, 1, 0));
    const __m128 yz23 = _mm_shuffle_ps(a4, a5, _MM_SHUFFLE(3, 2, 1, 0));
    _mm_storeu_ps(out[0] + i, r0);
    _mm_storeu_ps(out[1] + i, r1);
    _mm_storeu_ps(out[2] + i, r2);
    _mm_storeu_ps(out[3] + i, r3);
    _mm_storeu_ps(out[4] + i, _mm_shuffle_ps(yz01, yz23, _MM_SHUFFLE(2, 0, 2, 0)));
    _mm_storeu_ps(out[5] + i, _mm_shuffle_ps(yz01, yz23, _MM_SHUFFLE(3, 1, 3, 1)));
  }
#endif
  for (; i < count; ++i) {
    for (int k = 0; k < 6; ++k)
      out[k][i] = in[6 * i + k];
  }
}

void joinSixes(const float* const __restrict in[6], size_t count, float* __restrict out) {
  size_t i = 0;
#if defined(__SSE__)
  for (; i + 4 <= count; i += 4) {
    __m128 r0 = _mm_loadu_ps(in[0] + i), r1 = _mm_loadu_ps(in[1] + i);
    __m128 r2 = _mm_loadu_ps(in[2] + i), r3 = _mm_loadu_ps(in[3] + i);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    const __m128 y = _mm_loadu_ps(in[4] + i), z = _mm_loadu_ps(in[5] + i);
    const __m128 yz01 = _mm_unpacklo_ps(y, z), yz23 = _mm_unpackhi_ps(y, z);
    float* d = out + 6 * i;
    _mm_storeu_ps(d, r0);
    _mm_storeu_ps(d + 4, _mm_movelh_ps(yz01, r1));
    _mm_storeu_ps(d + 8, _mm_shuffle_ps(r1, yz01, _MM_SHUFFLE(3, 2, 3, 2)));
    _mm_storeu_ps(d + 12, r2);
    _mm_storeu_ps(d + 16, _mm_movelh_ps(yz23, r3));
    _mm_storeu_ps(d + 20, _mm_shuffle_ps(r3, yz23, _MM_SHUFFLE(3, 2, 3, 2)));
  }
#endif
  for (; i < count; ++i) {
    for (int k = 0; k < 6; ++k)
      out[6 * i + k] = in[k][i];
  }
}

static_assert(sizeof(vecNor) == 6 * sizeof(float) && sizeof(point3) == 3 * sizeof(float),
              "vertex records and vectors are packed floats");

// The positions and normals of count records into one array per component.
void splitVertices(const vecNor* v, size_t count, Components& pos, Components& nor) {
  float* const out[6] = {pos.x, pos.y, pos.z, nor.x, nor.y, nor.z};
  splitSixes(reinterpret_cast<const float*>(v), count, out);
}

// The normals back into the records. The positions go back too, whole records being quicker to
// write than every other half of one: they are the bits splitVertices took out, unchanged.
void mergeNormals(const Components& pos, const Components& nor, vecNor* v) {
  const float* const in[6] = {pos.x, pos.y, pos.z, nor.x, nor.y, nor.z};
  joinSixes(in, pos.n, reinterpret_cast<float*>(v));
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

// The two face normals of every cell, in row-major cell order, onto the end of faces. They are
// put together a run of cells at a time in a small buffer and appended from there: growing the
// list first would fill it with zeros only to write over them.
void appendFaces(const Components& f1, const Components& f2, size_t cols, size_t rows,
                 std::vector<point3>& faces) {
  constexpr size_t kCells = 256;
  point3 joined[2 * kCells];
  faces.reserve(faces.size() + 2 * cols * rows);
  for (size_t r = 0; r < rows; ++r) {
    for (size_t c = 0; c < cols; c += kCells) {
      const size_t n = std::min(kCells, cols - c);
      const size_t at = (r + 1) * (cols + 2) + 1 + c;
      const float* const in[6] = {f1.x + at, f1.y + at, f1.z + at, f2.x + at, f2.y + at, f2.z + at};
      joinSixes(in, n, reinterpret_cast<float*>(joined));
      faces.insert(faces.end(), joined, joined + 2 * n);
    }
  }
}

// The face normals are appended to faces unless it is null.
void gridNormals(size_t cols, size_t rows, std::vector<vecNor>& v, std::vector<point3>* faces,
                 bool wrap) {
  const size_t count = (cols + 1) * (rows + 1);
  Components pos(count), sum(count);
  splitVertices(v.data(), count, pos, sum);
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
  mergeNormals(pos, sum, v.data());
  if (!faces)
    return;

  normaliseCells(f1, cols, rows);
  normaliseCells(f2, cols, rows);
  appendFaces(f1, f2, cols, rows, *faces);
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
  normaliseNormals(vertices.data() + normalised, vertices.size() - normalised);
  if (earlierFaces > 0)
    vecNormaliseEach(faceNormals->data(), earlierFaces);
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
