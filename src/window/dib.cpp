#include "window/dib.h"

#include <algorithm>
#include <cstring>

#include "plat/cp1251.h"
#include "plat/stream.h"

namespace lexo {
namespace {

using plat::DibHeader;

bool ValidBitCount(std::uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint32_t DefaultColourCount(std::uint16_t bits) {
  return bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
}

}  // namespace

bool IsJpegName(std::string_view name) {
  return name.size() >= 4 && plat::cp1251::CompareNoCase(name.substr(name.size() - 4), ".jpg") == 0;
}

bool Dib::LoadFile(std::string_view name, StoredFiles* title) {
  Free();
  if (IsJpegName(name)) {
    if (!name.empty() && name.front() == '!' && title) {
      auto reader = title->OpenStoredFile(name.substr(1));
      return reader && LoadJpeg(*reader);
    }
    auto stream = plat::Stream::Open(name, plat::StreamMode::ReadBinary);
    if (!stream) return false;
    struct StreamReader : ByteReader {
      plat::Stream& stream;
      explicit StreamReader(plat::Stream& s) : stream(s) {}
      long Read(void* buffer, long size) override {
        return static_cast<long>(stream.Read(buffer, static_cast<std::size_t>(size)));
      }
    } reader(*stream);
    return LoadJpeg(reader);
  }
  auto bytes = plat::ReadWholeFile(name);
  if (!bytes) return false;
  return LoadBmp(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
}

bool Dib::LoadBmp(std::span<const std::uint8_t> file) {
  Free();
  const std::size_t size = file.size();
  if (size < 14) return false;
  std::size_t pos = 0;
  bool fileHeader = file[0] == 'B' && file[1] == 'M';
  std::uint32_t pixelOffset = 0;
  if (fileHeader) {
    pixelOffset = plat::ReadLittle32(file.data() + 10);
    pos = 14;
  }
  if (pos + 4 > size) return false;
  DibHeader h;
  std::size_t entryBytes = 4;
  std::uint32_t headerSize = plat::ReadLittle32(file.data() + pos);
  if (headerSize == plat::kDibCoreHeaderSize) {
    if (pos + 12 > size) return false;
    const std::uint8_t* p = file.data() + pos;
    h.width = plat::ReadLittle16(p + 4);
    h.height = plat::ReadLittle16(p + 6);
    h.planes = plat::ReadLittle16(p + 8);
    h.bitCount = plat::ReadLittle16(p + 10);
    h.coloursUsed = DefaultColourCount(h.bitCount);
    entryBytes = 3;
    pos += 12;
  } else if (headerSize == plat::kDibHeaderSize) {
    auto read = plat::ReadDibHeader(file.subspan(pos));
    if (!read) return false;
    h = *read;
    pos += plat::kDibHeaderSize;
  } else {
    return false;
  }

  // The header is disk data: every size is checked before it is used.
  if (h.width <= 0 || h.height == 0 || h.planes != 1 || !ValidBitCount(h.bitCount)) return false;
  bool topDown = h.height < 0;
  std::int64_t width = h.width;
  std::int64_t height = topDown ? -static_cast<std::int64_t>(h.height) : h.height;
  if (width > plat::kMaxImageSide || height > plat::kMaxImageSide ||
      width * height > plat::kMaxImagePixels) {
    return false;
  }
  bool rle = h.compression == plat::kDibRle8 || h.compression == plat::kDibRle4;
  if (h.compression != plat::kDibUncompressed && !rle) return false;
  if (rle && (topDown || h.bitCount != (h.compression == plat::kDibRle8 ? 8 : 4))) return false;
  if (h.coloursUsed == 0) h.coloursUsed = DefaultColourCount(h.bitCount);
  if (h.coloursUsed > 256 || (h.bitCount <= 8 && h.coloursUsed > (1u << h.bitCount))) {
    return false;
  }

  std::int64_t stride = plat::DibStride(width, h.bitCount);
  std::int64_t computed = stride * height;
  std::size_t tableBytes = std::size_t{h.coloursUsed} * entryBytes;
  if (pos + tableBytes > size) return false;
  std::size_t pixelStart = fileHeader ? pixelOffset : pos + tableBytes;
  if (pixelStart > size) return false;
  auto available = static_cast<std::int64_t>(size - pixelStart);

  std::int64_t imageSize = computed;
  if (!rle) {
    if (available < computed) return false;
    if (h.imageSize > computed && h.imageSize <= available) imageSize = h.imageSize;
  }

  std::vector<std::uint8_t> block(plat::kDibHeaderSize + std::size_t{h.coloursUsed} * 4 +
                                  static_cast<std::size_t>(imageSize));
  std::uint8_t* table = block.data() + plat::kDibHeaderSize;
  for (std::uint32_t i = 0; i < h.coloursUsed; ++i) {
    std::memcpy(table + 4 * i, file.data() + pos + i * entryBytes, 3);
    table[4 * i + 3] = entryBytes == 4 ? file[pos + i * entryBytes + 3] : 0;
  }
  std::span<std::uint8_t> rows =
      std::span(block).subspan(plat::kDibHeaderSize + std::size_t{h.coloursUsed} * 4);
  const std::uint8_t* pixels = file.data() + pixelStart;
  if (rle) {
    std::int64_t length = available;
    if (h.imageSize > 0 && h.imageSize <= available) length = h.imageSize;
    plat::ExpandRle(std::span(pixels, static_cast<std::size_t>(length)),
                    h.compression == plat::kDibRle4, h.width, static_cast<std::int32_t>(height),
                    rows, stride);
  } else if (topDown) {
    for (std::int64_t y = 0; y < height; ++y) {
      std::memcpy(rows.data() + (height - 1 - y) * stride, pixels + y * stride,
                  static_cast<std::size_t>(stride));
    }
  } else {
    std::memcpy(rows.data(), pixels, static_cast<std::size_t>(imageSize));
  }
  h.size = plat::kDibHeaderSize;
  h.height = static_cast<std::int32_t>(height);
  h.compression = plat::kDibUncompressed;
  h.imageSize = static_cast<std::uint32_t>(imageSize);
  plat::WriteDibHeader(h, block.data());
  if (!plat::DibView::Parse(block)) return false;
  block_ = std::move(block);
  return true;
}

void Dib::MakeBlank() {
  Free();
  DibHeader h;
  h.width = kBlankWidth;
  h.height = kBlankHeight;
  h.bitCount = 24;
  std::size_t rows = static_cast<std::size_t>(plat::DibStride(kBlankWidth, 24) * kBlankHeight);
  block_.assign(plat::kDibHeaderSize + rows, 0xFF);
  plat::WriteDibHeader(h, block_.data());
}

void Dib::Free() {
  block_.clear();
  block_.shrink_to_fit();
  jpeg_ = false;
}

std::optional<plat::DibView> Dib::View() const {
  if (block_.empty()) return std::nullopt;
  return plat::DibView::Parse(block_);
}

std::int32_t Dib::Width() const {
  auto info = Info();
  return info ? info->width : 0;
}

std::int32_t Dib::Height() const {
  auto info = Info();
  return info ? info->height : 0;
}

std::optional<DibHeader> Dib::Info() const {
  auto h = plat::ReadDibHeader(block_);
  if (!h) return std::nullopt;
  if (h->imageSize == 0) {
    h->imageSize = static_cast<std::uint32_t>(plat::DibStride(h->width, h->bitCount) * h->height);
  }
  if (h->coloursUsed == 0) h->coloursUsed = DefaultColourCount(h->bitCount);
  return h;
}

std::uint32_t Dib::ColourCount() const {
  auto h = plat::ReadDibHeader(block_);
  if (!h) return 0;
  return h->coloursUsed != 0 ? h->coloursUsed : DefaultColourCount(h->bitCount);
}

std::optional<plat::Palette> Dib::MakePalette() const {
  auto view = View();
  if (!view) return std::nullopt;
  plat::Palette palette;
  if (view->TableEntries() > 0) {
    for (std::uint32_t i = 0; i < view->TableEntries(); ++i) {
      palette.entries.push_back(view->TableColour(i));
    }
    return palette;
  }
  if (view->BitCount() == 24) {
    for (int i = 0; i < 256; ++i) {
      palette.entries.push_back(plat::MakeColour(static_cast<std::uint8_t>(i % 8 * 32),
                                                 static_cast<std::uint8_t>(i / 8 % 8 * 32),
                                                 static_cast<std::uint8_t>(i / 64 * 64)));
    }
    return palette;
  }
  return std::nullopt;
}

plat::Bitmap Dib::ToDevice() const {
  if (block_.empty()) return {};
  return plat::Bitmap::FromDib(block_);
}

void Dib::Draw(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
               std::int32_t srcX, std::int32_t srcY, std::uint32_t rop) const {
  auto view = View();
  if (!view) return;
  if (w == 0) w = view->Width();
  if (h == 0) h = view->Height();
  dc.DrawDib({x, y, x + w, y + h}, *view, {srcX, srcY, srcX + w, srcY + h}, rop);
}

void Dib::DrawInRect(plat::Canvas& dc, const plat::Rect& rect) const {
  auto view = View();
  if (!view) return;
  dc.DrawDib(rect, *view, rect, plat::rop::kSourceCopy);
}

void Dib::DrawStretched(plat::Canvas& dc, const plat::Rect& rect) const {
  auto view = View();
  if (!view) return;
  dc.DrawDib(rect, *view, {0, 0, view->Width(), view->Height()}, plat::rop::kSourceCopy);
}

std::uint8_t Dib::PixelAt(std::int32_t x, std::int32_t y) const {
  auto view = View();
  if (!view || view->BitCount() != 8) return 0;
  return view->IndexAt(x, y);
}

}  // namespace lexo
