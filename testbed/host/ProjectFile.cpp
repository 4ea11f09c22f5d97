// Saving and opening projects. The file is the testbed's own binary format: compositions with
// their timing, their layers (kind, transform with position keys, parent, flags, masks, light
// settings and pixels), each layer's effects by match name with their parameter records and their
// flat sequence bytes; then what a project holds over time and beside its compositions: each
// layer's start, each effect's parameter keys and dynamic flags, the footage and folder items and
// the active item. Sequence data goes back to the module byte for byte, as the host does.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamValues.h"
#include "testbed/platform/Files.h"
#include "testbed/world/Time.h"

namespace tb {

namespace {

constexpr char kProjectMagic[8] = {'T', 'O', 'L', 'V', 'P', 'R', 'J', '3'};
// Files saved before the layers' starts, parameter keys and items were kept; they open without.
constexpr char kProjectMagicWithoutTime[8] = {'T', 'O', 'L', 'V', 'P', 'R', 'J', '2'};

class Writer {
 public:
  explicit Writer(std::ofstream& out) : out_(out) {}
  void bytes(const void* data, size_t size) {
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  void u64(uint64_t v) { bytes(&v, sizeof v); }
  template <class T>
  void plain(const T& v) {
    bytes(&v, sizeof v);
  }
  void text(const std::string& s) {
    u64(s.size());
    bytes(s.data(), s.size());
  }

 private:
  std::ofstream& out_;
};

class Reader {
 public:
  Reader(std::ifstream& in, const std::string& path) : in_(in), path_(path) {
    in_.seekg(0, std::ios::end);
    const std::streamoff end = in_.tellg();
    in_.seekg(0, std::ios::beg);
    size_ = end > 0 ? static_cast<uint64_t>(end) : 0;
  }
  void bytes(void* data, size_t size) {
    in_.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
    if (!in_)
      throw HostError(path_ + ": project file is truncated");
  }
  uint64_t u64() {
    uint64_t v = 0;
    bytes(&v, sizeof v);
    return v;
  }
  // A count or size from the file, bounded before it sizes anything.
  uint64_t bounded(uint64_t limit) {
    uint64_t v = u64();
    if (v > limit)
      throw HostError(path_ + ": project file holds a damaged count");
    return v;
  }
  // A count of items each stored in at least item_bytes: more than the rest of the file can hold
  // means the file was cut short, and is found before anything is made for them, so that the
  // work an open does never exceeds what the file's own length pays for.
  uint64_t counted(uint64_t limit, uint64_t item_bytes) {
    const uint64_t v = bounded(limit);
    if (v > left() / item_bytes)
      throw HostError(path_ + ": project file is truncated");
    return v;
  }
  uint64_t left() {
    const std::streamoff at = in_.tellg();
    return at >= 0 && static_cast<uint64_t>(at) < size_ ? size_ - static_cast<uint64_t>(at) : 0;
  }
  template <class T>
  T plain() {
    T v;
    bytes(&v, sizeof v);
    return v;
  }
  // size bytes, read a step at a time, so that a damaged size in a short file fails before all
  // of it is allocated.
  std::vector<char> block(uint64_t size) {
    constexpr uint64_t kStep = uint64_t(1) << 20;
    std::vector<char> data;
    while (data.size() < size) {
      const size_t at = data.size();
      const size_t n = static_cast<size_t>(std::min(kStep, size - at));
      data.resize(at + n);
      bytes(data.data() + at, n);
    }
    return data;
  }
  std::string text() {
    std::string s(counted(1 << 16, 1), '\0');
    bytes(s.data(), s.size());
    return s;
  }

