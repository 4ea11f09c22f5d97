#include "TOLV_Mask/render/MaskSampling.h"

#include <algorithm>

#include "TOLV_Mask/render/Placement.h"
#include "TOLV_Mask/render/Saturate.h"

namespace mask {

namespace {

// Samples of segment s of n: floor(C / n), the remainder going to the last.
A_long samplesInSegment(A_long columns, A_long n, A_long s) {
  const A_long even = columns / n;
  return s < n - 1 ? even : columns - even * (n - 1);
}

// Distance of sample j of k along a segment of the given length: the product in double, the
// quotient rounded to f32.
double sampleDistance(double length, A_long j, A_long k) {
  return static_cast<float>(length * j / static_cast<float>(k));
}

void grow(UvRect& r, double x, double y) {
  if (y < r.top)
    r.top = SaturateToLong(y);
  if (y > r.bottom)
    r.bottom = SaturateToLong(y);
  if (x < r.left)
    r.left = SaturateToLong(x);
  if (x > r.right)
    r.right = SaturateToLong(x);
}

// A fraction of the layer's full-resolution size; 0 across a layer without extent.
double textureFraction(double value, A_long size, float inverseDownsample) {
  const float fullSize = static_cast<float>(size) * inverseDownsample;
  return fullSize != 0.0f ? value / fullSize : 0.0;
}

}  // namespace

A_long UsableSegments(const MaskOutline& current, const MaskOutline* reference) {
  A_long n = current.segmentCount();
  if (reference)
    n = std::min(n, reference->segmentCount());
  return std::max<A_long>(n, 0);
}

MaskRow SampleMaskRow(MaskOutline& current, MaskOutline* reference,
                      const SamplingSettings& settings, const A_Matrix4& placement, float z,
                      UvRect& uvRect) {
  MaskRow row;
  const A_long n = UsableSegments(current, reference);
  const double dx = static_cast<double>(settings.dx);
  const double dy = static_cast<double>(settings.dy);
  for (A_long s = 0; s < n; ++s) {
    const double length = current.prepareSegment(s);
    const double referenceLength = reference ? reference->prepareSegment(s) : 0.0;
    const A_long k = samplesInSegment(settings.columns, n, s);
    const A_long lastSample = s < n - 1 ? k - 1 : k;
    for (A_long j = 0; j <= lastSample; ++j) {
      A_FloatPoint p;
      if (!current.pointAt(s, sampleDistance(length, j, k), &p))
        continue;
      A_FloatPoint source = p;
      if (reference && !reference->pointAt(s, sampleDistance(referenceLength, j, k), &source))
        continue;
      grow(uvRect, source.x * dx, source.y * dy);
      row.uvs.push_back({textureFraction(source.x, settings.width, settings.invDx),
                         textureFraction(source.y, settings.height, settings.invDy)});
      row.points.push_back(TransformPoint(p.x * dx, p.y * dy, -static_cast<double>(z), placement));
    }
    current.releaseSegment(s);
    if (reference)
      reference->releaseSegment(s);
  }
  return row;
}

}  // namespace mask
