// Records of arbitrary bytes and counts arriving at a distort effect through
// PF_Cmd_COMPLETELY_GENERAL, as a sender above it would push them, followed by the render of the
// layer: the distort effect deforms its store and passes it to the stand-in renderer below.
//
// Input: a mode byte (bit 0: raw float bits, so NaN, infinities and huge values occur; otherwise
// small finite values; bit 1: every distort control at an arbitrary value instead of one in its
// range), the record count, the distort controls, then per record its slot (signed), enabled
// byte, announced count (signed 16 bits, past 20,000 and negative alike) and the number of
// triangles that carry data, then that data. Records sent with finite, moderate values and
// controls in range must reach the renderer without NaN or infinity.
#include <cstdint>
#include <memory>

#include "fuzz/FuzzHost.h"

namespace {

constexpr int kMaxRecords = 4;
constexpr int kMaxFilled = 64;

float takeFloat(fuzzhost::Bytes& in, bool raw) {
  if (raw)
    return in.take<float>();
  return static_cast<float>(in.take<int16_t>()) / 64.0f;
}

double takeDouble(fuzzhost::Bytes& in, bool raw) {
  if (raw)
    return in.take<double>();
  return static_cast<double>(in.take<int16_t>()) / 4096.0;
}

void fillTriangle(fuzzhost::Bytes& in, bool raw, triangle* t) {
  float* f = &t->vertexA.x;
  for (int k = 0; k < 21; ++k)
    f[k] = takeFloat(in, raw);
  // The packed record puts the texture coordinates off their natural alignment: whole values are
  // built here and assigned.
  t->uvA = A_FloatPoint{takeDouble(in, raw), takeDouble(in, raw)};
  t->uvB = A_FloatPoint{takeDouble(in, raw), takeDouble(in, raw)};
  t->uvC = A_FloatPoint{takeDouble(in, raw), takeDouble(in, raw)};
  t->reserved = takeFloat(in, raw);
}

// One layer with a distort effect and the stand-in renderer below it, made once per process.
struct Stage {
  tb::Host& host;
  tb::Effect& distort;
  tb::Effect& engine;
  fuzzhost::Kept kept{host, {&distort, &engine}, {&distort, &engine}};
};

Stage& stage() {
  static Stage* s = [] {
    tb::Host& host = fuzzhost::host({"TOLV_Distort", "TOLV_Engine"});
    tb::Layer& layer = fuzzhost::addLayer(host);
    tb::Effect& distort = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Distort"));
    tb::Effect& engine = host.applyEffect(layer, *host.moduleByMatchName("ZEK TOLV_Engine"));
    return new Stage{host, distort, engine};
  }();
  return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Stage& s = stage();
  tb::Host& host = s.host;
  // One record buffer for the process, all zero between inputs: only what an input wrote is
  // cleared again.
  static std::unique_ptr<MeshSlot> record = [] {
    auto r = std::make_unique<MeshSlot>();
    std::memset(r.get(), 0, sizeof(MeshSlot));
    return r;
  }();

  fuzzhost::Bytes in(data, size);
  const uint8_t mode = in.byte();
  const bool raw = mode & 1;
  const bool params_in_range = !(mode & 2);
  const int records = 1 + in.byte() % kMaxRecords;
  fuzzhost::setParams(s.distort, in, params_in_range);

  for (int r = 0; r < records; ++r) {
    record->slotIndex = in.take<int8_t>();
    record->meshEnabled = in.byte();
    record->triangleCount = in.take<int16_t>();
    const int filled = in.byte() % (kMaxFilled + 1);
    for (int i = 0; i < filled; ++i)
      fillTriangle(in, raw, &record->triangles[i]);
    record->bumpAmount = takeFloat(in, raw);
    host.sendToEffect(s.distort, PF_Cmd_COMPLETELY_GENERAL, record.get());
    s.kept.slotsOf(s.distort).wrote(record->slotIndex, record->triangleCount);
    std::memset(record->triangles, 0, sizeof(triangle) * kMaxFilled);
    std::memset(&record->triangleCount, 0, sizeof(MeshSlot) - kTrianglesBytes);
  }

  host.renderComp(fuzzhost::comp(host), A_Time{0, 25});
  fuzzhost::checkDelivered(host, !raw && params_in_range);
  s.kept.endInput();
  return 0;
}
