// tolv-testbed: load the plug-ins as the host does and drive them from the command line.
#include <CLI/CLI.hpp>
#include <iostream>

#include "testbed/cli/Inspect.h"

int main(int argc, char** argv) {
  CLI::App app{"tolv-testbed: a host for the TOLV plug-ins"};
  app.require_subcommand(1);

  std::string module_path;
  CLI::App* inspect = app.add_subcommand("inspect", "Load a module and print what the host learns");
  inspect->add_option("MODULE", module_path, "Path of a plug-in module (.so)")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  if (*inspect)
    return tb::inspectModule(module_path, std::cout, std::cerr);
  return 2;
}
