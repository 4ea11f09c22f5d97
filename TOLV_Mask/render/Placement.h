// Where a mask sits in 3-D: stacked by its own depth and rotations, or strung along the motion
// path of a light layer. Pure arithmetic; the light's positions are looked up by the caller.
#pragma once

#include "A.h"
#include "common/point3.h"

namespace mask {

// The composition's duration minus one frame, at the duration's scale. The frame is counted in
// 64 bits and truncated; a frame duration without a scale gives a span of 0.
A_Time PathSpan(A_Time duration, A_Time frame);

// The time of mask i of count on the light's path: i / (count − 1) of the span, formed in f32 and
// truncated to whole ticks of the span's scale.
A_Time LightTime(A_Time pathSpan, A_long i, A_long count);

// One tick after t, or one tick before it for the last mask, to find the path's direction.
A_Time NeighbourTime(A_Time t, bool last);

struct Orientation {
  float pitch = 0, yaw = 0;  // radians
};

// The mask's orientation along the path: d = next − here, or here − previous for the last mask,
// given the translation rows of the light at the two times.
Orientation OrientOnPath(const double here[3], const double neighbour[3], bool last);

// Where the mask goes and how it turns. cx, cy: its centre; z: its depth; angles in the host's
// degrees × 65536.
struct MaskPose {
  float z = 0, cx = 0, cy = 0;
  Orientation orientation;
  float rotationX = 0, rotationY = 0, rotationZ = 0;
};

// Moves the layer centre to the origin, rotates, and moves it to (cx, cy) at depth −z.
A_Matrix4 PlacementMatrix(A_long width, A_long height, const MaskPose& pose);

// (x, y, z, 1) × m in double, narrowed to f32.
point3 TransformPoint(double x, double y, double z, const A_Matrix4& m);

}  // namespace mask
