// tolv-testbed: load the plug-ins as the host does and drive them from the command line.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "testbed/cli/ModuleReport.h"
#include "testbed/cli/Render.h"
#include "testbed/platform/Process.h"
#include "testbed/platform/SharedLibrary.h"

namespace {

std::filesystem::path executableDir() {
  const std::filesystem::path exe = tb::platform::executablePath();
  return exe.empty() ? std::filesystem::current_path() : exe.parent_path();
}

// The vase demo scene of the source tree this program was built from, else the one two folders up
// from the program (build/<preset>/ in a checkout).
std::string demoScene() {
  const std::filesystem::path built = TOLV_SOURCE_DIR "/examples/vase.json";
  if (std::filesystem::exists(built))
    return built.string();
  return (executableDir() / ".." / ".." / "examples" / "vase.json").string();
}

// MODULE as given when it names a file; else the module of that name (with or without the module
// suffix) in the first plug-in folder that has it.
std::string resolveModule(const std::string& module, const std::vector<std::string>& dirs) {
  if (std::filesystem::is_regular_file(module))
    return module;
  for (const std::string& dir : dirs) {
    for (const std::string& name : {module, module + tb::platform::kModuleSuffix}) {
      const std::filesystem::path candidate = std::filesystem::path(dir) / name;
      if (std::filesystem::is_regular_file(candidate))
        return candidate.string();
    }
  }
  return module;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"tolv-testbed: a host for the TOLV plug-ins"};
  app.require_subcommand(1);

  std::string module_path;
  CLI::App* inspect = app.add_subcommand("inspect", "Load a module and print what the host learns");
  inspect->add_option("MODULE", module_path, "Path of a plug-in module, or its name")->required();
  std::vector<std::string> inspect_dirs;
  inspect
      ->add_option("--plugins", inspect_dirs,
                   "A folder of plug-in modules to find MODULE in (repeatable)")
      ->allow_extra_args(false);

  tb::RenderOptions render_options;
  CLI::App* render = app.add_subcommand("render", "Run a scene file and report every step");
  render->add_option("SCENE", render_options.scene, "Scene file (default: the demo scene)");
  render->add_option("--out", render_options.outDir, "Write each layer's rendered frames as PNG");
  render->add_option("--records", render_options.recordsDir,
                     "Write every record the stand-in renderer received");
  render->add_flag("--json", render_options.json, "Print the report as JSON");
  render
      ->add_option("--plugins", render_options.extraPluginDirs,
                   "Load the modules of this folder as well (repeatable)")
      ->allow_extra_args(false);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  const std::string plugins = (executableDir() / "plugins").string();
  if (*inspect) {
    inspect_dirs.push_back(plugins);
    return tb::inspectModule(resolveModule(module_path, inspect_dirs), std::cout, std::cerr);
  }
  if (*render) {
    if (render_options.scene.empty())
      render_options.scene = demoScene();
    render_options.pluginDir = plugins;
    // The bar is for a person watching; a report read by a program, or a log, gets none.
    render_options.progress = !render_options.json && tb::platform::stderrIsTerminal();
    return tb::renderScene(render_options, std::cout, std::cerr);
  }
  return 2;
}
