#include "plat/dib_format.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace plat {

std::uint16_t ReadLittle16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t ReadLittle32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void WriteLittle16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteLittle32(std::uint8_t* p, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::optional<DibHeader> ReadDibHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kDibHeaderSize) return std::nullopt;
  const std::uint8_t* p = bytes.data();
  DibHeader h;
  h.size = ReadLittle32(p);
  h.width = static_cast<std::int32_t>(ReadLittle32(p + 4));
  h.height = static_cast<std::int32_t>(ReadLittle32(p + 8));
  h.planes = ReadLittle16(p + 12);
  h.bitCount = ReadLittle16(p + 14);
  h.compression = ReadLittle32(p + 16);
  h.imageSize = ReadLittle32(p + 20);
  h.xPixelsPerMetre = static_cast<std::int32_t>(ReadLittle32(p + 24));
  h.yPixelsPerMetre = static_cast<std::int32_t>(ReadLittle32(p + 28));
  h.coloursUsed = ReadLittle32(p + 32);
  h.coloursImportant = ReadLittle32(p + 36);
  return h;
}

void WriteDibHeader(const DibHeader& h, std::uint8_t* p) {
  WriteLittle32(p, h.size);
  WriteLittle32(p + 4, static_cast<std::uint32_t>(h.width));
  WriteLittle32(p + 8, static_cast<std::uint32_t>(h.height));
  WriteLittle16(p + 12, h.planes);
  WriteLittle16(p + 14, h.bitCount);
  WriteLittle32(p + 16, h.compression);
  WriteLittle32(p + 20, h.imageSize);
  WriteLittle32(p + 24, static_cast<std::uint32_t>(h.xPixelsPerMetre));
  WriteLittle32(p + 28, static_cast<std::uint32_t>(h.yPixelsPerMetre));
  WriteLittle32(p + 32, h.coloursUsed);
  WriteLittle32(p + 36, h.coloursImportant);
}

std::uint32_t DibTableEntries(const DibHeader& header) {
  if (header.coloursUsed != 0) return header.coloursUsed;
  if (header.bitCount >= 1 && header.bitCount <= 8) return 1u << header.bitCount;
  return 0;
}

void ExpandRle(std::span<const std::uint8_t> data, bool fourBit, std::int32_t width,
               std::int32_t height, std::span<std::uint8_t> rows, std::int64_t stride) {
  std::fill(rows.begin(), rows.end(), std::uint8_t{0});
  if (width <= 0 || height <= 0 || stride * height > static_cast<std::int64_t>(rows.size())) {
    return;
  }
  std::int32_t x = 0;
  std::int32_t y = 0;  // stored row, from the bottom
  auto put = [&](std::uint8_t value) {
    if (x < width && y < height) {
      std::uint8_t* row = rows.data() + y * stride;
      if (fourBit) {
        std::uint8_t& byte = row[x / 2];
        byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | (value & 0x0F))
                       : static_cast<std::uint8_t>((byte & 0x0F) | (value << 4));
      } else {
        row[x] = value;
      }
    }
    ++x;
  };
  std::size_t i = 0;
  while (i + 1 < data.size() && y < height) {
    std::uint8_t count = data[i];
    std::uint8_t value = data[i + 1];
    i += 2;
    if (count > 0) {  // a run
      for (int k = 0; k < count && x < width; ++k) {
        put(fourBit ? static_cast<std::uint8_t>((k & 1) ? value & 0x0F : value >> 4) : value);
      }
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return;
    } else if (value == 2) {  // delta
      if (i + 1 >= data.size()) return;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
      std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
      if (i + bytes > data.size()) return;
      for (int k = 0; k < value; ++k) {
        std::uint8_t b = data[i + (fourBit ? k / 2 : k)];
        put(fourBit ? static_cast<std::uint8_t>((k & 1) ? b & 0x0F : b >> 4) : b);
      }
      i += (bytes + 1) & ~std::size_t{1};
    }
  }
}

std::optional<DibView> DibView::Parse(std::span<const std::uint8_t> packed) {
  auto header = ReadDibHeader(packed);
  if (!header || header->size != kDibHeaderSize) return std::nullopt;
  const DibHeader& h = *header;
  if (h.planes != 1 || h.compression != kDibUncompressed) return std::nullopt;
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return std::nullopt;
  }
  std::int64_t width = h.width;
  std::int64_t height = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      width * height > kMaxImagePixels) {
    return std::nullopt;
  }
  std::uint32_t entries = DibTableEntries(h);
  if (entries > 256 || (h.bitCount <= 8 && entries > (1u << h.bitCount))) return std::nullopt;
  std::int64_t stride = DibStride(width, h.bitCount);
  std::int64_t tableBytes = static_cast<std::int64_t>(entries) * 4;
  std::int64_t need = kDibHeaderSize + tableBytes + stride * height;
  if (need > static_cast<std::int64_t>(packed.size())) return std::nullopt;

  DibView view;
  view.header_ = h;
  view.height_ = static_cast<std::int32_t>(height);
  view.topDown_ = h.height < 0;
  view.stride_ = stride;
  view.tableEntries_ = entries;
  view.table_ = packed.data() + kDibHeaderSize;
  view.bits_ = view.table_ + tableBytes;
  return view;
}

Colour DibView::TableColour(std::uint32_t index) const {
  if (index >= tableEntries_) return 0;
  const std::uint8_t* e = table_ + 4 * index;
  return MakeColour(e[2], e[1], e[0]);
}

const std::uint8_t* DibView::RowBytes(std::int32_t yFromTop) const {
  std::int32_t stored = topDown_ ? yFromTop : height_ - 1 - yFromTop;
  return bits_ + stored * stride_;
}

std::uint8_t DibView::IndexAt(std::int32_t x, std::int32_t yFromTop) const {
  if (x < 0 || yFromTop < 0 || x >= Width() || yFromTop >= height_) return 0;
  const std::uint8_t* row = RowBytes(yFromTop);
  switch (header_.bitCount) {
    case 1:
      return static_cast<std::uint8_t>(row[x >> 3] >> (7 - (x & 7)) & 1);
    case 4:
      return static_cast<std::uint8_t>((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    case 8:
      return row[x];
    default:
      return 0;
  }
}

Pixel DibView::PixelAt(std::int32_t x, std::int32_t yFromTop) const {
  Pixel out = 0;
  if (x < 0 || yFromTop < 0 || x >= Width() || yFromTop >= height_) return 0;
  ConvertRow(yFromTop, x, 1, &out);
  return out;
}

void DibView::ConvertRow(std::int32_t yFromTop, std::int32_t firstX, std::int32_t count,
                         Pixel* out) const {
  const std::uint8_t* row = RowBytes(yFromTop);
  std::array<Pixel, 256> table{};
  if (header_.bitCount <= 8) {
    for (std::uint32_t i = 0; i < tableEntries_; ++i) table[i] = ToPixel(TableColour(i));
  }
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t x = firstX + i;
    switch (header_.bitCount) {
      case 1:
      case 4:
      case 8:
        out[i] = table[IndexAt(x, yFromTop)];
        break;
      case 16: {
        std::uint16_t v = ReadLittle16(row + 2 * x);
        auto expand = [](unsigned five) {
          return static_cast<std::uint8_t>(five << 3 | five >> 2);
        };
        out[i] = MakePixel(expand(v >> 10 & 31), expand(v >> 5 & 31), expand(v & 31));
        break;
      }
      case 24:
        out[i] = MakePixel(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        break;
      case 32:
        out[i] = MakePixel(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
        break;
      default:
        out[i] = 0;
    }
  }
}

}  // namespace plat
