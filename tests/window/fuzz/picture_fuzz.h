// One fuzz input through the picture readers: as a BMP file, as a JPEG stream, and whatever
// loads is converted and drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "plat/canvas.h"
#include "window/dib.h"

namespace lexo::fuzz {

class SpanReader : public ByteReader {
 public:
  explicit SpanReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  long Read(void* buffer, long size) override {
    std::size_t n = std::min(static_cast<std::size_t>(size), bytes_.size() - at_);
    if (n) std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return static_cast<long>(n);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

inline void UseDib(const Dib& dib) {
  if (dib.IsEmpty()) return;
  plat::Bitmap device = dib.ToDevice();
  plat::Bitmap target(64, 64);
  plat::Canvas canvas = plat::Canvas::ForBitmap(target);
  dib.Draw(canvas, -3, 2, 0, 0, 1, 1);
  dib.DrawStretched(canvas, {0, 0, 64, 64});
  (void)dib.PixelAt(1, 1);
  (void)dib.MakePalette();
  (void)device.ToDib(24);
}

inline void PictureReaders(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  Dib bmp;
  bmp.LoadBmp(bytes);
  UseDib(bmp);
  SpanReader reader(bytes);
  Dib jpeg;
  jpeg.LoadJpeg(reader);
  UseDib(jpeg);
  (void)plat::Bitmap::FromDib(bytes);
}

}  // namespace lexo::fuzz
