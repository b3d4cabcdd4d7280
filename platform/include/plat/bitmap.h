// A device bitmap: 32-bit pixels in memory, drawn into and read from through canvases. It
// reports 24 bits per pixel, the depth of a bitmap made on a true-colour display.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "plat/colour.h"
#include "plat/surface.h"

namespace plat {

class Bitmap : public CanvasTarget {
 public:
  Bitmap() = default;
  // A bitmap of the given size, black.
  Bitmap(std::int32_t width, std::int32_t height);
  // From a packed DIB (40-byte header; RLE data is expanded). Empty when the DIB is unusable.
  static Bitmap FromDib(std::span<const std::uint8_t> packed);

  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  Size Dimensions() const { return {width_, height_}; }
  int NominalBits() const { return IsEmpty() ? 0 : 24; }

  Pixel* Row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const Pixel* Row(std::int32_t y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  Pixel PixelAt(std::int32_t x, std::int32_t y) const { return Row(y)[x]; }
  Colour ColourAt(std::int32_t x, std::int32_t y) const { return FromPixel(PixelAt(x, y)); }
  void Fill(Colour colour);

  // The colour table of the 8-bit DIB the bitmap was made from, else empty.
  const std::vector<Colour>& SourceTable() const { return sourceTable_; }

  // A packed DIB of the pixels: 24 bits, or 8 bits with the source colour table (each pixel
  // becomes the first table entry of its colour, or the nearest one). Empty when the bitmap
  // is, or 8 bits are asked of a bitmap without a table.
  std::vector<std::uint8_t> ToDib(int bitCount) const;

  PixelSurface Surface() override;
  PixelSurface ConstSurface() const;

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<Pixel> pixels_;
  std::vector<Colour> sourceTable_;
};

}  // namespace plat
