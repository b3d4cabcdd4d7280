#include "window/bitmap.h"

#include <algorithm>

#include "plat/resource.h"
#include "window/dib.h"

namespace lexo {
namespace {

std::optional<plat::Palette>& PaletteSlot() {
  static std::optional<plat::Palette> palette;
  return palette;
}

}  // namespace

void SetProcessPalette(std::optional<plat::Palette> palette) {
  PaletteSlot() = std::move(palette);
}

const plat::Palette* ProcessPalette() {
  return PaletteSlot() ? &*PaletteSlot() : nullptr;
}

Bitmap::Bitmap() = default;
Bitmap::~Bitmap() = default;
Bitmap::Bitmap(Bitmap&&) noexcept = default;
Bitmap& Bitmap::operator=(Bitmap&&) noexcept = default;

bool Bitmap::Load(std::string_view name, bool programResources) {
  Free();
  Dib dib;
  auto mark = name.find('?');
  if (programResources && mark != std::string_view::npos) {
    auto bytes = plat::LoadResource(name.substr(mark + 1), plat::ResourceKind::Bitmap);
    if (!dib.LoadBmp(bytes)) return false;
  } else if (!dib.LoadFile(name)) {
    return false;
  }
  Adopt(dib.ToDevice());
  return !IsEmpty();
}

void Bitmap::Adopt(plat::Bitmap pixels) {
  if (pixels.IsEmpty()) {
    device_.reset();
  } else {
    device_ = std::make_unique<plat::Bitmap>(std::move(pixels));
  }
}

void Bitmap::Free() {
  device_.reset();
}

void Bitmap::Blit(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  std::int32_t srcX, std::int32_t srcY, std::uint32_t rop) const {
  if (IsEmpty()) return;
  if (w == -1) w = Width();
  if (h == -1) h = Height();
  if (w <= 0 || h <= 0) return;
  dc.Blit({x, y, x + w, y + h}, *device_, {srcX, srcY}, rop);
}

void Bitmap::Tile(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                  std::int32_t srcX, std::int32_t srcY, std::int32_t tileW, std::int32_t tileH,
                  std::uint32_t rop) const {
  if (IsEmpty() || w <= 0 || h <= 0) return;
  if (tileW == 0) tileW = Width() - srcX;
  if (tileH == 0) tileH = Height() - srcY;
  // A tile with no size (past the bitmap's edge, or negative from a description) draws
  // nothing rather than loop.
  if (tileW <= 0 || tileH <= 0) return;
  if (tileW >= w && tileH >= h) {
    Blit(dc, x, y, w, h, srcX, srcY, rop);
    return;
  }
  for (std::int32_t top = y; top < y + h; top += tileH) {
    std::int32_t rowHeight = std::min(tileH, y + h - top);
    for (std::int32_t left = x; left < x + w; left += tileW) {
      Blit(dc, left, top, std::min(tileW, x + w - left), rowHeight, srcX, srcY, rop);
    }
  }
}

bool Bitmap::CaptureFromDC(const plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w,
                           std::int32_t h) {
  plat::Bitmap copy(w, h);
  if (copy.IsEmpty()) {
    Free();
    return false;
  }
  plat::Canvas canvas = plat::Canvas::ForBitmap(copy);
  canvas.Blit({0, 0, w, h}, dc, {x, y}, plat::rop::kSourceCopy);
  Adopt(std::move(copy));
  return true;
}

bool Bitmap::CaptureFromBitmap(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t w,
                               std::int32_t h) {
  plat::Bitmap copy(w, h);
  if (copy.IsEmpty()) {
    Free();
    return false;
  }
  if (!source.IsEmpty()) {
    plat::Canvas canvas = plat::Canvas::ForBitmap(copy);
    canvas.Blit({0, 0, w, h}, *source.device_, {x, y}, plat::rop::kSourceCopy);
  }
  Adopt(std::move(copy));
  return true;
}

bool Bitmap::Compose(const plat::Canvas&, std::int32_t w, std::int32_t h, const Bitmap& background,
                     std::int32_t bx, std::int32_t by, const Bitmap& mask, std::int32_t mx,
                     std::int32_t my, const Bitmap& foreground, std::int32_t fx, std::int32_t fy) {
  plat::Bitmap result(w, h);
  plat::Bitmap front(w, h);
  if (result.IsEmpty()) {
    Free();
    return false;
  }
  plat::Canvas canvas = plat::Canvas::ForBitmap(result);
  background.Blit(canvas, 0, 0, w, h, bx, by, plat::rop::kSourceCopy);
  mask.Blit(canvas, 0, 0, w, h, mx, my, plat::rop::kDestinationAndNotSource);
  plat::Canvas frontCanvas = plat::Canvas::ForBitmap(front);
  foreground.Blit(frontCanvas, 0, 0, w, h, fx, fy, plat::rop::kSourceCopy);
  mask.Blit(frontCanvas, 0, 0, w, h, mx, my, plat::rop::kSourceAnd);
  canvas.Blit({0, 0, w, h}, front, {0, 0}, plat::rop::kSourcePaint);
  Adopt(std::move(result));
  return true;
}

CappedBitmap::CappedBitmap(std::string_view name, bool programResources, std::int32_t leftCap,
                           std::int32_t middle)
    : leftCap_(leftCap), middle_(middle) {
  Load(name, programResources);
  if (middle_ == 0) middle_ = Width();
}

void CappedBitmap::DrawAcross(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t width,
                              std::int32_t h, std::int32_t srcY, std::uint32_t rop) const {
  if (IsEmpty() || width <= 0) return;
  if (h == 0) h = Height();
  std::int32_t bitmapWidth = Width();
  std::int32_t rightCap = bitmapWidth - leftCap_ - middle_;
  Blit(dc, x, y, leftCap_, h, 0, srcY, rop);
  if (width > bitmapWidth - middle_ && middle_ > 0) {
    // Middle copies stop where the right cap begins; the last one is cut.
    std::int32_t end = x + width - std::max(rightCap, 0);
    for (std::int32_t left = x + leftCap_; left < end; left += middle_) {
      Blit(dc, left, y, std::min(middle_, end - left), h, leftCap_, srcY, rop);
    }
  }
  Blit(dc, x + width - rightCap, y, rightCap, h, leftCap_ + middle_, srcY, rop);
}

void CappedBitmap::DrawDown(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w,
                            std::int32_t height, std::int32_t srcX, std::uint32_t rop) const {
  if (IsEmpty() || height <= 0) return;
  if (w == 0) w = Width();
  std::int32_t bitmapHeight = Height();
  std::int32_t bottomCap = bitmapHeight - leftCap_ - middle_;
  if (height > bitmapHeight - middle_ && middle_ > 0) {
    Blit(dc, x, y, w, leftCap_, srcX, 0, rop);
    std::int32_t end = y + height - std::max(bottomCap, 0);
    for (std::int32_t top = y + leftCap_; top < end; top += middle_) {
      Blit(dc, x, top, w, std::min(middle_, end - top), srcX, leftCap_, rop);
    }
  } else {
    Blit(dc, x, y, w, height, srcX, 0, rop);
  }
  Blit(dc, x, y + height - bottomCap, w, bottomCap, srcX, leftCap_ + middle_, rop);
}

}  // namespace lexo
