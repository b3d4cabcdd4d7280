#include "plat/image_compare.h"

#include <algorithm>
#include <cstdlib>

namespace plat {

ImageDifference CompareImages(const PixelSurface& a, const PixelSurface& b, const Rect& area,
                              int tolerance) {
  ImageDifference result;
  Rect common = area.Intersect(a.Bounds()).Intersect(b.Bounds());
  auto note = [&](std::int32_t x, std::int32_t y) {
    ++result.pixels;
    Rect p{x, y, x + 1, y + 1};
    if (result.bounds.IsEmpty()) {
      result.bounds = p;
    } else {
      result.bounds = {std::min(result.bounds.left, p.left), std::min(result.bounds.top, p.top),
                       std::max(result.bounds.right, p.right),
                       std::max(result.bounds.bottom, p.bottom)};
    }
  };
  for (std::int32_t y = area.top; y < area.bottom; ++y) {
    for (std::int32_t x = area.left; x < area.right; ++x) {
      if (!common.Contains({x, y})) {
        result.largest = 255;
        note(x, y);
        continue;
      }
      Pixel pa = a.At(x, y);
      Pixel pb = b.At(x, y);
      int worst = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        worst = std::max(worst, std::abs(static_cast<int>(pa >> shift & 0xFF) -
                                         static_cast<int>(pb >> shift & 0xFF)));
      }
      result.largest = std::max(result.largest, worst);
      if (worst > tolerance) note(x, y);
    }
  }
  return result;
}

std::int64_t CountPixelsNot(const PixelSurface& surface, const Rect& area, Colour colour) {
  Rect cut = area.Intersect(surface.Bounds());
  Pixel wanted = ToPixel(colour);
  std::int64_t count = 0;
  for (std::int32_t y = cut.top; y < cut.bottom; ++y) {
    for (std::int32_t x = cut.left; x < cut.right; ++x) {
      if ((surface.At(x, y) & kPixelMask) != wanted) ++count;
    }
  }
  return count;
}

}  // namespace plat
