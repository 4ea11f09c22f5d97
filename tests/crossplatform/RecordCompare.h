// Comparing the mesh records two builds of the modules sent, field by field.
//
// Builds on different systems agree to the bit wherever the code does only the four arithmetic
// operations and square roots, which IEEE 754 rounds the same everywhere. The C math library's
// functions (sinf, cosf, atan2f, hypotf...) are not rounded the same by every library, and a last-
// bit difference there travels on through the arithmetic; such records are compared within a
// relative tolerance instead.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tbtest {

struct RecordDifference {
  size_t bytesDiffering = 0;  // bytes that differ at all
  size_t valuesBeyond = 0;    // values further apart than the tolerance allows, or non-numbers
  double largestRelative = 0.0;
  std::string firstBeyond;  // where the first such value is, for the message
};

// Compares two records of kMeshSlotBytes. Triangle fields are compared as the floats and doubles
// they are, within tolerance × max(1, |a|, |b|); every other byte (counts, flags, colours, padding
// and the unused triangles) must be equal. A record of another size differs wholly.
RecordDifference compareRecords(const std::vector<unsigned char>& a,
                                const std::vector<unsigned char>& b, double tolerance);

}  // namespace tbtest
