#include "testbed/cli/Progress.h"

#include <cmath>

namespace tb {

namespace {

constexpr size_t kBarWidth = 20;

}  // namespace

std::string progressLine(size_t done, size_t total, double elapsedSeconds) {
  const size_t filled = total == 0 ? kBarWidth : std::min(done, total) * kBarWidth / total;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] ";
  line += std::to_string(done) + "/" + std::to_string(total) + " frames";
  if (done == 0 || done >= total)
    return line;
  const double left =
      elapsedSeconds / static_cast<double>(done) * static_cast<double>(total - done);
  return line + ", " + std::to_string(static_cast<long long>(std::ceil(left))) + " s left";
}

ProgressBar::ProgressBar(std::ostream& out) : out_(out), start_(std::chrono::steady_clock::now()) {}

void ProgressBar::operator()(size_t done, size_t total) {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  // Blanks at the end wipe what a longer earlier line left behind.
  out_ << "\r" << progressLine(done, total, elapsed.count()) << "    ";
  if (done >= total)
    out_ << "\n";
  out_.flush();
}

}  // namespace tb
