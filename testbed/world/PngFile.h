// PNG files of 8-bit ARGB pixels, through libpng or, where it is missing, the header-only stb.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tb {

// Given an image's size, where to decode it: height rows of rowbytes bytes, or null to refuse it
// before any pixel is decoded.
using PngTarget = std::function<uint8_t*(uint32_t width, uint32_t height, size_t& rowbytes)>;

// Decodes the file at path into the target as a, r, g, b bytes per pixel. False on failure, with
// error set to "path: what" unless the target refused the image.
bool decodePng(const std::string& path, const PngTarget& target, std::string& error);
// Writes rows of a, r, g, b bytes; false with error set to "path: what" on failure.
bool encodePng(const std::string& path, const uint8_t* argb, uint32_t width, uint32_t height,
               size_t rowbytes, std::string& error);

}  // namespace tb
