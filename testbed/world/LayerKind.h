// What a layer is, as scene files name it and the project model keeps it.
#pragma once

namespace tb {

enum class LayerKind { Solid, Image, Gradient, Light, Null };

// The kind's name in scene files and reports.
inline const char* layerKindName(LayerKind kind) {
  switch (kind) {
    case LayerKind::Solid:
      return "solid";
    case LayerKind::Image:
      return "image";
    case LayerKind::Gradient:
      return "gradient";
    case LayerKind::Light:
      return "light";
    case LayerKind::Null:
      return "null";
  }
  return "solid";
}

}  // namespace tb
