#include "testbed/cli/Render.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "testbed/cli/Progress.h"
#include "testbed/cli/ProjectReport.h"
#include "testbed/host/HostError.h"
#include "testbed/output/MeshFiles.h"
#include "testbed/platform/Process.h"
#include "testbed/platform/SharedLibrary.h"
#include "testbed/scene/SceneBuild.h"
#include "testbed/scene/SceneRun.h"

namespace tb {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// A module is loaded once, however many of the folders given hold it: loaded twice, its second
// plug-in id would overwrite the one its first instance keeps in the module's globals.
void loadModules(Host& host, const std::string& dir, std::set<fs::path>& loaded,
                 std::ostream& err) {
  std::vector<fs::path> modules;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (entry.path().extension() == platform::kModuleSuffix)
      modules.push_back(entry.path());
  }
  if (ec)
    err << "tolv-testbed: " << dir << ": " << ec.message() << "\n";
  std::sort(modules.begin(), modules.end());
  for (const fs::path& path : modules) {
    std::error_code how;
    const fs::path same = fs::weakly_canonical(path, how);
    if (!loaded.insert(how ? path : same).second)
      continue;
    try {
      host.load(path.string());
    } catch (const HostError& e) {
      err << "tolv-testbed: skipping " << path.string() << ": " << e.what() << "\n";
    }
  }
}

json statusJson(const SentCommand& s) {
  json j = {
      {"layer", s.layer}, {"effect", s.effect}, {"command", commandName(s.cmd)}, {"err", s.err}};
  if (s.cmd == SentCommand::kIdleHook) {
    j["module"] = s.matchName;
    j["max_sleep"] = s.maxSleep;
  } else {
    j["match"] = s.matchName;
  }
  if (!s.held.empty())
    j["held"] = s.held;
  if (s.cmd == PF_Cmd_QUERY_DYNAMIC_FLAGS) {
    j["out_flags"] = s.outFlags;
    j["out_flags2"] = s.outFlags2;
  }
  return j;
}

std::string recordName(size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%04zu.bin", index);
  return name;
}

json meshJson(const scene::MeshReport& m, bool named) {
  json j = {{"layer", m.layer},
            {"effect", m.effect},
            {"slot", m.slot},
            {"triangles", m.triangles},
            {"enabled", m.enabled},
            {"uv_rect", m.uvRect},
            {"color", m.color},
            {"cap_fill_failed", m.capFillFailed},
            {"bbox", m.bbox ? json(*m.bbox) : json(nullptr)}};
  if (named)
    j["record"] = recordName(m.record);
  return j;
}

json scriptJson(const ScriptRun& run) {
  return {{"text", run.text}, {"err", run.err}, {"error", run.error}};
}

json paramUiJson(const ParamUiUpdate& u) {
  return {{"layer", u.layer},
          {"effect", u.effect},
          {"param", u.param},
          {"ui_flags", u.uiFlags},
          {"flags", u.flags}};
}

json violationsJson(const std::vector<Violation>& violations) {
  json list = json::array();
  for (const Violation& v : violations)
    list.push_back({{"module", v.module}, {"command", v.command}, {"what", v.what}});
  return list;
}

json stepJson(const scene::StepReport& s, bool named) {
  json j = {{"step", s.kind}};
  if (s.time)
    j["time"] = *s.time;
  if (s.result)
    j["result"] = *s.result;
  j["status"] = json::array();
  for (const SentCommand& sent : s.status)
    j["status"].push_back(statusJson(sent));
  j["meshes"] = json::array();
  for (const scene::MeshReport& m : s.meshes)
    j["meshes"].push_back(meshJson(m, named));
  j["scripts"] = json::array();
  for (const ScriptRun& run : s.scripts)
    j["scripts"].push_back(scriptJson(run));
  j["alerts"] = s.alerts;
  j["commands"] = s.commands;
  j["lights"] = {{"created", s.lightsCreated}, {"deleted", s.lightsDeleted}};
  j["param_ui"] = json::array();
  for (const ParamUiUpdate& u : s.paramUi)
    j["param_ui"].push_back(paramUiJson(u));
  j["violations"] = violationsJson(s.violations);
  return j;
}

std::string fileSafe(const std::string& name) {
  std::string safe = name;
  for (char& c : safe) {
    if (c == '/' || c == '\\' || c == '\0')
      c = '_';
  }
  return safe;
}

void makeDir(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec)
    throw HostError(dir + ": " + ec.message());
}

void writeFrames(const std::vector<scene::StepReport>& steps, const std::string& dir) {
  makeDir(dir);
  for (size_t i = 0; i < steps.size(); ++i) {
    for (const auto& [layer, frame] : steps[i].frames) {
      char prefix[32];
      std::snprintf(prefix, sizeof prefix, "step%0*zu_", stepDigits(steps.size()), i + 1);
      const std::string path = dir + "/" + prefix + fileSafe(layer) + ".png";
      std::string error;
      if (!writePng(frame.def(), path, error))
        throw HostError(path + ": " + error);
    }
  }
}

void writeRecords(const Host& host, const std::string& dir) {
  makeDir(dir);
  const auto& records = host.engineRecords();
  for (size_t i = 0; i < records.size(); ++i) {
    const std::string path = dir + "/" + recordName(i);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(records[i].bytes.data()),
               static_cast<std::streamsize>(records[i].bytes.size()));
    if (!file)
      throw HostError(path + ": cannot be written");
  }
}

std::string scratchProject() {
  return (fs::temp_directory_path() /
          ("tolv-testbed-" + std::to_string(platform::processId()) + ".tolvprj"))
      .string();
}

}  // namespace

int renderScene(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  const std::string scratch = scratchProject();
  try {
    scene::SceneSpec parsed = scene::loadScene(options.scene);
    Host host;
    std::set<fs::path> loaded;
    loadModules(host, options.pluginDir, loaded, err);
    for (const std::string& dir : options.extraPluginDirs)
      loadModules(host, dir, loaded, err);
    Comp& comp = scene::buildScene(host, parsed);
    scene::checkSteps(host, comp, parsed);
    std::vector<scene::StepReport> steps = scene::runSteps(
        host, parsed, scratch, options.progress ? scene::FrameProgress(ProgressBar(err)) : nullptr);
    std::error_code ec;
    fs::remove(scratch, ec);
    if (!options.outDir.empty()) {
      writeFrames(steps, options.outDir);
      writeMeshFiles(steps, host.engineRecords(), options.outDir);
    }
    if (!options.recordsDir.empty())
      writeRecords(host, options.recordsDir);
    // The project is read before the host closes it; what closing finds is reported after.
    json project = projectJson(host);
    host.quit();
    const std::vector<Violation>& violations = host.ledger().violations();
    if (options.json) {
      json report = {{"steps", json::array()}};
      for (const scene::StepReport& step : steps)
        report["steps"].push_back(stepJson(step, !options.recordsDir.empty()));
      report["violations"] = violationsJson(violations);
      // Last, so that what the steps did to the project reads after them.
      report["project"] = std::move(project);
      out << report.dump(2) << "\n";
    }
    for (const Violation& v : violations)
      err << "violation: " << describe(v) << "\n";
    return violations.empty() ? 0 : 1;
  } catch (const scene::SceneError& e) {
    err << e.what() << "\n";
  } catch (const HostError& e) {
    err << options.scene << ": " << e.what() << "\n";
  }
  std::error_code ec;
  fs::remove(scratch, ec);
  return 2;
}

}  // namespace tb
