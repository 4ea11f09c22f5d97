// The testbed's project model: compositions, layers, effect instances. Host handles given to
// plug-ins point at these objects; each carries a magic number so that a handle of the wrong kind
// or a stale one is answered with an error instead of being followed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_GeneralPlug.h"

namespace tb {

class Module;
struct Layer;
struct Comp;

enum Magic : uint32_t {
  kEffectMagic = 0x45464654,  // 'EFFT'
  kLayerMagic = 0x4C415952,   // 'LAYR'
  kCompMagic = 0x434F4D50,    // 'COMP'
};

struct Effect {
  uint32_t magic = kEffectMagic;
  Module* module = nullptr;
  Layer* layer = nullptr;
  PF_Handle sequenceData = nullptr;
  A_long flatSize = 0;
  std::vector<PF_ParamDef> params;  // current values; index 0 is the input layer
};

struct Layer {
  uint32_t magic = kLayerMagic;
  AEGP_LayerIDVal id = 0;
  std::string name;
  Comp* comp = nullptr;
  A_long width = 0;
  A_long height = 0;
  std::vector<std::unique_ptr<Effect>> effects;  // top of the stack first
};

struct Comp {
  uint32_t magic = kCompMagic;
  std::string name;
  A_long width = 0;
  A_long height = 0;
  std::vector<std::unique_ptr<Layer>> layers;  // top first
};

struct Project {
  std::vector<std::unique_ptr<Comp>> comps;
};

}  // namespace tb
