// The progress bar `render` draws on a terminal while it renders frames.
#pragma once

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace tb {

// One line of the bar, without the carriage return: the filled part, frames done of the total and
// the time left at the pace so far, e.g. `[##########          ] 5/10 frames, 2 s left`.
std::string progressLine(size_t done, size_t total, double elapsedSeconds);

// Redraws the line in place on `out` after each frame and ends it after the last.
class ProgressBar {
 public:
  explicit ProgressBar(std::ostream& out);
  void operator()(size_t done, size_t total);

 private:
  std::ostream& out_;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace tb
