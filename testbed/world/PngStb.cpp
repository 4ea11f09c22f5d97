#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "testbed/world/PngFile.h"

namespace tb {

namespace {

// Says what libpng would say of a file that is missing or is no PNG, so that users read the same
// messages on every system.
bool isPngFile(const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  unsigned char head[8] = {};
  if (std::fread(head, 1, sizeof head, file.get()) != sizeof head ||
      std::memcmp(head, kSignature, sizeof head) != 0) {
    error = path + ": Not a PNG file";
    return false;
  }
  return true;
}

}  // namespace

bool decodePng(const std::string& path, const PngTarget& target, std::string& error) {
  if (!isPngFile(path, error))
    return false;
  int width = 0;
  int height = 0;
  int channels = 0;
  if (!stbi_info(path.c_str(), &width, &height, &channels)) {
    error = path + ": " + stbi_failure_reason();
    return false;
  }
  size_t rowbytes = 0;
  uint8_t* rows = target(static_cast<uint32_t>(width), static_cast<uint32_t>(height), rowbytes);
  if (!rows)
    return false;
  std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
      stbi_load(path.c_str(), &width, &height, &channels, 4), stbi_image_free);
  if (!rgba) {
    error = path + ": " + stbi_failure_reason();
    return false;
  }
  for (int y = 0; y < height; ++y) {
    const stbi_uc* in = rgba.get() + size_t(y) * size_t(width) * 4;
    uint8_t* out = rows + size_t(y) * rowbytes;
    for (int x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[3];
      out[1] = in[0];
      out[2] = in[1];
      out[3] = in[2];
    }
  }
  return true;
}

bool encodePng(const std::string& path, const uint8_t* argb, uint32_t width, uint32_t height,
               size_t rowbytes, std::string& error) {
  std::vector<uint8_t> rgba(size_t(width) * height * 4);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* in = argb + size_t(y) * rowbytes;
    uint8_t* out = rgba.data() + size_t(y) * width * 4;
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 4) {
      out[0] = in[1];
      out[1] = in[2];
      out[2] = in[3];
      out[3] = in[0];
    }
  }
  if (!stbi_write_png(path.c_str(), int(width), int(height), 4, rgba.data(), int(width) * 4)) {
    error = path + ": the file cannot be written";
    return false;
  }
  return true;
}

}  // namespace tb
