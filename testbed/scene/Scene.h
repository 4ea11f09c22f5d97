// A scene file as plain data: the composition, its layers (top first) with their masks and effect
// stacks, the selection and the steps to run. Everything here has been checked when parsed, except
// what needs the modules (whether a parameter index or match name exists) or the disk (images).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "AE_Effect.h"
#include "testbed/world/LayerKind.h"
#include "testbed/world/Outline.h"
#include "testbed/world/Transform.h"

namespace tb::scene {

struct CompSpec {
  std::string name = "Comp 1";
  A_long width = 0;
  A_long height = 0;
  double fps = 0;
  double duration = 0;      // seconds
  double workStart = 0;     // seconds
  double workDuration = 0;  // seconds; the whole composition when the file gives no work area
  // Time scales other than the frame rate's; 0 keeps the frame rate's.
  A_u_long timeScale = 0;      // the current time
  A_u_long workAreaScale = 0;  // work area start and duration
  A_u_long durationScale = 0;
};

enum class ItemKind { Footage, Folder };

// An item of the project panel besides the composition.
struct ItemSpec {
  std::string name;
  ItemKind kind = ItemKind::Footage;
};

struct MaskSpec {
  std::string name;
  Outline outline;
};

// A parameter given as {"layer_id": NAME}: the id of that layer, as a number.
struct LayerIdRef {
  std::string layer;
};

// null (none), a number, a name (of a mask of the layer or a layer of the composition), a colour,
// a point in layer pixels, or a layer id.
using ParamValue =
    std::variant<std::monostate, double, std::string, PF_Pixel, A_FloatPoint, LayerIdRef>;

// A value from a time on, in seconds of the layer's time.
struct ParamKeySpec {
  double time = 0;
  ParamValue value;
};

struct EffectSpec {
  std::string match;
  std::map<int, ParamValue> params;  // by parameter index; a keyed one holds its first key's value
  std::map<int, std::vector<ParamKeySpec>> keys;  // keyed parameters, keys in time order
};

struct LayerSpec {
  std::string name;
  LayerKind kind = LayerKind::Solid;
  A_long width = 0;  // solid and gradient; an image takes its file's size
  A_long height = 0;
  PF_Pixel color{255, 255, 255, 255};
  PF_Pixel color2{255, 0, 0, 0};
  A_FloatPoint direction{1, 0};
  std::string image;   // PNG path as written, relative to the scene file
  std::string parent;  // empty: none
  double start = 0;    // seconds after the composition's start
  bool video = true;
  bool locked = false;
  bool shy = false;
  Transform transform;
  std::vector<MaskSpec> masks;
  std::vector<EffectSpec> effects;  // top of the stack first
};

struct ChangeStep {
  std::string layer;
  int effect = 0;  // position in the layer's stack, from 0
  int param = 0;
  ParamValue value;
};

// One frame at `time`, or with `range` every frame that starts in [from, to).
struct RenderStep {
  double time = 0;  // seconds
  bool range = false;
  double from = 0;  // seconds
  double to = 0;    // seconds
  A_long downsampleX = 1;
  A_long downsampleY = 1;
};

struct IdleStep {
  int count = 0;
};

// An empty path is a file of the testbed's own choosing.
struct SaveStep {
  std::string path;
};

struct OpenStep {
  std::string path;
};

// UPDATE_PARAMS_UI to one effect, as when the user opens its controls.
struct UiStep {
  std::string layer;
  int effect = 0;
};

// Deletes a mask by name; the others keep their path ids.
struct DeleteMaskStep {
  std::string layer;
  std::string mask;
};

// Sets the composition's current time.
struct TimeStep {
  double time = 0;  // seconds
};

// As a plug-in outside the system would: "AEGP TOLV Suite" 1, SetEngineUpdatePending(pending).
struct EngineRequestStep {
  int pending = 0;
};

using Step = std::variant<ChangeStep, RenderStep, IdleStep, SaveStep, OpenStep, UiStep,
                          DeleteMaskStep, TimeStep, EngineRequestStep>;

struct SceneSpec {
  std::string file;       // as given to the parser, for messages
  std::string directory;  // the file's folder; relative paths start here
  CompSpec comp;
  std::vector<LayerSpec> layers;  // top first
  std::vector<std::string> selected;
  std::vector<ItemSpec> items;
  // The active item's name: the composition's by default; empty for none.
  std::optional<std::string> active;
  std::vector<Step> steps;  // a render at time 0 when the file gives none
};

// `relative` taken from the scene file's folder; an absolute path is kept.
std::string resolveScenePath(const SceneSpec& scene, const std::string& relative);

}  // namespace tb::scene
