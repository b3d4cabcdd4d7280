#include "plat/bitmap.h"

#include <cstdlib>
#include <limits>

#include "plat/dib_format.h"

namespace plat {

Bitmap::Bitmap(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
      static_cast<std::int64_t>(width) * height > kMaxImagePixels) {
    return;
  }
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * height, 0);
}

Bitmap Bitmap::FromDib(std::span<const std::uint8_t> packed) {
  auto header = ReadDibHeader(packed);
  if (!header) return {};
  // Compressed rows are expanded into a plain DIB first.
  std::vector<std::uint8_t> expanded;
  if (header->compression == kDibRle8 || header->compression == kDibRle4) {
    bool fourBit = header->compression == kDibRle4;
    if (header->size != kDibHeaderSize || header->bitCount != (fourBit ? 4 : 8) ||
        header->width <= 0 || header->height <= 0 || header->width > kMaxImageSide ||
        header->height > kMaxImageSide) {
      return {};
    }
    std::uint32_t entries = DibTableEntries(*header);
    if (entries > (fourBit ? 16u : 256u)) return {};
    std::size_t prefix = kDibHeaderSize + std::size_t{entries} * 4;
    if (prefix > packed.size()) return {};
    std::int64_t stride = DibStride(header->width, header->bitCount);
    expanded.resize(prefix + static_cast<std::size_t>(stride * header->height));
    std::copy(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(prefix),
              expanded.begin());
    ExpandRle(packed.subspan(prefix), fourBit, header->width, header->height,
              std::span(expanded).subspan(prefix), stride);
    DibHeader plain = *header;
    plain.compression = kDibUncompressed;
    plain.imageSize = static_cast<std::uint32_t>(stride * header->height);
    WriteDibHeader(plain, expanded.data());
    packed = expanded;
  }
  auto view = DibView::Parse(packed);
  if (!view) return {};
  Bitmap bitmap(view->Width(), view->Height());
  if (bitmap.IsEmpty()) return {};
  for (std::int32_t y = 0; y < bitmap.height_; ++y) {
    view->ConvertRow(y, 0, bitmap.width_, bitmap.Row(y));
  }
  if (view->BitCount() == 8) {
    for (std::uint32_t i = 0; i < view->TableEntries(); ++i) {
      bitmap.sourceTable_.push_back(view->TableColour(i));
    }
  }
  return bitmap;
}

void Bitmap::Fill(Colour colour) {
  std::fill(pixels_.begin(), pixels_.end(), ToPixel(colour));
}

std::vector<std::uint8_t> Bitmap::ToDib(int bitCount) const {
  if (IsEmpty()) return {};
  if (bitCount != 24 && (bitCount != 8 || sourceTable_.empty())) return {};
  std::int64_t stride = DibStride(width_, bitCount);
  std::size_t tableBytes = bitCount == 8 ? 1024 : 0;
  std::vector<std::uint8_t> out(kDibHeaderSize + tableBytes +
                                static_cast<std::size_t>(stride * height_));
  DibHeader h;
  h.width = width_;
  h.height = height_;
  h.bitCount = static_cast<std::uint16_t>(bitCount);
  h.imageSize = static_cast<std::uint32_t>(stride * height_);
  h.coloursUsed = bitCount == 8 ? 256 : 0;
  WriteDibHeader(h, out.data());
  std::uint8_t* bits = out.data() + kDibHeaderSize + tableBytes;
  if (bitCount == 8) {
    std::uint8_t* table = out.data() + kDibHeaderSize;
    for (std::size_t i = 0; i < sourceTable_.size() && i < 256; ++i) {
      table[4 * i] = BlueOf(sourceTable_[i]);
      table[4 * i + 1] = GreenOf(sourceTable_[i]);
      table[4 * i + 2] = RedOf(sourceTable_[i]);
    }
  }
  Pixel lastPixel = 0;
  std::uint8_t lastIndex = 0;
  bool haveLast = false;
  auto indexOf = [&](Pixel p) {
    if (haveLast && p == lastPixel) return lastIndex;
    Colour c = FromPixel(p);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < sourceTable_.size() && i < 256; ++i) {
      Colour t = sourceTable_[i];
      int distance = std::abs(RedOf(t) - RedOf(c)) + std::abs(GreenOf(t) - GreenOf(c)) +
                     std::abs(BlueOf(t) - BlueOf(c));
      if (distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<int>(i);
        if (distance == 0) break;
      }
    }
    lastPixel = p;
    lastIndex = static_cast<std::uint8_t>(best);
    haveLast = true;
    return lastIndex;
  };
  for (std::int32_t y = 0; y < height_; ++y) {
    const Pixel* row = Row(y);
    std::uint8_t* out_row = bits + (height_ - 1 - y) * stride;
    for (std::int32_t x = 0; x < width_; ++x) {
      if (bitCount == 24) {
        out_row[3 * x] = static_cast<std::uint8_t>(row[x]);
        out_row[3 * x + 1] = static_cast<std::uint8_t>(row[x] >> 8);
        out_row[3 * x + 2] = static_cast<std::uint8_t>(row[x] >> 16);
      } else {
        out_row[x] = indexOf(row[x]);
      }
    }
  }
  return out;
}

PixelSurface Bitmap::Surface() {
  return ConstSurface();
}

PixelSurface Bitmap::ConstSurface() const {
  if (IsEmpty()) return {};
  return {const_cast<Pixel*>(pixels_.data()), width_, height_, width_};
}

}  // namespace plat
