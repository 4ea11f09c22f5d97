// The mask effect's render with arbitrary control values: NaN, infinities, values past every
// range, popups past their items, path ids of no mask, layers that are not there. Two masks lie on
// the layer; the stand-in renderer below receives what the render sends.
//
// Input: a mode byte (bit 0: every control at an arbitrary value instead of one in its range),
// the controls, then per path control and per layer control a choice of what it names. With
// every control in range, a record sent must be free of NaN and infinity.
#include <cstdint>

#include "TOLV_Mask/Params.h"
#include "fuzz/FuzzHost.h"

namespace {

// A path control names no mask, one of the two masks, or keeps the id the input gave it.
void choosePaths(fuzzhost::Bytes& in, tb::Effect& mask, const PF_PathID (&ids)[2]) {
  for (size_t i = 1; i < mask.params.size(); ++i) {
    PF_ParamDef& p = mask.params[i];
    if (p.param_type != PF_Param_PATH)
      continue;
    const uint8_t choice = in.byte() % 4;
    if (choice < 3)
      p.u.path_d.path_id = choice == 0 ? 0 : ids[choice - 1];
  }
}

// A layer control names no layer, the layer itself, or an id no layer has.
void chooseLayers(fuzzhost::Bytes& in, tb::Effect& mask, const tb::Layer& layer) {
  for (size_t i = 1; i < mask.params.size(); ++i) {
    if (mask.params[i].param_type != PF_Param_LAYER)
      continue;
    const uint8_t choice = in.byte() % 3;
    mask.layerIds[i] = choice == 0 ? 0 : choice == 1 ? layer.id : 0x7FFF0000;
  }
}

// One layer with two masks, the mask effect and the stand-in renderer below it, made once per
// process.
struct Stage {
  tb::Host& host;
  tb::Layer& layer;
  PF_PathID ids[2];
  tb::Effect& mask;
  tb::Effect& engine;
  fuzzhost::Kept kept{host, {&mask, &engine}, {&mask, &engine}};
};

Stage& stage() {
  static Stage* s = [] {
    tb::Host& host = fuzzhost::host({"TOLV_Mask", "TOLV_Engine"});
    tb::Layer& layer = fuzzhost::addLayer(host);
    const PF_PathID first = host.addMask(layer, "Mask 1", fuzzhost::rectangle(4, 4, 60, 30));
    const PF_PathID second = host.addMask(layer, "Mask 2", fuzzhost::rectangle(10, 8, 40, 20));
    tb::Effect& mask = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Mask"));
    tb::Effect& engine = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Engine"));
    return new Stage{host, layer, {first, second}, mask, engine};
  }();
  return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Stage& s = stage();
  tb::Host& host = s.host;
  fuzzhost::Bytes in(data, size);
  const bool in_range = !(in.byte() & 1);
  fuzzhost::setParams(s.mask, in, in_range);
  choosePaths(in, s.mask, s.ids);
  chooseLayers(in, s.mask, s.layer);

  host.renderComp(fuzzhost::comp(host), A_Time{0, 25});
  fuzzhost::checkDelivered(host, in_range);
  s.kept.endInput();
  return 0;
}
