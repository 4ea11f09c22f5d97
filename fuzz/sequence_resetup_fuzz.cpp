// Stored sequence data of arbitrary size and content handed back on SEQUENCE_RESETUP, as a
// project opens, to a mask effect and a distort effect on one layer, followed by the layer's
// render (mask, distort, stand-in renderer) and the removal of the effects.
//
// Input: a flags byte (bit 0: the mask effect gets a stored block, bit 1: the distort effect
// does; without one the handle is null), then per block a size choice and its patches: runs of
// bytes at offsets the input names, so that the far trailers of a 27 MB store are as easy to reach
// as the first bytes.
#include <cstdint>

#include "TOLV_Mask/Params.h"
#include "fuzz/FuzzHost.h"

namespace {

constexpr int kMaxPatches = 16;

// The block's size from a choice byte: none, the exact size, a little less or more, or anything
// up to twice the size.
A_u_longlong blockSize(fuzzhost::Bytes& in, A_u_longlong exact) {
  const uint8_t choice = in.byte();
  switch (choice % 6) {
    case 0:
      return 0;
    case 1:
      return exact;
    case 2:
      return exact - 1 - in.take<uint16_t>() % exact;
    case 3:
      return exact + in.take<uint16_t>();
    case 4:
      return in.take<uint16_t>();
    default:
      return in.take<uint32_t>() % (2 * exact);
  }
}

// Zero bytes with patches laid over them at offsets taken modulo the size.
void patch(fuzzhost::Bytes& in, unsigned char* block, A_u_longlong size) {
  std::memset(block, 0, size);
  const int patches = in.byte() % (kMaxPatches + 1);
  for (int i = 0; i < patches && size > 0; ++i) {
    const A_u_longlong at = in.take<uint32_t>() % size;
    A_u_longlong n = in.byte();
    if (n > size - at)
      n = size - at;
    in.read(block + at, n);
  }
}

// The host's handle freed with SETDOWN, and a stored block (or none) given back with RESETUP.
void reopen(tb::Host& host, tb::Effect& effect, bool stored, fuzzhost::Bytes& in) {
  const A_u_longlong exact = static_cast<A_u_longlong>(effect.flatSize);
  host.sendToEffect(effect, PF_Cmd_SEQUENCE_SETDOWN);
  if (effect.sequenceData)
    fuzzhost::fail("SETDOWN left the sequence data to the host");
  if (stored) {
    const A_u_longlong size = blockSize(in, exact);
    effect.sequenceData = host.newHandle(size);
    patch(in, static_cast<unsigned char*>(*effect.sequenceData), size);
  }
  host.sendToEffect(effect, PF_Cmd_SEQUENCE_RESETUP);
}

// One layer with two masks, a mask effect, a distort effect and the stand-in renderer, made once
// per process. Each input gives both effects new sequence data, so only the renderer's store and
// the controls need putting back.
struct Stage {
  tb::Host& host;
  tb::Effect& mask;
  tb::Effect& distort;
  tb::Effect& engine;
  fuzzhost::Kept kept{host, {&mask, &distort, &engine}, {&engine}};
};

Stage& stage() {
  static Stage* s = [] {
    tb::Host& host = fuzzhost::host({"TOLV_Mask", "TOLV_Distort", "TOLV_Engine"});
    tb::Layer& layer = fuzzhost::addLayer(host);
    const PF_PathID first = host.addMask(layer, "Mask 1", fuzzhost::rectangle(4, 4, 60, 30));
    const PF_PathID second = host.addMask(layer, "Mask 2", fuzzhost::rectangle(10, 8, 40, 20));
    tb::Effect& mask = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Mask"));
    tb::Effect& distort = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Distort"));
    tb::Effect& engine = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Engine"));
    mask.params[MaskPathParam(1)].u.path_d.path_id = first;
    mask.params[MaskPathParam(2)].u.path_d.path_id = second;
    mask.params[MaskDepthParam(2)].u.fs_d.value = -50;
    return new Stage{host, mask, distort, engine};
  }();
  return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Stage& s = stage();
  tb::Host& host = s.host;
  fuzzhost::Bytes in(data, size);
  const uint8_t flags = in.byte();

  reopen(host, s.mask, flags & 1, in);
  reopen(host, s.distort, flags & 2, in);
  host.renderComp(fuzzhost::comp(host), A_Time{0, 25});
  fuzzhost::checkDelivered(host, false);
  s.kept.endInput();
  return 0;
}
