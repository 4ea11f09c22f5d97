// Address space reserved without memory behind it, and pages backed and returned within it.
#pragma once

#include <cstddef>

namespace tb::platform {

constexpr size_t kPageSize = 4096;

// A range of size bytes that no other allocation will take; null when the system refuses.
char* reserveRange(size_t size);
void unreserveRange(char* range, size_t size);
// Makes pages of a reserved range usable; false when the system has no memory for them. Pages
// start zeroed.
bool backPages(char* first, size_t size);
// Gives the memory under pages back to the system; the addresses stay reserved.
void returnPages(char* first, size_t size);

}  // namespace tb::platform
