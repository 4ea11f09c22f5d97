// The view the stand-in renderer draws with: a composition's default camera.
//
// Mesh positions are layer pixels, x right, y down and z towards the viewer (the host's depth
// negated). The host's default camera sits at host depth -zoom over the composition's centre and
// looks along the host's +z, so in mesh coordinates the eye is at (width / 2, height / 2, +zoom)
// looking towards -z, and the plane z = 0 is seen at one pixel per pixel.
#pragma once

#include "common/point3.h"

namespace viewer {

// zoom = width x 50 / 36: a 50 mm lens on a 36 mm wide film gate across the composition's width,
// the host's default for a new camera.
constexpr double kLensMillimetres = 50.0;
constexpr double kFilmMillimetres = 36.0;
// Points closer to the eye than this (in pixels along the view axis) are not drawn.
constexpr double kNearDistance = 1.0;

struct ViewCamera {
  double centreX = 0, centreY = 0;  // full-resolution pixels
  double zoom = 0;                  // eye to the z = 0 plane, pixels
  double scaleX = 1, scaleY = 1;    // full-resolution pixels to output pixels (downsampling)
};

ViewCamera DefaultCamera(double width, double height, double scale_x, double scale_y);

struct ScreenPoint {
  double x, y;      // output pixels
  double distance;  // from the eye along the view axis
};

// Perspective projection of a mesh point. False, and *out untouched, when the point is not in
// front of the eye by at least kNearDistance.
bool ProjectPoint(const ViewCamera& camera, const point3& p, ScreenPoint* out);

}  // namespace viewer