 private:
  std::ifstream& in_;
  const std::string& path_;
  uint64_t size_ = 0;
};

constexpr uint64_t kMaxItems = 1 << 16;
// The least a record takes in the file: every record starts with at least one 8-byte field.
constexpr uint64_t kLeastRecord = 8;
constexpr uint64_t kMaxWorldSideCount = kMaxWorldSide;

void writeShape(Writer& w, const OutlineShape& shape) {
  w.u64(shape.closed ? 1 : 0);
  w.u64(shape.vertices.size());
  for (const BezierVertex& v : shape.vertices)
    w.plain(v);
}

OutlineShape readShape(Reader& r) {
  OutlineShape shape;
  shape.closed = r.u64() != 0;
  shape.vertices.resize(r.counted(kMaxItems, sizeof(BezierVertex)));
  for (BezierVertex& v : shape.vertices)
    v = r.plain<BezierVertex>();
  return shape;
}

void writeLayerWorld(Writer& w, const Layer& layer) {
  w.u64(static_cast<uint64_t>(layer.kind));
  const Transform& t = layer.transform;
  w.plain(t.anchor);
  w.plain(t.position);
  w.plain(t.scale);
  w.plain(t.rotation);
  w.u64(t.positionKeys.size());
  for (const PositionKey& key : t.positionKeys)
    w.plain(key);
  w.u64(layer.positionKeyAtZero ? 1 : 0);
  w.u64(static_cast<uint32_t>(layer.parentId));
  w.u64(static_cast<uint32_t>(layer.flags));
  w.u64(static_cast<uint32_t>(layer.lightType));
  w.plain(layer.intensity);
  w.u64(layer.source ? 1 : 0);
  w.u64(layer.masks.size());
  for (const Mask& mask : layer.masks) {
    w.u64(static_cast<uint32_t>(mask.id));
    w.text(mask.name);
    writeShape(w, mask.outline.shape);
    w.u64(mask.outline.keys.size());
    for (const OutlineKey& key : mask.outline.keys) {
      w.plain(key.time);
      writeShape(w, key.shape);
    }
  }
  w.u64(layer.pixels ? 1 : 0);
  if (layer.pixels) {
    w.u64(static_cast<uint32_t>(layer.pixels->width()));
    w.u64(static_cast<uint32_t>(layer.pixels->height()));
    for (A_long y = 0; y < layer.pixels->height(); ++y)
      w.bytes(&layer.pixels->at(0, y), sizeof(PF_Pixel) * layer.pixels->width());
  }
}

void readLayerWorld(Reader& r, Layer& layer, const std::string& path) {
  const uint64_t kind = r.bounded(static_cast<uint64_t>(LayerKind::Null));
  layer.kind = static_cast<LayerKind>(kind);
  Transform& t = layer.transform;
  t.anchor = r.plain<A_FloatPoint3>();
  t.position = r.plain<A_FloatPoint3>();
  t.scale = r.plain<A_FloatPoint3>();
  t.rotation = r.plain<A_FloatPoint3>();
  t.positionKeys.resize(r.counted(kMaxItems, sizeof(PositionKey)));
  for (PositionKey& key : t.positionKeys)
    key = r.plain<PositionKey>();
  layer.positionKeyAtZero = r.u64() != 0;
  layer.parentId = static_cast<AEGP_LayerIDVal>(r.u64());
  layer.flags = static_cast<AEGP_LayerFlags>(r.u64());
  layer.lightType = static_cast<AEGP_LightType>(r.u64());
  layer.intensity = r.plain<double>();
  if (r.u64() == 0)
    layer.source.reset();
  layer.masks.resize(r.counted(kMaxItems, kLeastRecord));
  for (Mask& mask : layer.masks) {
    mask.id = static_cast<PF_PathID>(r.u64());
    mask.name = r.text();
    mask.outline.shape = readShape(r);
    mask.outline.keys.resize(r.counted(kMaxItems, kLeastRecord));
    for (OutlineKey& key : mask.outline.keys) {
      key.time = r.plain<double>();
      key.shape = readShape(r);
    }
  }
  if (r.u64() != 0) {
    const A_long w = static_cast<A_long>(r.bounded(kMaxWorldSideCount));
    const A_long h = static_cast<A_long>(r.bounded(kMaxWorldSideCount));
    if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * sizeof(PF_Pixel) > r.left())
      throw HostError(path + ": project file is truncated");
    layer.pixels = World::blank(w, h);
    if (!layer.pixels)
      throw HostError(path + ": project file holds a layer without pixels");
    for (A_long y = 0; y < h; ++y)
      r.bytes(&layer.pixels->at(0, y), sizeof(PF_Pixel) * w);
  }
}
constexpr uint64_t kMaxSequenceBytes = uint64_t(1) << 32;

void writeEffect(Host& host, Writer& w, const Effect& effect) {
  w.text(effect.module->matchName());
  w.u64(effect.params.size());
  for (size_t i = 0; i < effect.params.size(); ++i) {
    w.bytes(&effect.params[i], sizeof(PF_ParamDef));
    w.u64(static_cast<uint32_t>(effect.layerIds[i]));
    w.u64(static_cast<uint32_t>(effect.streamFlags[i]));
  }
  w.u64(static_cast<uint32_t>(effect.flatSize));
  A_u_longlong size = effect.sequenceData ? host.handleSize(effect.sequenceData) : 0;
  // The module declares the flat size of its data; saving trusts neither side alone.
  if (effect.sequenceData && static_cast<A_u_longlong>(effect.flatSize) != size) {
    host.ledger().violation({moduleLabel(*effect.module), "save",
                             "flat_sdata_size " + std::to_string(effect.flatSize) +
                                 " does not match its sequence data of " + std::to_string(size) +
                                 " bytes"});
  }
  w.u64(effect.sequenceData ? 1 : 0);
  w.u64(size);
  if (size)
    w.bytes(*effect.sequenceData, size);
}

// Parameter records keep their values; pointers into the module (popup and checkbox texts) are
// taken from the module loaded now.
void restoreParam(PF_ParamDef& param, const PF_ParamDef& saved) {
  PF_ParamDef def = param;
  param = saved;
  if (def.param_type == PF_Param_POPUP)
    param.u.pd.u.namesptr = def.u.pd.u.namesptr;
  if (def.param_type == PF_Param_CHECKBOX)
    param.u.bd.u.nameptr = def.u.bd.u.nameptr;
}

void readEffect(Host& host, Reader& r, Layer& layer, const std::string& path) {
  std::string match = r.text();
  Module* module = host.moduleByMatchName(match);
  if (!module)
    throw HostError(path + ": no loaded effect has the match name \"" + match + "\"");
  auto effect = std::make_unique<Effect>();
  effect->module = module;
  effect->layer = &layer;
  initEffectParams(*effect);
  uint64_t count = r.counted(kMaxItems, sizeof(PF_ParamDef));
  for (uint64_t i = 0; i < count; ++i) {
    PF_ParamDef saved;
    r.bytes(&saved, sizeof saved);
    AEGP_LayerIDVal layer_id = static_cast<AEGP_LayerIDVal>(r.u64());
    AEGP_DynStreamFlags flags = static_cast<AEGP_DynStreamFlags>(r.u64());
    if (i < effect->params.size()) {
      restoreParam(effect->params[i], saved);
      effect->layerIds[i] = layer_id;
      effect->streamFlags[i] = flags;
    }
  }
  effect->flatSize = static_cast<A_long>(r.u64());
  bool has_data = r.u64() != 0;
  uint64_t size = r.bounded(kMaxSequenceBytes);
  // The bytes are read before the module's handle is made, so that a short file leaves no handle.
  const std::vector<char> bytes = r.block(size);
  if (has_data) {
    effect->sequenceData = host.newHandle(size, module);
    if (!effect->sequenceData)
      throw HostError(path + ": no memory for sequence data");
    if (size)
      std::memcpy(*effect->sequenceData, bytes.data(), size);
  }
  layer.effects.push_back(std::move(effect));
}

// --- what the project holds over time and beside its compositions ---

void writeParamKeys(Writer& w, const Effect& effect) {
  w.u64(effect.keys.size());
  for (const std::vector<ParamKey>& keys : effect.keys) {
    w.u64(keys.size());
    for (const ParamKey& key : keys) {
      w.plain(key.seconds);
      w.bytes(&key.value, sizeof(PF_ParamDef));
    }
  }
}

// Keys are kept for the parameters the module has now, each of the parameter's own type and in
// rising time, as values over time are looked up; keys of parameters it no longer has are read
// and dropped. Keys are appended as they are read, so that a damaged count fails at the end of
// the file instead of sizing anything.
void readParamKeys(Reader& r, Effect& effect, const std::string& path) {
  const uint64_t params = r.bounded(kMaxItems);
  if (params == 0)
    return;
  effect.keys.assign(effect.params.size(), {});
  for (uint64_t i = 0; i < params; ++i) {
    const uint64_t count = r.bounded(kMaxItems);
    for (uint64_t k = 0; k < count; ++k) {
      const double seconds = r.plain<double>();
      PF_ParamDef saved;
      r.bytes(&saved, sizeof saved);
      if (i >= effect.params.size())
        continue;
      std::vector<ParamKey>& keys = effect.keys[i];
      if (!std::isfinite(seconds) || (!keys.empty() && !(seconds > keys.back().seconds)) ||
          saved.param_type != effect.params[i].param_type)
        throw HostError(path + ": project file holds damaged parameter keys");
      ParamKey key{seconds, effect.params[i]};
      restoreParam(key.value, saved);
      keys.push_back(key);
    }
  }
}

void writeDynamicFlags(Writer& w, const Effect& effect) {
  w.u64(effect.dynamicFlags ? 1 : 0);
  w.u64(effect.dynamicFlags ? static_cast<uint32_t>(effect.dynamicFlags->first) : 0);
  w.u64(effect.dynamicFlags ? static_cast<uint32_t>(effect.dynamicFlags->second) : 0);
}

void readDynamicFlags(Reader& r, Effect& effect) {
  const bool answered = r.u64() != 0;
  const auto flags = static_cast<PF_OutFlags>(r.u64());
  const auto flags2 = static_cast<PF_OutFlags2>(r.u64());
  effect.dynamicFlags.reset();
  if (answered)
    effect.dynamicFlags = std::make_pair(flags, flags2);
}

// A time read from a file; a zero scale would divide by zero wherever the time is used.
A_Time readTime(Reader& r, const std::string& path) {
  const A_Time t = r.plain<A_Time>();
  if (t.scale == 0)
    throw HostError(path + ": project file holds a time without a scale");
  return t;
}

enum class ActiveKind : uint64_t { kNone = 0, kComp = 1, kItem = 2 };

// The active item as its kind and its place among the compositions or the project items.
void writeActiveItem(Writer& w, const Project& project) {
  for (size_t c = 0; c < project.comps.size(); ++c) {
    if (project.activeItem == project.comps[c]->item.get()) {
      w.u64(static_cast<uint64_t>(ActiveKind::kComp));
      w.u64(c);
      return;
    }
  }
  for (size_t i = 0; i < project.items.size(); ++i) {
    if (project.activeItem == project.items[i].get()) {
      w.u64(static_cast<uint64_t>(ActiveKind::kItem));
      w.u64(i);
      return;
    }
  }
  w.u64(static_cast<uint64_t>(ActiveKind::kNone));
  w.u64(0);
}

void readActiveItem(Reader& r, Project& project, const std::string& path) {
  const auto kind = static_cast<ActiveKind>(r.bounded(static_cast<uint64_t>(ActiveKind::kItem)));
  const uint64_t index = r.u64();
  project.activeItem = nullptr;
  if (kind == ActiveKind::kNone)
    return;
  const size_t count = kind == ActiveKind::kComp ? project.comps.size() : project.items.size();
  if (index >= count)
    throw HostError(path + ": project file names an active item it does not hold");
  project.activeItem =
      kind == ActiveKind::kComp ? project.comps[index]->item.get() : project.items[index].get();
}

void writeProjectItems(Writer& w, const Project& project) {
  w.u64(project.items.size());
  for (const auto& item : project.items) {
    w.u64(static_cast<uint32_t>(item->type));
    w.text(item->name);
    w.u64(static_cast<uint32_t>(item->width));
    w.u64(static_cast<uint32_t>(item->height));
  }
}

void readProjectItems(Reader& r, Project& project, const std::string& path) {
  const uint64_t count = r.bounded(kMaxItems);
  for (uint64_t i = 0; i < count; ++i) {
    const auto type = static_cast<AEGP_ItemType>(r.u64());
    if (type != AEGP_ItemType_FOOTAGE && type != AEGP_ItemType_FOLDER)
      throw HostError(path + ": project file holds an item of an unknown kind");
    auto item = std::make_unique<Item>(type, nullptr, nullptr);
    item->name = r.text();
    item->width = static_cast<A_long>(r.bounded(kMaxWorldSideCount));
    item->height = static_cast<A_long>(r.bounded(kMaxWorldSideCount));
    project.items.push_back(std::move(item));
  }
}

// Follows the compositions, in their order: layer starts, keys and flags, then the items.
void writeTimeAndItems(Writer& w, const Project& project) {
  for (const auto& comp : project.comps) {
    for (const auto& layer : comp->layers) {
      w.plain(layer->start);
      for (const auto& effect : layer->effects) {
        writeParamKeys(w, *effect);
        writeDynamicFlags(w, *effect);
      }
    }
  }
  writeProjectItems(w, project);
  writeActiveItem(w, project);
}

void readTimeAndItems(Reader& r, Project& project, const std::string& path) {
  for (const auto& comp : project.comps) {
    for (const auto& layer : comp->layers) {
      layer->start = readTime(r, path);
      for (const auto& effect : layer->effects) {
        readParamKeys(r, *effect, path);
        readDynamicFlags(r, *effect);
      }
    }
  }
  readProjectItems(r, project, path);
  readActiveItem(r, project, path);
}

}  // namespace

void Host::saveProject(const std::string& path) {
  std::string temp = path + ".saving";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out)
      throw HostError(path + ": cannot write the project");
    Writer w(out);
    w.bytes(kProjectMagic, sizeof kProjectMagic);
    w.u64(static_cast<uint32_t>(project_.nextLayerId));
    w.u64(static_cast<uint32_t>(project_.nextPathId));
    w.u64(project_.comps.size());
    for (const auto& comp : project_.comps) {
      w.text(comp->name);
      w.u64(static_cast<uint32_t>(comp->width));
      w.u64(static_cast<uint32_t>(comp->height));
      w.plain(comp->fps);
      w.plain(comp->duration);
      w.plain(comp->workStart);
      w.plain(comp->workDuration);
      w.plain(comp->currentTime);
      w.u64(project_.activeItem == comp->item.get() ? 1 : 0);
      w.u64(comp->selected.size());
      for (AEGP_LayerIDVal id : comp->selected)
        w.u64(static_cast<uint32_t>(id));
      w.u64(comp->layers.size());
      for (const auto& layer : comp->layers) {
        w.text(layer->name);
        w.u64(static_cast<uint32_t>(layer->id));
        w.u64(static_cast<uint32_t>(layer->width));
        w.u64(static_cast<uint32_t>(layer->height));
        writeLayerWorld(w, *layer);
        w.u64(layer->effects.size());
        for (const auto& effect : layer->effects)
          writeEffect(*this, w, *effect);
      }
    }
    writeTimeAndItems(w, project_);
    out.flush();
    if (!out)
      throw HostError(path + ": writing the project failed");
  }
  // The previous file stays whole until the new one is complete.
  std::error_code ec;
  platform::replaceFile(temp, path, ec);
  if (ec)
    throw HostError(path + ": cannot replace the project: " + ec.message());
}

