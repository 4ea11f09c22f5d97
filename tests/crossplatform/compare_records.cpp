// tolv-compare-records DIR_A DIR_B [--tolerance T]
// Compares the records two builds wrote for the same scene (the testbed's --records folders).
// Without --tolerance every record must be equal to the byte. Prints one line per folder pair and
// exits 1 when they differ beyond what was allowed.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>

#include "tests/crossplatform/RecordCompare.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> recordNames(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

std::vector<unsigned char> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--tolerance")) {
    std::cerr << "usage: tolv-compare-records DIR_A DIR_B [--tolerance T]\n";
    return 2;
  }
  const fs::path a = argv[1];
  const fs::path b = argv[2];
  const double tolerance = argc == 5 ? std::strtod(argv[4], nullptr) : 0.0;
  try {
    const std::set<std::string> names = recordNames(a);
    if (names != recordNames(b)) {
      std::cout << a.string() << " and " << b.string() << ": different records\n";
      return 1;
    }
    size_t exact = 0;
    size_t close = 0;
    double largest = 0.0;
    for (const std::string& name : names) {
      const tbtest::RecordDifference d =
          tbtest::compareRecords(readAll(a / name), readAll(b / name), tolerance);
      if (d.bytesDiffering == 0) {
        ++exact;
        continue;
      }
      if (tolerance == 0.0 || d.valuesBeyond > 0) {
        std::cout << (a / name).string() << " and " << (b / name).string() << ": "
                  << d.bytesDiffering << " bytes differ"
                  << (d.firstBeyond.empty() ? ""
                                            : ", first beyond the tolerance at " + d.firstBeyond)
                  << "\n";
        return 1;
      }
      ++close;
      largest = std::max(largest, d.largestRelative);
    }
    std::cout << a.string() << ": " << names.size() << " records, " << exact << " equal";
    if (close > 0)
      std::cout << ", " << close << " within " << tolerance << " (largest relative difference "
                << largest << ")";
    std::cout << "\n";
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "tolv-compare-records: " << e.what() << "\n";
    return 2;
  }
}
