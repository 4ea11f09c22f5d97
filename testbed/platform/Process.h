// What the testbed asks of its own process: an id for names of scratch files, where its program
// lies, and whether a person watches its error stream.
#pragma once

#include <filesystem>

namespace tb::platform {

unsigned long processId();
// The program file of this process; empty when the system does not say.
std::filesystem::path executablePath();
bool stderrIsTerminal();

}  // namespace tb::platform
