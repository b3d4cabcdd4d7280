// Compares two images pixel by pixel over an area, for tests.
#pragma once

#include <cstdint>

#include "plat/geometry.h"
#include "plat/surface.h"

namespace plat {

struct ImageDifference {
  std::int64_t pixels = 0;  // pixels that differ by more than the tolerance
  int largest = 0;          // largest channel difference seen
  Rect bounds;              // of the differing pixels (empty when none)
  bool Same() const { return pixels == 0; }
};

// `area` in the coordinates of both images, cut to both; a channel may differ by up to
// `tolerance`. Pixels of the area outside either image count as different.
ImageDifference CompareImages(const PixelSurface& a, const PixelSurface& b, const Rect& area,
                              int tolerance = 0);

// Pixels of `surface` in the area that are not `colour`.
std::int64_t CountPixelsNot(const PixelSurface& surface, const Rect& area, Colour colour);

}  // namespace plat
