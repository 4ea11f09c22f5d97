#include "TOLV_Mask/render/MaskGrid.h"

#include <algorithm>
#include <cstdint>

#include "TOLV_Mask/render/FlatGrid.h"
#include "TOLV_Mask/render/GridTriangles.h"
#include "TOLV_Mask/render/HostOutline.h"
#include "TOLV_Mask/render/MaskSampling.h"
#include "TOLV_Mask/render/Placement.h"
#include "TOLV_Mask/render/RowsBetween.h"

namespace mask {

namespace {

constexpr A_long kMaxColumns = 91;

// The translation row of the light's layer-to-world matrix at a composition time; zeros when the
// host could not give it.
void LightPosition(HostStatus& status, const AEGP_SuiteHandler& suites, AEGP_LayerH light,
                   A_Time time, double position[3]) {
  A_Matrix4 m = {};
  status.call([&] { return suites.LayerSuite13()->AEGP_GetLayerToWorldXform(light, &time, &m); });
  for (int k = 0; k < 3; ++k)
    position[k] = status.ok() ? m.mat[3][k] : 0.0;
}

MaskPose PoseOf(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                AEGP_LayerH light, const RenderParams& params, const PF_InData& in_data, A_long i,
                A_long count) {
  const MaskGroup& group = params.groups[i];
  MaskPose pose;
  pose.z = static_cast<float>(group.z);
  pose.cx = static_cast<float>(in_data.width * 0.5);
  pose.cy = static_cast<float>(in_data.height * 0.5);
  pose.rotationX = group.rotationX;
  pose.rotationY = group.rotationY;
  pose.rotationZ = group.rotationZ;
  if (!light)
    return pose;
  const bool last = i == count - 1;
  const A_Time t = LightTime(context.pathSpan, i, count);
  double here[3];
  LightPosition(status, suites, light, t, here);
  pose.z = static_cast<float>(here[2]);
  pose.cx = static_cast<float>(here[0]);
  pose.cy = static_cast<float>(here[1]);
  if (params.orientOnPath) {
    double neighbour[3];
    LightPosition(status, suites, light, NeighbourTime(t, last), neighbour);
    pose.orientation = OrientOnPath(here, neighbour, last);
  }
  return pose;
}

SamplingSettings SamplingOf(const PF_InData& in_data, const RenderState& state) {
  SamplingSettings s;
  s.columns = state.columns;
  s.dx = in_data.downsample_x.den ? in_data.downsample_x.den : 1;
  s.dy = in_data.downsample_y.den ? in_data.downsample_y.den : 1;
  s.invDx = state.invDx;
  s.invDy = state.invDy;
  s.width = in_data.width;
  s.height = in_data.height;
  return s;
}

// Samples mask i with its reference outline as "Reference mask sampling" asks; both outlines
// are checked back in when the row is done.
MaskRow SampleMask(HostStatus& status, const AEGP_SuiteHandler& suites, const RenderParams& params,
                   RenderState& state, A_long i, const A_Matrix4& placement, float z) {
  const PF_InData& in_data = *status.in_data();
  HostOutline current(status, suites);
  current.checkout(static_cast<PF_PathID>(state.maskPathId[i]), in_data.current_time);
  HostOutline reference(status, suites);
  bool hasReference = false;
  if (params.referenceSampling == kShapeAtZeroTime) {
    reference.checkout(static_cast<PF_PathID>(state.maskPathId[i]), 0);
    hasReference = true;
  } else if (params.referenceSampling == kReferenceMaskAtCurrentTime &&
             state.referencePathId[i] != kNoPath) {
    reference.checkout(static_cast<PF_PathID>(state.referencePathId[i]), in_data.current_time);
    hasReference = true;
  }
  return SampleMaskRow(current, hasReference ? &reference : nullptr, SamplingOf(in_data, state),
                       placement, z, state.uvRect);
}

void BuildMaskRows(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
                   AEGP_LayerH light, const RenderParams& params, RenderState& state) {
  const PF_InData& in_data = *status.in_data();
  const A_long count = state.maskCount;
  const A_long rowsPerGap = RowsPerGap(params.ySubdivide, count, params.cubic);
  const size_t grid = GridVertexCount(state.columns, rowsPerGap * (count - 1));
  state.vertices.reserve(grid);
  state.texture.reserve(grid);
  MaskRow previous;
  for (A_long i = 0; i < count; ++i) {
    const MaskPose pose = PoseOf(status, suites, context, light, params, in_data, i, count);
    const A_Matrix4 placement = PlacementMatrix(in_data.width, in_data.height, pose);
    MaskRow row = SampleMask(status, suites, params, state, i, placement, pose.z);
    if (i == 0)
      state.firstRow = row;
    else
      AppendRowsBetween(previous, row, state.columns, rowsPerGap, i == count - 1, state.vertices,
                        state.texture);
    previous = std::move(row);
  }
  state.lastRow = previous;
  state.rows = rowsPerGap * (count - 1);
  if (CubicApplies(params.cubic, params.ySubdivide, count))
    CubicPass(state.vertices, state.texture, state.columns, count, params.ySubdivide,
              params.tension, &state.rows);
}

}  // namespace

A_long ColumnCount(A_long maxSegments, A_long xSubdivide) {
  const int64_t columns = static_cast<int64_t>(maxSegments) * xSubdivide;
  return static_cast<A_long>(std::clamp<int64_t>(columns, 1, kMaxColumns));
}

void BuildGrid(HostStatus& status, const AEGP_SuiteHandler& suites, const LayerContext& context,
               AEGP_LayerH light, const RenderParams& params, RenderState& state) {
  if (state.maskCount < 2) {
    const PF_InData& in_data = *status.in_data();
    state.columns = params.xSubdivide;
    state.rows = params.ySubdivide;
    BuildFlatGrid(params.xSubdivide, params.ySubdivide, in_data.width, in_data.height,
                  state.vertices, state.texture);
    return;
  }
  BuildMaskRows(status, suites, context, light, params, state);
}

}  // namespace mask
