// `tolv-testbed inspect MODULE`: what the host learns of a module as it loads and starts it.
#pragma once

#include <ostream>
#include <string>

namespace tb {

// Prints the report to out; returns the exit status (2 when the file is not a usable module).
int inspectModule(const std::string& path, std::ostream& out, std::ostream& err);

// Writes text as a C string literal body: quotes, backslashes and control characters escaped.
std::string cEscape(const std::string& text);

}  // namespace tb
