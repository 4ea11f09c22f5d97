// One mask sampled into one row of the grid: columns + 1 points spread over its segments by
// length, placed in 3-D, each with the texture coordinate of the outline that supplies it.
#pragma once

#include "TOLV_Mask/render/MaskOutline.h"
#include "TOLV_Mask/render/RenderState.h"

namespace mask {

struct SamplingSettings {
  A_long columns = 1;            // C: the row gets C + 1 samples
  A_u_long dx = 1, dy = 1;       // denominators of the host's downsample factors
  float invDx = 1, invDy = 1;    // 1 / dx, 1 / dy
  A_long width = 0, height = 0;  // the layer, in (downsampled) pixels
};

// Segments both outlines can be walked along: the current outline's, or the fewer of the two.
A_long UsableSegments(const MaskOutline& current, const MaskOutline* reference);

// Samples the mask. Every segment but the last gets floor(C / n) samples, the last the rest and
// one more, its end. With a reference outline, texture coordinates come from the same distances
// (relative to its own segment lengths) along it. `uvRect` grows to take in every texture source
// point, in full-resolution pixels. A point the outline cannot give is left out, so the row of a
// failed or empty outline comes out short.
MaskRow SampleMaskRow(MaskOutline& current, MaskOutline* reference,
                      const SamplingSettings& settings, const A_Matrix4& placement, float z,
                      UvRect& uvRect);

}  // namespace mask
