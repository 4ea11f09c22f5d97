// `tolv-testbed render SCENE [--out DIR] [--records DIR] [--json] [--plugins DIR]...`: runs a scene
// with the modules of a plug-in folder and reports every step.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "testbed/host/CommandNames.h"

namespace tb {

struct RenderOptions {
  std::string scene;
  std::string outDir;      // empty: no PNG or glTF files
  std::string recordsDir;  // empty: no record files
  bool json = false;
  bool progress = false;                     // a progress bar on err while frames render
  std::string pluginDir;                     // every *.so in it is loaded
  std::vector<std::string> extraPluginDirs;  // and in each of these, after it
};

// Returns the exit status: 0 when the scene ran (plug-in errors are reported, not fatal), 1 when it
// ran but a module broke a host rule (each violation is also a line "violation: ..." on err), 2
// for a bad scene, with the message on err. Nothing is written to the output folders unless it ran.
int renderScene(const RenderOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tb
