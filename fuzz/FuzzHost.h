// What the testbed fuzz targets share: one host with the modules loaded once per process, the
// effects an input works on and the state they are put back to after it, a reader over the input
// bytes, and the checks every input ends with.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/MeshSlot.h"
#include "testbed/host/Host.h"
#include "testbed/world/World.h"

namespace fuzzhost {

// Takes bytes from the front of the input; past its end every read gives zeros.
class Bytes {
 public:
  Bytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t left() const { return size_ - at_; }
  void read(void* out, size_t n) {
    const size_t have = n < left() ? n : left();
    if (have > 0)
      std::memcpy(out, data_ + at_, have);
    std::memset(static_cast<uint8_t*>(out) + have, 0, n - have);
    at_ += have;
  }
  template <class T>
  T take() {
    T value;
    read(&value, sizeof value);
    return value;
  }
  uint8_t byte() { return take<uint8_t>(); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "fuzz: %s\n", what);
  std::abort();
}

// The host, with the named modules loaded once; loading per input would dominate the run.
inline tb::Host& host(const std::vector<std::string>& modules) {
  static tb::Host* instance = [&] {
    auto* h = new tb::Host;
    for (const std::string& name : modules)
      h->load(std::string(TOLV_PLUGIN_DIR) + "/" + name + ".so");
    h->addComp("Main", 640, 360);
    return h;
  }();
  return *instance;
}

inline tb::Comp& comp(tb::Host& h) {
  return *h.project().comps.front();
}

// A small solid layer on top of the composition, to stack effects on.
inline tb::Layer& addLayer(tb::Host& h) {
  tb::Layer& layer = h.addLayer(comp(h), "Card", 64, 36);
  layer.pixels = tb::makeSolid(64, 36, PF_Pixel{255, 200, 100, 50});
  return layer;
}

// A closed rectangle of four straight segments, for a mask.
inline tb::Outline rectangle(double x0, double y0, double x1, double y1) {
  tb::Outline o;
  o.shape.closed = true;
  for (A_FloatPoint p : std::vector<A_FloatPoint>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
    o.shape.vertices.push_back({p, {0, 0}, {0, 0}});
  return o;
}

// An effect as it was applied: what an input may change in it is put back from here.
struct EffectState {
  tb::Effect* effect = nullptr;
  std::vector<PF_ParamDef> params;
  std::vector<AEGP_LayerIDVal> layerIds;
  std::vector<AEGP_DynStreamFlags> streamFlags;
  std::vector<std::vector<tb::ParamKey>> keys;
  std::optional<std::pair<PF_OutFlags, PF_OutFlags2>> dynamicFlags;

  explicit EffectState(tb::Effect& e)
      : effect(&e),
        params(e.params),
        layerIds(e.layerIds),
        streamFlags(e.streamFlags),
        keys(e.keys),
        dynamicFlags(e.dynamicFlags) {}
  void restore() const {
    effect->params = params;
    effect->layerIds = layerIds;
    effect->streamFlags = streamFlags;
    effect->keys = keys;
    effect->dynamicFlags = dynamicFlags;
  }
};

// An effect's sequence data of mesh slots (a store of ten, or the mask effect's one) as it was
// after setup. Copying the whole block back after each input would cost more than the input, so
// only what an input can write is put back: the header, every slot's trailer, and in each slot the
// triangles as far as any count it was given or holds now.
class SlotData {
 public:
  SlotData(tb::Host& h, tb::Effect& e)
      : host_(&h), effect_(&e), size_(h.handleSize(e.sequenceData)) {
    if (size_ == kMeshStoreBytes) {
      first_ = offsetof(MeshStore, slots);
      slots_ = kStoreSlots;
    } else if (size_ == kMeshSlotBytes) {
      first_ = 0;
      slots_ = 1;
    } else {
      fail("sequence data that is no mesh slot or store");
    }
    pristine_.assign(static_cast<const uint8_t*>(*e.sequenceData),
                     static_cast<const uint8_t*>(*e.sequenceData) + size_);
    reach_.assign(static_cast<size_t>(slots_), 0);
  }

  // A record of this slot index and count may have been written.
  void wrote(int32_t slot, int32_t count) {
    if (slot < 0 || slot >= slots_)
      return;
    if (slots_ == 1)
      slot = 0;
    size_t& reach = reach_[static_cast<size_t>(slot)];
    reach = std::max(reach, bounded(count));
  }
  // Every record the stand-in renderer received was written to its store.
  void wroteDelivered(const std::vector<tb::EngineRecord>& records, const tb::Effect& receiver) {
    for (const tb::EngineRecord& r : records) {
      if (r.effect != &receiver || r.bytes.size() != sizeof(MeshSlot))
        continue;
      const auto* record = reinterpret_cast<const MeshSlot*>(r.bytes.data());
      wrote(record->slotIndex, record->triangleCount);
    }
  }

  void restore() {
    if (!effect_->sequenceData || host_->handleSize(effect_->sequenceData) != size_)
      fail("an input left sequence data of another size");
    auto* data = static_cast<uint8_t*>(*effect_->sequenceData);
    std::memcpy(data, pristine_.data(), first_);
    for (int k = 0; k < slots_; ++k) {
      const size_t at = first_ + static_cast<size_t>(k) * sizeof(MeshSlot);
      const auto* now = reinterpret_cast<const MeshSlot*>(data + at);
      const size_t reach = std::max(reach_[static_cast<size_t>(k)], bounded(now->triangleCount));
      std::memcpy(data + at, pristine_.data() + at, reach * sizeof(triangle));
      const size_t trailer = at + kTrianglesBytes;
      std::memcpy(data + trailer, pristine_.data() + trailer, sizeof(MeshSlot) - kTrianglesBytes);
      reach_[static_cast<size_t>(k)] = 0;
    }
  }

 private:
  static size_t bounded(int32_t count) {
    return static_cast<size_t>(std::clamp<int32_t>(count, 0, kMaxTriangles));
  }

  tb::Host* host_;
  tb::Effect* effect_;
  A_u_longlong size_;
  size_t first_ = 0;
  int slots_ = 0;
  std::vector<uint8_t> pristine_;
  std::vector<size_t> reach_;
};

// After an input: the host saw no broken rule, holds no handle more than after setup, and the
// composition has its layers as before; then it forgets what it logged, so that a long run does
// not grow.
inline void finish(tb::Host& h, size_t handles, size_t layers) {
  for (const tb::Violation& v : h.ledger().violations())
    std::fprintf(stderr, "violation: %s\n", tb::describe(v).c_str());
  if (!h.ledger().violations().empty())
    fail("the host saw a broken rule");
  if (h.liveHandles() != handles)
    fail("an input left a handle behind");
  if (comp(h).layers.size() != layers)
    fail("an input left the composition with other layers");
  h.log() = tb::HostLog();
  h.clearEngineRecords();
}

// The effects a target's inputs work on, and everything an input may change in them: their
// controls, and the mesh slots of those that keep slots. After each input the host is checked
// against what setup left and all of it is put back.
class Kept {
 public:
  Kept(tb::Host& h, std::initializer_list<tb::Effect*> effects,
       std::initializer_list<tb::Effect*> slotted)
      : host_(h), handles_(h.liveHandles()), layers_(comp(h).layers.size()) {
    for (tb::Effect* e : effects)
      states_.emplace_back(*e);
    for (tb::Effect* e : slotted) {
      slotted_.push_back(e);
      slots_.emplace_back(h, *e);
    }
  }

  SlotData& slotsOf(const tb::Effect& e) {
    for (size_t i = 0; i < slotted_.size(); ++i) {
      if (slotted_[i] == &e)
        return slots_[i];
    }
    fail("an effect whose slots are not kept");
  }

  // Every record delivered during the input counts as written to its receiver's slots; then the
  // host is checked and everything put back.
  void endInput() {
    for (size_t i = 0; i < slotted_.size(); ++i)
      slots_[i].wroteDelivered(host_.engineRecords(), *slotted_[i]);
    finish(host_, handles_, layers_);
    for (const EffectState& state : states_)
      state.restore();
    for (SlotData& slots : slots_)
      slots.restore();
  }

 private:
  tb::Host& host_;
  size_t handles_;
  size_t layers_;
  std::vector<EffectState> states_;
  std::vector<tb::Effect*> slotted_;
  std::vector<SlotData> slots_;
};

inline bool finite(const point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

inline bool finite(A_FloatPoint p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

inline bool finite(const triangle& t) {
  return finite(t.vertexA) && finite(t.vertexB) && finite(t.vertexC) && finite(t.faceNormal) &&
         finite(t.normalA) && finite(t.normalB) && finite(t.normalC) && finite(t.uvA) &&
         finite(t.uvB) && finite(t.uvC);
}

// Every record the stand-in renderer received must be whole, and, when what went in was finite,
// carry finite triangles as far as its count says.
inline void checkDelivered(const tb::Host& h, bool inputs_finite) {
  for (const tb::EngineRecord& r : h.engineRecords()) {
    if (r.bytes.size() != sizeof(MeshSlot))
      fail("a delivered record of the wrong size");
    if (!inputs_finite)
      continue;
    const auto* slot = reinterpret_cast<const MeshSlot*>(r.bytes.data());
    const int count = slot->triangleCount < 0               ? 0
                      : slot->triangleCount > kMaxTriangles ? kMaxTriangles
                                                            : slot->triangleCount;
    for (int i = 0; i < count; ++i) {
      if (!finite(slot->triangles[i]))
        fail("a record sent with NaN or infinity from finite inputs");
    }
  }
}

// Sets every numeric control of the effect from the input: inside its valid range when in_range,
// otherwise anything at all (NaN, infinities, values past every limit, popups past their items).
inline void setParams(tb::Effect& effect, Bytes& in, bool in_range) {
  for (size_t i = 1; i < effect.params.size(); ++i) {
    PF_ParamDef& p = effect.params[i];
    const uint8_t b = in.byte();
    switch (p.param_type) {
      case PF_Param_FLOAT_SLIDER:
        if (in_range)
          p.u.fs_d.value =
              p.u.fs_d.valid_min + (p.u.fs_d.valid_max - p.u.fs_d.valid_min) * (b / 255.0);
        else
          p.u.fs_d.value = in.take<double>();
        break;
      case PF_Param_SLIDER:
        if (in_range)
          p.u.sd.value = p.u.sd.valid_min + (p.u.sd.valid_max - p.u.sd.valid_min) * b / 255;
        else
          p.u.sd.value = in.take<int32_t>();
        break;
      case PF_Param_ANGLE:
        p.u.ad.value = in_range ? (static_cast<int32_t>(b) - 128) * 3 * 65536 : in.take<int32_t>();
        break;
      case PF_Param_CHECKBOX:
        p.u.bd.value = in_range ? (b & 1) : in.take<int32_t>();
        break;
      case PF_Param_POPUP:
        p.u.pd.value = in_range ? 1 + b % (p.u.pd.num_choices > 0 ? p.u.pd.num_choices : 1)
                                : in.take<int32_t>();
        break;
      case PF_Param_POINT:
        p.u.td.x_value = in_range ? (static_cast<int32_t>(b) - 64) * 4 * 65536 : in.take<int32_t>();
        p.u.td.y_value =
            in_range ? (static_cast<int32_t>(in.byte()) - 64) * 4 * 65536 : in.take<int32_t>();
        break;
      case PF_Param_PATH:
        p.u.path_d.path_id = in_range ? b % 4 : in.take<PF_PathID>();
        break;
      default:
        break;
    }
  }
}

}  // namespace fuzzhost
