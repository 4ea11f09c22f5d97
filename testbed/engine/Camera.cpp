#include "testbed/engine/Camera.h"

namespace viewer {

ViewCamera DefaultCamera(double width, double height, double scale_x, double scale_y) {
  ViewCamera camera;
  camera.centreX = width * 0.5;
  camera.centreY = height * 0.5;
  camera.zoom = width * kLensMillimetres / kFilmMillimetres;
  camera.scaleX = scale_x;
  camera.scaleY = scale_y;
  return camera;
}

bool ProjectPoint(const ViewCamera& camera, const point3& p, ScreenPoint* out) {
  const double distance = camera.zoom - p.z;
  if (!(distance >= kNearDistance))
    return false;
  const double f = camera.zoom / distance;
  out->x = (camera.centreX + (p.x - camera.centreX) * f) * camera.scaleX;
  out->y = (camera.centreY + (p.y - camera.centreY) * f) * camera.scaleY;
  out->distance = distance;
  return true;
}

}  // namespace viewer
