// The values every deformation of one render works with, taken from the controls once per render.
//
// Positions are layer pixels at full resolution; angles are the host's degrees × 65536 carried in
// float; the 0.01 percent factor is the single-precision 0.01 widened to double.
#pragma once

#include "AE_Effect.h"

// The controls as the host hands them over, before any conversion.
struct DeformInputs {
  PF_Fixed anchorX = 0, anchorY = 0;  // 16.16 pixels at the render's downsampling
  double anchorZ = 0;
  PF_Fixed positionX = 0, positionY = 0;
  double positionZ = 0;
  double scaleX = 100, scaleY = 100, scaleZ = 100;     // percent
  A_long rotationX = 0, rotationY = 0, rotationZ = 0;  // 16.16 degrees
  A_long twistLeft = 0, twistRight = 0, twistUp = 0, twistDown = 0, twistFront = 0, twistBack = 0;
  double twistXRange = 100, twistYRange = 100, twistZRange = 100;  // percent
  A_long bendHorizontal = 0, bendVertical = 0;
  double explode = 0;
  A_long explodeMode = 1;
  A_long downsampleXDen = 1, downsampleYDen = 1;
  A_long width = 0, height = 0;  // of the layer, in PF_InData
};

struct DeformValues {
  double ax, ay, az;             // anchor
  double px, py, pz;             // position
  float sx, sy, sz;              // scale factors for points, never closer to 0 than 1e-5
  float nx, ny, nz;              // scale factors for directions
  float rx, ry, rz;              // rotation, negated
  float tL, tR, tU, tD, tF, tB;  // twist pairs, negated
  float gX, gY, gZ;              // twist ranges as fractions
  float bH, bV;                  // bends, not negated
  float e;                       // explode distance in pixels
  bool fromCenter;               // explode mode 2; any other value is "Follow normal"
  double width, height;          // extents: X = [0, W], Y = [0, H], Z = [-W/2, W/2]
};

DeformValues MakeDeformValues(const DeformInputs& in);

// The extents' centre C = (W/2, H/2, 0).
inline double CentreX(const DeformValues& v) {
  return v.width / 2;
}
inline double CentreY(const DeformValues& v) {
  return v.height / 2;
}
