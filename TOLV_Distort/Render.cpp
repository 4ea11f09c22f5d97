#include "TOLV_Distort/Render.h"

#include <memory>
#include <new>

#include "AE_EffectCB.h"
#include "TOLV_Distort/Distort.h"
#include "TOLV_Distort/DistortParams.h"
#include "TOLV_Distort/ReadDeformInputs.h"
#include "TOLV_Distort/deform/MeshDeformer.h"
#include "Util/AEGP_SuiteHandler.h"
#include "common/EffectPlace.h"
#include "common/MeshSend.h"
#include "common/MeshStore.h"

namespace {

// The instance's store, or null when there is none or it is shorter than ten slots (a block the
// render must not read past).
const MeshStore* ReadableStore(PF_InData* in_data) {
  PF_Handle h = in_data->sequence_data;
  if (!h || !*h || PF_GET_HANDLE_SIZE(h) < kMeshStoreBytes)
    return nullptr;
  return static_cast<const MeshStore*>(*h);
}

bool SlotDeformed(PF_ParamDef* params[], int slot) {
  return params[DISTORT_MESH]->u.pd.value == MESH_ON &&
         !params[DistortExcludeParam(slot)]->u.bd.value;
}

class Forwarder {
 public:
  Forwarder(HostStatus& status, const AEGP_SuiteHandler& suites, PF_ParamDef* params[])
      : status_(status), suites_(suites), params_(params) {}

  // Every enabled slot, in ascending order, deformed unless excluded, sent while nothing failed.
  void serve(const MeshStore& store, AEGP_EffectRefH receiver) {
    // Zeroed, so that the triangles past the count the receiver gets are zeros, never whatever
    // the heap held before.
    std::unique_ptr<MeshSlot> scratch(new (std::nothrow) MeshSlot());
    if (!scratch) {
      status_.fail(PF_Err_OUT_OF_MEMORY);
      return;
    }
    const MeshDeformer deformer(MakeDeformValues(ReadDeformInputs(status_.in_data(), params_)));
    for (int k = 0; k < kStoreSlots && status_.ok(); ++k) {
      const MeshSlot& slot = store.slots[k];
      if (!slot.meshEnabled)
        continue;
      CopyStoredSlot(slot, scratch.get());
      if (SlotDeformed(params_, k)) {
        const point3 centre = deformer.fromCenter() ? MeshCentre(slot) : point3{};
        deformer.deformTriangles(scratch->triangles, scratch->triangleCount, centre);
      }
      send(receiver, scratch.get());
    }
  }

  // Walks the effects below this one to the first receiver and serves it. Returns false when the
  // user cancelled; the status then holds the host's answer.
  bool walk(const MeshStore& store, AEGP_EffectRefH self) {
    const AEGP_EffectSuite2* effects = suites_.EffectSuite2();
    EffectPlace place;
    LocateLayer(status_, suites_, &place);
    LocateOwnIndex(status_, suites_, pluginID, self, &place);
    if (status_.abortedReplacing())
      return false;
    if (!place.known)
      return true;
    for (A_long i = place.index + 1; i < place.count; ++i) {
      EffectRef effect(status_, effects);
      status_.call([&] {
        return effects->AEGP_GetLayerEffectByIndex(pluginID, place.layer, i, effect.put());
      });
      if (status_.abortedReplacing())
        return false;
      if (!effect)
        continue;
      A_char match_name[AEGP_MAX_EFFECT_MATCH_NAME_SIZE + 1];
      ReadMatchName(status_, effects, effect.get(), match_name);
      if (IsMeshReceiver(match_name)) {
        serve(store, effect.get());
        // A receiver that refused a record stops the sending but not the frame: the poll's answer
        // stands in place of its error.
        return !status_.abortedReplacing();
      }
    }
    return true;
  }

 private:
  void send(AEGP_EffectRefH receiver, MeshSlot* record) {
    const A_Time time = {0, 100};
    status_.call([&] {
      return suites_.EffectSuite2()->AEGP_EffectCallGeneric(pluginID, receiver, &time,
                                                            PF_Cmd_COMPLETELY_GENERAL, record);
    });
  }

  HostStatus& status_;
  const AEGP_SuiteHandler& suites_;
  PF_ParamDef** params_;
};

void ForwardMeshes(HostStatus& status, const AEGP_SuiteHandler& suites, const MeshStore& store,
                   PF_ParamDef* params[]) {
  PF_InData* in_data = status.in_data();
  {
    EffectRef self(status, suites.EffectSuite2());
    status.call([&] {
      return suites.PFInterfaceSuite1()->AEGP_GetNewEffectForEffect(pluginID, in_data->effect_ref,
                                                                    self.put());
    });
    if (status.abortedReplacing() || !self)
      return;
    Forwarder forwarder(status, suites, params);
    if (!forwarder.walk(store, self.get()))
      return;
  }
  // A last chance for the host to take a cancel; the frame is finished, so the answer changes
  // nothing.
  (void)PF_ABORT(in_data);
}

}  // namespace

PF_Err DistortRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                     PF_LayerDef* output) {
  (void)out_data;
  // A render without its parameters or output has nothing to read or write.
  if (!params || !output)
    return PF_Err_BAD_CALLBACK_PARAM;
  AEGP_SuiteHandler suites(in_data->pica_basicP);
  HostStatus status(in_data);
  {
    QuietErrors quiet(status, suites.UtilitySuite11());
    if (const MeshStore* store = ReadableStore(in_data))
      ForwardMeshes(status, suites, *store, params);
    status.call([&] { return PF_COPY(&params[DISTORT_INPUT]->u.ld, output, nullptr, nullptr); });
  }
  return status.err();
}
