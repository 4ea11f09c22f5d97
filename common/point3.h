// A position or a direction in layer pixels: x right, y down, z towards the viewer.
#pragma once

struct point3 {
  float x, y, z;
};
static_assert(sizeof(point3) == 12, "point3 is three packed floats");
