#include "TOLV_Mask/render/Render.h"

#include "TOLV_Mask/Params.h"
#include "TOLV_Mask/Skeleton.h"
#include "TOLV_Mask/render/HostLookups.h"
#include "TOLV_Mask/render/InitialState.h"
#include "TOLV_Mask/render/MaskGrid.h"
#include "TOLV_Mask/render/MaskSelection.h"
#include "TOLV_Mask/render/MeshPhases.h"
#include "TOLV_Mask/render/RenderState.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/HostStatus.h"

PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
              A_u_char flag) {
  (void)out_data;
  alreadyRendered = 1;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  mask::RenderState state = mask::InitialRenderState(*in_data);
  const mask::RenderParams settings = mask::ReadRenderParams(params);

  const mask::LayerContext context = mask::LookUpLayer(status, suites);
  AEGP_LayerH light = nullptr;
  if (!mask::FindPathLight(status, suites, context, settings, &light))
    return status.err();
  {
    QuietErrors quiet(status, suites.UtilitySuite11());
    mask::SelectMasks(status, suites, context, settings, state);
    state.columns = mask::ColumnCount(state.maxSegments, settings.xSubdivide);
    mask::BuildGrid(status, suites, context, light, settings, state);

    const mask::MeshSettings mesh = mask::ReadMeshSettings(params);
    mask::BuildMesh(status, suites, pluginID, context.layer, mesh, state.columns, state);
    mask::HandOffMesh(status, suites, pluginID, mesh, state.columns, state);

    if (flag && status.ok())
      status.call([&] { return PF_COPY(&params[MASK_INPUT]->u.ld, output, nullptr, nullptr); });
    status.call([&] { return PF_PROGRESS(in_data, 0, 10); });
  }
  return status.err();
}
