#include "plat/png_writer.h"

#include <png.h>

#include <vector>

namespace plat {

bool WritePng(const std::string& hostPath, const PixelSurface& surface) {
  if (surface.IsEmpty()) return false;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(surface.width) * surface.height * 3);
  std::uint8_t* out = rgb.data();
  for (std::int32_t y = 0; y < surface.height; ++y) {
    const Pixel* row = surface.Row(y);
    for (std::int32_t x = 0; x < surface.width; ++x) {
      *out++ = static_cast<std::uint8_t>(row[x] >> 16);
      *out++ = static_cast<std::uint8_t>(row[x] >> 8);
      *out++ = static_cast<std::uint8_t>(row[x]);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(surface.width);
  image.height = static_cast<png_uint_32>(surface.height);
  image.format = PNG_FORMAT_RGB;
  int ok = png_image_write_to_file(&image, hostPath.c_str(), 0, rgb.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

bool WritePng(const std::string& hostPath, const Bitmap& bitmap) {
  return WritePng(hostPath, bitmap.ConstSurface());
}

}  // namespace plat
