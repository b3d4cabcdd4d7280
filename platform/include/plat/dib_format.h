// Packed device-independent bitmaps: a 40-byte information header, a colour table of 4-byte
// entries (blue, green, red, 0) and pixel rows, bottom-up and padded to 4 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "plat/colour.h"

namespace plat {

inline constexpr std::uint32_t kDibHeaderSize = 40;
inline constexpr std::uint32_t kDibCoreHeaderSize = 12;

enum DibCompression : std::uint32_t { kDibUncompressed = 0, kDibRle8 = 1, kDibRle4 = 2 };

// Images larger than this are refused wherever their sizes come from data.
inline constexpr std::int64_t kMaxImagePixels = 64LL * 1024 * 1024;
inline constexpr std::int32_t kMaxImageSide = 32768;

struct DibHeader {
  std::uint32_t size = kDibHeaderSize;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows stored top-down
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kDibUncompressed;
  std::uint32_t imageSize = 0;
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};

std::uint16_t ReadLittle16(const std::uint8_t* p);
std::uint32_t ReadLittle32(const std::uint8_t* p);
void WriteLittle16(std::uint8_t* p, std::uint16_t value);
void WriteLittle32(std::uint8_t* p, std::uint32_t value);

// The first 40 bytes as a header (no checks of the values).
std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> bytes);
void WriteDibHeader(const DibHeader& header, std::uint8_t* out);

// Bytes of one row, padded to 4 bytes; computed in 64 bits.
constexpr std::int64_t DibStride(std::int64_t width, int bitCount) {
  return (width * bitCount + 31) / 32 * 4;
}

// Entries of the colour table a header implies: colours used, else 2^bits up to 8 bits.
std::uint32_t DibTableEntries(const DibHeader& header);

// Expands RLE8 or RLE4 data into bottom-up rows of `stride` bytes (zero-filled first).
// Malformed or short data ends the image where it breaks; nothing is written out of bounds.
void ExpandRle(std::span<const std::uint8_t> data, bool fourBit, std::int32_t width,
               std::int32_t height, std::span<std::uint8_t> rows, std::int64_t stride);

// A checked look at a packed DIB. Parse refuses anything whose table or rows do not fit in
// the bytes, sizes past the caps, compressed data, and bit counts other than 1, 4, 8, 16,
// 24 and 32.
class DibView {
 public:
  static std::optional<DibView> Parse(std::span<const std::uint8_t> packed);

  const DibHeader& Header() const { return header_; }
  std::int32_t Width() const { return header_.width; }
  std::int32_t Height() const { return height_; }
  int BitCount() const { return header_.bitCount; }
  std::int64_t Stride() const { return stride_; }
  std::uint32_t TableEntries() const { return tableEntries_; }
  Colour TableColour(std::uint32_t index) const;
  // The stored index (up to 8 bits) or 0 for deeper images; row counted from the top.
  std::uint8_t IndexAt(std::int32_t x, std::int32_t yFromTop) const;
  Pixel PixelAt(std::int32_t x, std::int32_t yFromTop) const;
  // Converts a whole row (counted from the top) to pixels.
  void ConvertRow(std::int32_t yFromTop, std::int32_t firstX, std::int32_t count, Pixel* out) const;

 private:
  const std::uint8_t* RowBytes(std::int32_t yFromTop) const;

  DibHeader header_;
  std::int32_t height_ = 0;
  bool topDown_ = false;
  std::int64_t stride_ = 0;
  std::uint32_t tableEntries_ = 0;
  const std::uint8_t* table_ = nullptr;
  const std::uint8_t* bits_ = nullptr;
};

}  // namespace plat
