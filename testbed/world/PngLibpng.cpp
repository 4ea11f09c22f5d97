#include <png.h>

#include "testbed/world/PngFile.h"

namespace tb {

bool decodePng(const std::string& path, const PngTarget& target, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_ARGB;
  size_t rowbytes = 0;
  uint8_t* rows = target(image.width, image.height, rowbytes);
  if (!rows) {
    png_image_free(&image);
    return false;
  }
  if (!png_image_finish_read(&image, nullptr, rows, static_cast<png_int_32>(rowbytes), nullptr)) {
    error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

bool encodePng(const std::string& path, const uint8_t* argb, uint32_t width, uint32_t height,
               size_t rowbytes, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_ARGB;
  if (!png_image_write_to_file(&image, path.c_str(), 0, argb, static_cast<png_int_32>(rowbytes),
                               nullptr)) {
    error = path + ": " + image.message;
    return false;
  }
  return true;
}

}  // namespace tb
