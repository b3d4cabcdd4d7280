// Where a canvas draws: a block of 32-bit pixels. Bitmaps are targets, and so (through the
// window layer) are windows, paint areas and the screen, which share one framebuffer and
// differ in where their device origin lies and which part of the surface they may touch.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plat/colour.h"
#include "plat/geometry.h"

namespace plat {

class Region;

struct PixelSurface {
  Pixel* pixels = nullptr;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::ptrdiff_t stride = 0;  // pixels from one row to the next

  bool IsEmpty() const { return pixels == nullptr || width <= 0 || height <= 0; }
  Rect Bounds() const { return {0, 0, width, height}; }
  Pixel* Row(std::int32_t y) const { return pixels + y * stride; }
  Pixel At(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
};

class CanvasTarget {
 public:
  virtual ~CanvasTarget() = default;

  virtual PixelSurface Surface() = 0;
  // Surface position of the device's (0, 0).
  virtual Point DeviceOrigin() const { return {}; }
  // The part of the device drawing may touch, in device coordinates; null means all of it.
  virtual const Region* VisibleRegion() const { return nullptr; }
  // Told after pixels of the surface changed (surface coordinates).
  virtual void Touched(const Rect& surfaceArea) { (void)surfaceArea; }
};

}  // namespace plat