void Host::closeProject() {
  for (auto& comp : project_.comps) {
    for (auto& layer : comp->layers) {
      while (!layer->effects.empty())
        removeEffect(*layer->effects.back());
    }
  }
  project_ = Project();
}

// The file is read whole into a project of its own; the open project is closed and replaced only
// when that succeeded, and otherwise stays as it was.
void Host::openProject(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw HostError(path + ": cannot open the project");
  Project open = std::move(project_);
  project_ = Project();
  try {
    readProject(in, path);
  } catch (...) {
    discardSequenceData(project_);
    project_ = std::move(open);
    throw;
  }
  Project read = std::move(project_);
  project_ = std::move(open);
  closeProject();
  project_ = std::move(read);
  for (auto& comp : project_.comps) {
    for (auto& layer : comp->layers) {
      for (auto& effect : layer->effects)
        sendToEffect(*effect, PF_Cmd_SEQUENCE_RESETUP);
    }
  }
}

void Host::discardSequenceData(Project& project) {
  for (auto& comp : project.comps) {
    for (auto& layer : comp->layers) {
      for (auto& effect : layer->effects) {
        if (effect->sequenceData)
          handles_.dispose(effect->sequenceData);
        effect->sequenceData = nullptr;
      }
    }
  }
}

void Host::readProject(std::ifstream& in, const std::string& path) {
  Reader r(in, path);
  char magic[sizeof kProjectMagic];
  r.bytes(magic, sizeof magic);
  const bool withTime = std::memcmp(magic, kProjectMagic, sizeof magic) == 0;
  if (!withTime && std::memcmp(magic, kProjectMagicWithoutTime, sizeof magic) != 0)
    throw HostError(path + ": not a testbed project");
  AEGP_LayerIDVal next_layer_id = static_cast<AEGP_LayerIDVal>(r.u64());
  PF_PathID next_path_id = static_cast<PF_PathID>(r.u64());
  uint64_t comps = r.counted(kMaxItems, kLeastRecord);
  for (uint64_t c = 0; c < comps; ++c) {
    std::string name = r.text();
    A_long width = static_cast<A_long>(r.u64());
    A_long height = static_cast<A_long>(r.u64());
    Comp& comp = addComp(name, width, height);
    comp.fps = r.plain<double>();
    std::optional<A_u_long> scale = timeScaleForFps(comp.fps);
    if (!scale)
      throw HostError(path + ": project file holds a damaged frame rate");
    comp.timeScale = *scale;
    comp.duration = r.plain<A_Time>();
    comp.workStart = r.plain<A_Time>();
    comp.workDuration = r.plain<A_Time>();
    comp.currentTime = r.plain<A_Time>();
    if (r.u64() != 0)
      project_.activeItem = comp.item.get();
    comp.selected.resize(r.counted(kMaxItems, kLeastRecord));
    for (AEGP_LayerIDVal& id : comp.selected)
      id = static_cast<AEGP_LayerIDVal>(r.u64());
    uint64_t layers = r.counted(kMaxItems, kLeastRecord);
    for (uint64_t l = 0; l < layers; ++l) {
      std::string layer_name = r.text();
      AEGP_LayerIDVal id = static_cast<AEGP_LayerIDVal>(r.u64());
      A_long lw = static_cast<A_long>(r.u64());
      A_long lh = static_cast<A_long>(r.u64());
      Layer& layer = addLayer(comp, layer_name, lw, lh);
      layer.id = id;
      readLayerWorld(r, layer, path);
      uint64_t effects = r.counted(kMaxItems, kLeastRecord);
      for (uint64_t e = 0; e < effects; ++e)
        readEffect(*this, r, layer, path);
    }
  }
  if (withTime)
    readTimeAndItems(r, project_, path);
  project_.nextLayerId = next_layer_id;
  project_.nextPathId = next_path_id;
}

}  // namespace tb
