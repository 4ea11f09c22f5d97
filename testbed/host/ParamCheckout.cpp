#include "testbed/host/ParamCheckout.h"

#include <algorithm>
#include <vector>

#include "testbed/host/Host.h"
#include "testbed/host/ParamKeys.h"
#include "testbed/host/ParamValues.h"
#include "testbed/host/Sanitizer.h"
#include "testbed/host/suites/HostRefs.h"

namespace tb {

namespace {

const Layer* chosenLayer(const Effect& effect, PF_ParamIndex index) {
  if (index == 0)
    return effect.layer;
  const Comp* comp = effect.layer ? effect.layer->comp : nullptr;
  return comp ? Host::current().layerById(*comp, effect.layerIds[index]) : nullptr;
}

bool inside(const PF_EffectWorld& w, A_long x, A_long y) {
  return x >= 0 && y >= 0 && x < w.width && y < w.height;
}

PF_Pixel& pixel(PF_EffectWorld& w, A_long x, A_long y) {
  return *reinterpret_cast<PF_Pixel*>(reinterpret_cast<char*>(w.data) + y * w.rowbytes +
                                      x * static_cast<A_long>(sizeof(PF_Pixel)));
}

// Pixels of layers checked in, kept so that the next check-out copies into storage it already
// has: a render that checks out a layer each frame then costs one copy, not a fresh block. Kept
// pixels are poisoned until then, so a module still reading a layer it checked in is caught as
// if they had been freed.
std::vector<World>& sparePixels() {
  static std::vector<World> spare;
  return spare;
}

size_t pixelBytes(const World& w) {
  return static_cast<size_t>(w.def().rowbytes) * static_cast<size_t>(w.height());
}

World copyOfLayer(const World& pixels) {
  std::vector<World>& spare = sparePixels();
  if (spare.empty())
    return pixels;
  World copy = std::move(spare.back());
  spare.pop_back();
  unpoison(copy.def().data, pixelBytes(copy));
  copy = pixels;
  return copy;
}

void keepPixels(CheckedOutParamObject& held) {
  constexpr size_t kKept = 2;
  if (held.pixels && sparePixels().size() < kKept) {
    poison(held.pixels->def().data, pixelBytes(*held.pixels));
    sparePixels().push_back(std::move(*held.pixels));
    held.pixels.reset();
  }
}

// During a downsampled render a layer comes at the reduced size, as the input world does.
std::optional<World> renderedPixels(const World& pixels, const FrameContext* frame) {
  const auto x = frame ? static_cast<A_long>(frame->downsampleX.den) : 1;
  const auto y = frame ? static_cast<A_long>(frame->downsampleY.den) : 1;
  if (x == 1 && y == 1)
    return copyOfLayer(pixels);
  return downsampleWorld(pixels, x, y);
}

}  // namespace

PF_Err checkoutParam(PF_ProgPtr effect_ref, PF_ParamIndex index, A_long what_time, A_long,
                     A_u_long time_scale, PF_ParamDef* param) {
  TB_ENTER(param);
  Effect* effect = resolve<Effect>(effect_ref, "effect");
  if (!effect || !param || time_scale == 0 || index < 0 ||
      static_cast<size_t>(index) >= effect->params.size())
    return PF_Err_BAD_CALLBACK_PARAM;
  Host& host = Host::current();
  PF_ParamDef value = paramAt(*effect, index, static_cast<double>(what_time) / time_scale);
  if (const FrameContext* frame = host.frame())
    downsamplePoint(value, static_cast<A_long>(frame->downsampleX.den),
                    static_cast<A_long>(frame->downsampleY.den));
  std::optional<World> pixels;
  if (value.param_type == PF_Param_LAYER) {
    // Layers do not change over time in the testbed: their pixels hold at every time.
    const Layer* layer = chosenLayer(*effect, index);
    if (layer && layer->pixels) {
      pixels = renderedPixels(*layer->pixels, host.frame());
      if (!pixels)
        return PF_Err_OUT_OF_MEMORY;
    }
  }
  auto* held = host.newRef<CheckedOutParamObject>("checked-out param", param);
  *param = value;
  if (param->param_type != PF_Param_LAYER)
    return PF_Err_NONE;
  const A_long dflt = param->u.ld.dephault;
  param->u.ld = PF_LayerDef{};
  param->u.ld.dephault = dflt;
  if (pixels) {
    held->pixels = std::move(pixels);
    param->u.ld = held->pixels->def();
    param->u.ld.dephault = dflt;
  }
  return PF_Err_NONE;
}

PF_Err checkinParam(PF_ProgPtr effect_ref, PF_ParamDef* param) {
  TB_ENTER();
  Host& host = Host::current();
  auto* held = host.findRef<CheckedOutParamObject>(
      [&](const CheckedOutParamObject& p) { return p.param == param; });
  if (!resolve<Effect>(effect_ref, "effect") || !param || !held) {
    host.ledger().violation("checkin_param: not a checked-out parameter");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  keepPixels(*held);
  host.disposeRef(held);
  return PF_Err_NONE;
}

PF_Err copyWorldCallback(PF_ProgPtr, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
                         PF_Rect* dst_r) {
  TB_ENTER();
  if (!src || !dst || !src->data || !dst->data)
    return PF_Err_BAD_CALLBACK_PARAM;
  if (!src_r && !dst_r)
    return copyWorld(*src, *dst) ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
  const PF_Rect from = src_r ? *src_r : PF_Rect{0, 0, src->width, src->height};
  const PF_Rect to = dst_r ? *dst_r : PF_Rect{0, 0, dst->width, dst->height};
  const A_long w = std::min(from.right - from.left, to.right - to.left);
  const A_long h = std::min(from.bottom - from.top, to.bottom - to.top);
  for (A_long y = 0; y < h; ++y) {
    for (A_long x = 0; x < w; ++x) {
      if (inside(*src, from.left + x, from.top + y) && inside(*dst, to.left + x, to.top + y))
        pixel(*dst, to.left + x, to.top + y) = pixel(*src, from.left + x, from.top + y);
    }
  }
  return PF_Err_NONE;
}

}  // namespace tb
