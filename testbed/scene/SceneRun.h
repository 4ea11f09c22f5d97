// Running a built scene's steps, and what each step did: the commands sent and their statuses, the
// meshes the stand-in renderer received, scripts, alerts, host commands, lights, and the frames.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "testbed/host/Host.h"
#include "testbed/scene/SceneParse.h"

namespace tb::scene {

// A record received by the stand-in renderer, read as input: every count in it is bounded first.
struct MeshReport {
  std::string layer;
  int effect = -1;
  size_t record = 0;  // arrival index across the whole run
  int32_t slot = 0;
  int32_t triangles = 0;  // as the record says
  bool enabled = false;
  std::array<int32_t, 4> uvRect{};
  std::array<uint8_t, 4> color{};  // alpha, red, green, blue
  bool capFillFailed = false;
  // Over the valid triangles (the count clamped to 0 … kMaxTriangles); none without any.
  std::optional<std::array<std::array<float, 3>, 2>> bbox;
};

struct StepReport {
  std::string
      kind;  // change, render, idle, save, open, ui, delete_mask, time, request_engine_update
  std::optional<double> time;
  std::optional<A_Err> result;  // request_engine_update: what the suite call answered
  std::vector<SentCommand> status;
  std::vector<MeshReport> meshes;
  std::vector<ScriptRun> scripts;
  std::vector<std::string> alerts;
  std::vector<AEGP_Command> commands;
  std::vector<std::string> lightsCreated;
  std::vector<std::string> lightsDeleted;
  std::vector<ParamUiUpdate> paramUi;
  std::vector<std::pair<std::string, World>> frames;  // render: each layer's final frame
  std::vector<Violation> violations;                  // host rules broken during the step
};

MeshReport readMeshRecord(const EngineRecord& record, size_t index);

// Checks what the steps name against the built model (layers, effects, parameters, values), so
// that a bad step is a scene error before anything runs. Throws SceneError.
void checkSteps(Host& host, const Comp& comp, const SceneSpec& parsed);

// Told after each frame rendered: frames done so far and frames the whole run renders.
using FrameProgress = std::function<void(size_t done, size_t total)>;

// The composition times a render step renders: its one time, or each frame that starts in its
// range, in order. Empty when a time cannot be counted.
std::vector<A_Time> renderTimes(const RenderStep& r, const Comp& comp);

// Runs the steps in order (a render at time 0 when there are none). A render step over a range
// gives one report per frame. Saves without a path go to `scratchProject`. Throws SceneError or
// HostError.
std::vector<StepReport> runSteps(Host& host, const SceneSpec& parsed,
                                 const std::string& scratchProject,
                                 const FrameProgress& progress = {});

}  // namespace tb::scene
