// Device-independent pictures read from BMP and JPEG files, kept packed: a 40-byte header,
// the colour table and bottom-up rows padded to 4 bytes. Whatever the file held (old 12-byte
// header, top-down rows, RLE data), the block is always in that one plain form.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "plat/bitmap.h"
#include "plat/canvas.h"
#include "plat/dib_format.h"
#include "plat/palette.h"
#include "plat/raster_op.h"

namespace lexo {

// A stream of bytes: a file, or a stored file of a title.
class ByteReader {
 public:
  virtual ~ByteReader() = default;
  // Bytes read; 0 at the end, negative on an error.
  virtual long Read(void* buffer, long size) = 0;
};

// The stored files of an open title, which the title runtime provides.
class StoredFiles {
 public:
  virtual ~StoredFiles() = default;
  // Null when the title has no such file.
  virtual std::unique_ptr<ByteReader> OpenStoredFile(std::string_view name) = 0;
};

bool IsJpegName(std::string_view name);

class Dib {
 public:
  static constexpr std::int32_t kBlankWidth = 240;
  static constexpr std::int32_t kBlankHeight = 200;

  // A ".jpg" name is read as JPEG (a "!" name from the title's stored files when a title is
  // given), anything else as BMP. False, and empty, on any failure.
  bool LoadFile(std::string_view name, StoredFiles* title = nullptr);
  bool LoadBmp(std::span<const std::uint8_t> file);
  bool LoadJpeg(ByteReader& source);
  void MakeBlank();
  void Free();

  bool IsEmpty() const { return block_.empty(); }
  bool IsJpeg() const { return jpeg_; }
  std::span<const std::uint8_t> Block() const { return block_; }
  std::int32_t Width() const;
  std::int32_t Height() const;

  std::optional<plat::DibHeader> Info() const;
  // Colours used, else 2, 16 or 256 for 1, 4 or 8 bits, else 0.
  std::uint32_t ColourCount() const;
  std::optional<plat::Palette> MakePalette() const;
  plat::Bitmap ToDevice() const;
  // Draws without scaling; zero sizes mean the image's; the source is counted from the top.
  void Draw(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
            std::int32_t srcX, std::int32_t srcY, std::uint32_t rop = plat::rop::kSourceCopy) const;
  // The same rectangle as source and destination.
  void DrawInRect(plat::Canvas& dc, const plat::Rect& rect) const;
  // The whole picture stretched over the rectangle.
  void DrawStretched(plat::Canvas& dc, const plat::Rect& rect) const;
  // The palette index at (x, y) from the top-left of an 8-bit image; 0 elsewhere.
  std::uint8_t PixelAt(std::int32_t x, std::int32_t y) const;

 private:
  std::optional<plat::DibView> View() const;

  std::vector<std::uint8_t> block_;
  bool jpeg_ = false;
};

}  // namespace lexo
