#include "testbed/cli/ModuleReport.h"

#include <cstdio>

#include "testbed/cli/ParamLines.h"
#include "testbed/host/Host.h"
#include "testbed/host/HostError.h"

namespace tb {

std::string cEscape(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out;
}

namespace {

void printPipl(const Pipl& pipl, std::ostream& out) {
  out << "pipl kind: " << pipl.kindCode() << "\n";
  for (const auto& [key, values] : pipl.properties) {
    out << "pipl " << key << ":";
    for (const auto& v : values) {
      out << " " << (v.quoted ? "\"" + cEscape(v.text) + "\"" : v.text);
    }
    out << "\n";
  }
}

void printParams(const Module& module, std::ostream& out, std::ostream& err) {
  if (module.paramsSetupErr != PF_Err_NONE)
    out << "params_setup: err=" << module.paramsSetupErr << "\n";
  for (size_t i = 1; i < module.paramDefs.size(); ++i)
    out << describeParam(static_cast<int>(i), module.paramDefs[i]) << "\n";
  out << "params: " << module.numParams << "\n";
  for (const std::string& problem : module.paramProblems)
    err << module.path() << ": PARAMS_SETUP: " << problem << "\n";
}

// Applies one instance to a layer of a fresh composition, as a user would, and reports what its
// sequence setup returned and the flat sequence data it declared.
void printSequenceSetup(Host& host, Module& module, std::ostream& out) {
  Layer& layer = host.addLayer(host.addComp("Inspect", 640, 360), "Layer 1", 640, 360);
  CommandResult setup;
  Effect& effect = host.applyEffect(layer, module, &setup);
  A_u_longlong size = effect.sequenceData ? host.handleSize(effect.sequenceData) : 0;
  out << "sequence_setup: err=" << setup.err << " size=" << size
      << " flat_sdata_size=" << setup.out.flat_sdata_size << "\n";
  host.removeEffect(effect);
}

void printEffect(Host& host, Module& module, std::ostream& out, std::ostream& err) {
  CommandResult about = host.send({&module, nullptr}, PF_Cmd_ABOUT);
  about.out.return_msg[sizeof about.out.return_msg - 1] = '\0';
  out << "about: \"" << cEscape(about.out.return_msg) << "\"\n";
  if (about.err != PF_Err_NONE)
    out << "about_err: " << about.err << "\n";

  char line[160];
  std::snprintf(line, sizeof line,
                "global_setup: err=%d my_version=0x%08X out_flags=0x%08X out_flags2=0x%08X",
                static_cast<int>(module.globalSetupErr),
                static_cast<unsigned>(module.globalOut.my_version),
                static_cast<unsigned>(module.globalOut.out_flags),
                static_cast<unsigned>(module.globalOut.out_flags2));
  out << line << "\n";
  for (const std::string& problem : module.globalSetupProblems) {
    err << module.path() << ": GLOBAL_SETUP: " << problem << "\n";
  }
  printParams(module, out, err);
  printSequenceSetup(host, module, out);
}

}  // namespace

int inspectModule(const std::string& path, std::ostream& out, std::ostream& err) {
  try {
    Host host;
    Module& module = host.load(path);
    printPipl(module.pipl(), out);
    if (module.isEffect()) {
      printEffect(host, module, out, err);
    } else {
      out << "entry: err=" << module.globalSetupErr << " plugin_id=" << module.pluginId << "\n";
    }
    // Rules the module broke while it started make the inspection fail, as they fail a render.
    for (const Violation& v : host.ledger().violations())
      err << "violation: " << describe(v) << "\n";
    return host.ledger().violations().empty() ? 0 : 1;
  } catch (const HostError& e) {
    err << "tolv-testbed inspect: " << e.what() << "\n";
    return 2;
  }
}

}  // namespace tb
