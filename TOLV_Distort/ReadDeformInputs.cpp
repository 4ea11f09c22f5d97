#include "TOLV_Distort/ReadDeformInputs.h"

#include "TOLV_Distort/DistortParams.h"

DeformInputs ReadDeformInputs(const PF_InData* in_data, PF_ParamDef* params[]) {
  DeformInputs in;
  in.anchorX = params[DISTORT_ANCHOR_XY]->u.td.x_value;
  in.anchorY = params[DISTORT_ANCHOR_XY]->u.td.y_value;
  in.anchorZ = params[DISTORT_ANCHOR_Z]->u.fs_d.value;
  in.positionX = params[DISTORT_POSITION_XY]->u.td.x_value;
  in.positionY = params[DISTORT_POSITION_XY]->u.td.y_value;
  in.positionZ = params[DISTORT_POSITION_Z]->u.fs_d.value;
  in.scaleX = params[DISTORT_SCALE_X]->u.fs_d.value;
  in.scaleY = params[DISTORT_SCALE_Y]->u.fs_d.value;
  in.scaleZ = params[DISTORT_SCALE_Z]->u.fs_d.value;
  in.rotationX = params[DISTORT_ROTATION_X]->u.ad.value;
  in.rotationY = params[DISTORT_ROTATION_Y]->u.ad.value;
  in.rotationZ = params[DISTORT_ROTATION_Z]->u.ad.value;
  in.twistLeft = params[DISTORT_TWIST_LEFT_X]->u.ad.value;
  in.twistRight = params[DISTORT_TWIST_RIGHT_X]->u.ad.value;
  in.twistXRange = params[DISTORT_TWIST_X_RANGE]->u.fs_d.value;
  in.twistUp = params[DISTORT_TWIST_UP_Y]->u.ad.value;
  in.twistDown = params[DISTORT_TWIST_DOWN_Y]->u.ad.value;
  in.twistYRange = params[DISTORT_TWIST_Y_RANGE]->u.fs_d.value;
  in.twistFront = params[DISTORT_TWIST_FRONT_Z]->u.ad.value;
  in.twistBack = params[DISTORT_TWIST_BACK_Z]->u.ad.value;
  in.twistZRange = params[DISTORT_TWIST_Z_RANGE]->u.fs_d.value;
  in.bendHorizontal = params[DISTORT_BEND_HORIZONTAL]->u.ad.value;
  in.bendVertical = params[DISTORT_BEND_VERTICAL]->u.ad.value;
  in.explode = params[DISTORT_EXPLODE]->u.fs_d.value;
  in.explodeMode = params[DISTORT_EXPLODE_MODE]->u.pd.value;
  in.downsampleXDen = static_cast<A_long>(in_data->downsample_x.den);
  in.downsampleYDen = static_cast<A_long>(in_data->downsample_y.den);
  in.width = in_data->width;
  in.height = in_data->height;
  return in;
}
