// Rendering a composition: every layer with pixels runs its effect stack from the top down, each
// effect's output world the next one's input, as the host renders a frame.
#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"
#include "testbed/host/ParamKeys.h"
#include "testbed/host/ParamValues.h"

namespace tb {

std::vector<LayerFrame> Host::renderComp(Comp& comp, A_Time time, A_long downsampleX,
                                         A_long downsampleY) {
  if (time.scale == 0 || downsampleX < 1 || downsampleY < 1)
    throw HostError("a render needs a time with a scale and downsample factors of 1 or more");
  frame_ = FrameContext{&comp,
                        time,
                        {1, static_cast<A_u_long>(downsampleX)},
                        {1, static_cast<A_u_long>(downsampleY)}};
  comp.currentTime = time;
  std::vector<LayerFrame> frames;
  // Layers may be added or deleted by the effects as they render; walk a snapshot by id.
  std::vector<AEGP_LayerIDVal> ids;
  for (const auto& layer : comp.layers)
    ids.push_back(layer->id);
  for (AEGP_LayerIDVal id : ids) {
    Layer* layer = layerById(comp, id);
    if (!layer || !layer->pixels)
      continue;
    frames.push_back({layer, renderLayer(*layer)});
  }
  frame_.reset();
  return frames;
}

namespace {

// Point values are in layer pixels; at reduced resolution the host divides them by the factors.
void downsamplePoints(ParamCopies& params, size_t count, A_long dx, A_long dy) {
  for (size_t i = 1; i < count; ++i)
    downsamplePoint(params[i], dx, dy);
}

}  // namespace

// The stack stops at the first effect that fails, and the layer has no frame, as the host shows
// an error in place of the frame. With downsampling every world is at the reduced size.
std::optional<World> Host::renderLayer(Layer& layer) {
  const auto dx = static_cast<A_long>(frame_->downsampleX.den);
  const auto dy = static_cast<A_long>(frame_->downsampleY.den);
  std::optional<World> input = downsampleWorld(*layer.pixels, dx, dy);
  if (!input)
    return std::nullopt;
  std::vector<Effect*> stack;
  for (const auto& effect : layer.effects)
    stack.push_back(effect.get());
  for (Effect* effect : stack) {
    if (!lookup<Effect>(effect))
      continue;
    std::optional<World> output = World::blank(input->width(), input->height());
    // The parameters at the frame's time, with the input world in place of the input layer's
    // value.
    ParamCopies params(*effect, layerSeconds(layer, frame_->time));
    const A_long dflt = params[0].u.ld.dephault;
    params[0].u.ld = input->def();
    params[0].u.ld.dephault = dflt;
    downsamplePoints(params, effect->params.size(), dx, dy);
    CommandResult r =
        send({effect->module, effect}, PF_Cmd_RENDER, params.array(), &output->def(), nullptr);
    if (r.err != PF_Err_NONE)
      return std::nullopt;
    input = std::move(output);
  }
  return input;
}

}  // namespace tb
