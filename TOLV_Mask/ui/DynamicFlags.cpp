#include "TOLV_Mask/ui/DynamicFlags.h"

#include "TOLV_Mask/Params.h"
#include "common/HostStatus.h"

PF_Err QueryDynamicFlags(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                         void* extra) {
  (void)params;
  (void)extra;
  HostStatus status(in_data);
  CheckedOutParam inherit(status);
  CheckedOutParam lightPath(status);
  inherit.checkout(MASK_INHERIT_GEOMETRY, in_data->current_time, in_data->time_step,
                   in_data->time_scale);
  lightPath.checkout(MASK_CREATE_LIGHT, in_data->current_time, in_data->time_step,
                     in_data->time_scale);
  if (status.ok()) {
    if (inherit.param().u.bd.value == 1 || lightPath.param().u.bd.value == 1)
      out_data->out_flags2 |= PF_OutFlag2_I_USE_3D_LIGHTS;
    else
      out_data->out_flags2 &= ~PF_OutFlag2_I_USE_3D_LIGHTS;
  }
  inherit.reset();
  lightPath.reset();
  return status.err();
}
