// The scripting object model over the host's live project, as the host's scripts see it:
//   app.project.activeItem          the active item: a composition, footage or folder; null for
//   none comp.numLayers, comp.layer(i)   layers counted from 1, top first comp.selectedLayers the
//   selected layers, in the order they were selected layer.name, layer.Effects       the effect
//   group; null for a layer that cannot hold effects Effects.numProperties, Effects.property(i),
//   Effects(i)   effects counted from 1, top first Effects.addProperty(matchName)  appends the
//   effect, sends it sequence setup and returns it effect.matchName, effect.name,
//   effect.numProperties, effect.moveTo(i) effect.property(i).value, .setValue(v), .name parameter
//   i, written as a stream write is alert(text)                     shown to the user, kept in the
//   host's log as given
// Values are numbers (sliders, angles in degrees, checkboxes 0/1, popups from 1, layers as their
// index in the composition, 0 for none), [x, y] for points and [r, g, b, a] in 0..1 for colours.
// Objects name the model by address and are looked up on every use, so one whose layer or effect
// has gone throws instead of reaching freed memory.
#pragma once

#include <duktape.h>

namespace tb {

class Host;

// Defines `app` and `alert` in the context's global object.
void installObjectModel(duk_context* ctx, Host& host);

}  // namespace tb
