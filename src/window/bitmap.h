// Bitmaps the windows draw with: skins found by name (a program resource after a "?", or a
// BMP or JPEG file) and the blit helpers built on them. An empty bitmap draws nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "plat/bitmap.h"
#include "plat/canvas.h"
#include "plat/palette.h"
#include "plat/raster_op.h"

namespace lexo {

class Bitmap {
 public:
  Bitmap();
  ~Bitmap();
  Bitmap(Bitmap&&) noexcept;
  Bitmap& operator=(Bitmap&&) noexcept;
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // Frees the current bitmap and loads the named one; with `programResources` a name holding
  // "?" is the resource after it. False, and empty, on failure.
  bool Load(std::string_view name, bool programResources = true);
  void Adopt(plat::Bitmap pixels);
  void Free();

  bool IsEmpty() const { return !device_ || device_->IsEmpty(); }
  std::int32_t Width() const { return IsEmpty() ? 0 : device_->Width(); }
  std::int32_t Height() const { return IsEmpty() ? 0 : device_->Height(); }
  // The pixels, at a stable address for the bitmap's life; null when empty.
  plat::Bitmap* Device() const { return IsEmpty() ? nullptr : device_.get(); }

  // w or h of -1 mean the bitmap's width or height.
  void Blit(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
            std::int32_t srcX, std::int32_t srcY, std::uint32_t rop = plat::rop::kSourceCopy) const;
  // Fills the rectangle with copies of the tile at (srcX, srcY), left to right and top to
  // bottom, the last column and row cut to fit. A zero tile size runs to the bitmap's edge.
  void Tile(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
            std::int32_t srcX, std::int32_t srcY, std::int32_t tileW, std::int32_t tileH,
            std::uint32_t rop = plat::rop::kSourceCopy) const;
  bool CaptureFromDC(const plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w,
                     std::int32_t h);
  bool CaptureFromBitmap(const Bitmap& source, std::int32_t x, std::int32_t y, std::int32_t w,
                         std::int32_t h);
  // (background AND NOT mask) OR (foreground AND mask): white in the mask picks the
  // foreground.
  bool Compose(const plat::Canvas& dc, std::int32_t w, std::int32_t h, const Bitmap& background,
               std::int32_t bx, std::int32_t by, const Bitmap& mask, std::int32_t mx,
               std::int32_t my, const Bitmap& foreground, std::int32_t fx, std::int32_t fy);

 private:
  std::unique_ptr<plat::Bitmap> device_;
};

// A skin that stretches: left cap, a middle piece repeated, right cap (or top, middle,
// bottom).
class CappedBitmap : public Bitmap {
 public:
  CappedBitmap() = default;
  // A middle width of 0 means the whole bitmap width.
  CappedBitmap(std::string_view name, bool programResources, std::int32_t leftCap,
               std::int32_t middle);

  std::int32_t LeftCap() const { return leftCap_; }
  std::int32_t Middle() const { return middle_; }

  // h of 0 means the bitmap height.
  void DrawAcross(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t h, std::int32_t srcY,
                  std::uint32_t rop = plat::rop::kSourceCopy) const;
  // w of 0 means the bitmap width.
  void DrawDown(plat::Canvas& dc, std::int32_t x, std::int32_t y, std::int32_t w,
                std::int32_t height, std::int32_t srcX,
                std::uint32_t rop = plat::rop::kSourceCopy) const;

 private:
  std::int32_t leftCap_ = 0;
  std::int32_t middle_ = 0;
};

// The process palette: a colour table kept for the palette lines of descriptions. On a true
// colour surface it changes no pixel.
void SetProcessPalette(std::optional<plat::Palette> palette);
const plat::Palette* ProcessPalette();

}  // namespace lexo
