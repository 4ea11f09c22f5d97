#include "testbed/host/ParamKeys.h"

#include <algorithm>
#include <cmath>

#include "testbed/world/Time.h"

namespace tb {

namespace {

double lerp(double a, double b, double f) {
  return a + (b - a) * f;
}

A_long lerpLong(A_long a, A_long b, double f) {
  return static_cast<A_long>(std::lround(lerp(a, b, f)));
}

A_u_char lerpByte(A_u_char a, A_u_char b, double f) {
  return static_cast<A_u_char>(std::lround(lerp(a, b, f)));
}

// `from` with its value moved a fraction f of the way to `to`'s; both hold a value of one type.
PF_ParamDef interpolate(const PF_ParamDef& from, const PF_ParamDef& to, double f) {
  PF_ParamDef p = from;
  switch (p.param_type) {
    case PF_Param_SLIDER:
    case PF_Param_FIX_SLIDER:
      p.u.sd.value = lerpLong(from.u.sd.value, to.u.sd.value, f);
      break;
    case PF_Param_FLOAT_SLIDER:
      p.u.fs_d.value = lerp(from.u.fs_d.value, to.u.fs_d.value, f);
      break;
    case PF_Param_ANGLE:
      p.u.ad.value = lerpLong(from.u.ad.value, to.u.ad.value, f);
      break;
    case PF_Param_COLOR:
      p.u.cd.value = {lerpByte(from.u.cd.value.alpha, to.u.cd.value.alpha, f),
                      lerpByte(from.u.cd.value.red, to.u.cd.value.red, f),
                      lerpByte(from.u.cd.value.green, to.u.cd.value.green, f),
                      lerpByte(from.u.cd.value.blue, to.u.cd.value.blue, f)};
      break;
    case PF_Param_POINT:
      p.u.td.x_value = lerpLong(from.u.td.x_value, to.u.td.x_value, f);
      p.u.td.y_value = lerpLong(from.u.td.y_value, to.u.td.y_value, f);
      break;
    default:
      break;  // held
  }
  return p;
}

}  // namespace

PF_ParamDef paramAt(const Effect& effect, int index, double seconds) {
  const PF_ParamDef& now = effect.params[index];
  if (static_cast<size_t>(index) >= effect.keys.size() || effect.keys[index].empty())
    return now;
  const std::vector<ParamKey>& keys = effect.keys[index];
  const auto after = std::upper_bound(keys.begin(), keys.end(), seconds,
                                      [](double t, const ParamKey& k) { return t < k.seconds; });
  PF_ParamDef value;
  if (after == keys.begin()) {
    value = keys.front().value;
  } else if (after == keys.end()) {
    value = keys.back().value;
  } else {
    const ParamKey& before = *(after - 1);
    value = interpolate(before.value, after->value,
                        (seconds - before.seconds) / (after->seconds - before.seconds));
  }
  // Only the value changes over time; flags and UI flags are the parameter's own.
  value.flags = now.flags;
  value.ui_flags = now.ui_flags;
  return value;
}

double layerSeconds(const Layer& layer, A_Time compTime) {
  return timeToSeconds(compTime) - timeToSeconds(layer.start);
}

double currentLayerSeconds(const Effect& effect) {
  return effect.layer ? layerSeconds(*effect.layer, effect.layer->comp->currentTime) : 0;
}

}  // namespace tb
