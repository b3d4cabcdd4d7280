#include "plat/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "plat/dib_format.h"
#include "plat/raster_op.h"

namespace plat {
namespace {

Rect Normalised(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

// A copy of part of a surface, for blits whose source and destination share pixels.
struct SurfaceCopy {
  std::vector<Pixel> pixels;
  PixelSurface surface;
  Rect rect;  // `surface` holds this rectangle of the original, placed at its own (0, 0)
};

SurfaceCopy CopyOf(const PixelSurface& source, const Rect& wanted) {
  SurfaceCopy copy;
  copy.rect = wanted.Intersect(source.Bounds());
  if (copy.rect.IsEmpty()) return copy;
  std::int32_t w = copy.rect.Width();
  std::int32_t h = copy.rect.Height();
  copy.pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::int32_t y = 0; y < h; ++y) {
    const Pixel* from = source.Row(copy.rect.top + y) + copy.rect.left;
    std::copy(from, from + w, copy.pixels.data() + static_cast<std::size_t>(y) * w);
  }
  copy.surface = {copy.pixels.data(), w, h, w};
  return copy;
}

}  // namespace

Canvas::Canvas() = default;
Canvas::Canvas(CanvasTarget& target) : fixedTarget_(&target) {}
Canvas::Canvas(Canvas&&) noexcept = default;
Canvas& Canvas::operator=(Canvas&&) noexcept = default;
Canvas::~Canvas() = default;

Canvas Canvas::ForBitmap(Bitmap& bitmap) {
  Canvas canvas;
  canvas.SelectBitmap(&bitmap);
  return canvas;
}

// ---- state ----

std::shared_ptr<const Font> Canvas::SelectFont(std::shared_ptr<const Font> font) {
  std::shared_ptr<const Font> previous = CurrentFont();
  state_.font = std::move(font);
  return previous;
}

const std::shared_ptr<const Font>& Canvas::CurrentFont() const {
  if (!state_.font) {
    static const std::shared_ptr<const Font> fallback = Font::Default();
    return fallback;
  }
  return state_.font;
}

Pen Canvas::SelectPen(const Pen& pen) {
  return std::exchange(state_.pen, pen);
}
Brush Canvas::SelectBrush(const Brush& brush) {
  return std::exchange(state_.brush, brush);
}

Bitmap* Canvas::SelectBitmap(Bitmap* bitmap) {
  if (fixedTarget_) return nullptr;
  return std::exchange(state_.bitmap, bitmap);
}

const Palette* Canvas::SelectPalette(const Palette* palette) {
  return std::exchange(state_.palette, palette);
}

Colour Canvas::SetTextColour(Colour colour) {
  return std::exchange(state_.textColour, colour & kPixelMask);
}
Colour Canvas::SetBackColour(Colour colour) {
  return std::exchange(state_.backColour, colour & kPixelMask);
}
BackgroundMode Canvas::SetBackMode(BackgroundMode mode) {
  return std::exchange(state_.backMode, mode);
}
PenMix Canvas::SetPenMix(PenMix mix) {
  return std::exchange(state_.mix, mix);
}
Point Canvas::SetOrigin(Point origin) {
  return std::exchange(state_.origin, origin);
}

void Canvas::ExcludeClip(const Rect& rect) {
  if (!state_.clip) {
    PixelSurface surface;
    CanvasTarget* target = Target();
    Rect whole{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28};
    if (target) {
      surface = target->Surface();
      Point origin = target->DeviceOrigin();
      whole = surface.Bounds().Offset(-origin.x, -origin.y);
    }
    state_.clip = Region(whole);
  }
  state_.clip->Subtract(Normalised(rect).Offset(state_.origin.x, state_.origin.y));
}

void Canvas::IntersectClip(const Rect& rect) {
  Rect device = Normalised(rect).Offset(state_.origin.x, state_.origin.y);
  if (!state_.clip) {
    state_.clip = Region(device);
  } else {
    state_.clip->Intersect(device);
  }
}

void Canvas::SetClip(const Region* deviceRegion) {
  if (deviceRegion) {
    state_.clip = *deviceRegion;
  } else {
    state_.clip.reset();
  }
}

Rect Canvas::ClipBounds() const {
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (!Prepare(surface, deviceOrigin, clip)) return {};
  Region drawable;
  for (const Rect& r : clip) drawable.Unite(r);
  return drawable.Bounds().Offset(-deviceOrigin.x - state_.origin.x,
                                  -deviceOrigin.y - state_.origin.y);
}

int Canvas::Save() {
  saved_.push_back(state_);
  return static_cast<int>(saved_.size());
}

bool Canvas::Restore(int level) {
  if (level < 0) level = static_cast<int>(saved_.size()) + 1 + level;
  if (level < 1 || level > static_cast<int>(saved_.size())) return false;
  state_ = saved_[static_cast<std::size_t>(level - 1)];
  saved_.resize(static_cast<std::size_t>(level - 1));
  return true;
}

// ---- plumbing ----

CanvasTarget* Canvas::Target() const {
  return fixedTarget_ ? fixedTarget_ : static_cast<CanvasTarget*>(state_.bitmap);
}

bool Canvas::Prepare(PixelSurface& surface, Point& deviceOrigin, std::vector<Rect>& clip) const {
  clip.clear();
  CanvasTarget* target = Target();
  if (!target) return false;
  surface = target->Surface();
  if (surface.IsEmpty()) return false;
  deviceOrigin = target->DeviceOrigin();
  Region area(surface.Bounds().Offset(-deviceOrigin.x, -deviceOrigin.y));
  if (const Region* visible = target->VisibleRegion()) area.Intersect(*visible);
  if (state_.clip) area.Intersect(*state_.clip);
  area.Offset(deviceOrigin.x, deviceOrigin.y);
  clip = area.Rects();
  return !clip.empty();
}

void Canvas::Touch(const Rect& surfaceArea) const {
  if (surfaceArea.IsEmpty()) return;
  if (CanvasTarget* target = Target()) target->Touched(surfaceArea);
}

// ---- blits ----

void Canvas::BlitSurface(const Rect& destination, const PixelSurface& source,
                         const Rect& sourceRect, std::uint32_t code) {
  std::uint8_t table = TruthTable(code);
  bool withSource = UsesSource(table);
  if (destination.IsEmpty()) return;
  if (withSource && (source.IsEmpty() || sourceRect.IsEmpty())) return;
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (!Prepare(surface, deviceOrigin, clip)) return;
  Rect target =
      destination.Offset(state_.origin.x + deviceOrigin.x, state_.origin.y + deviceOrigin.y);
  Pixel pattern = state_.brush.IsNull() ? 0 : ToPixel(state_.brush.GetColour());

  // A source sharing the destination's pixels is read from a copy.
  SurfaceCopy copy;
  const PixelSurface* from = &source;
  Rect fromRect = sourceRect;
  if (withSource && source.pixels == surface.pixels) {
    copy = CopyOf(source, sourceRect);
    if (copy.rect.IsEmpty()) return;
    from = &copy.surface;
    fromRect = sourceRect.Offset(-copy.rect.left, -copy.rect.top);
  }

  bool stretch = withSource && (sourceRect.Width() != destination.Width() ||
                                sourceRect.Height() != destination.Height());
  Rect touched;
  auto widen = [&touched](const Rect& r) {
    touched = touched.IsEmpty()
                  ? r
                  : Rect{std::min(touched.left, r.left), std::min(touched.top, r.top),
                         std::max(touched.right, r.right), std::max(touched.bottom, r.bottom)};
  };

  if (!stretch) {
    Rect reach = target;
    std::int32_t dx = fromRect.left - target.left;
    std::int32_t dy = fromRect.top - target.top;
    // Only pixels that have a source are drawn.
    if (withSource) reach = reach.Intersect(from->Bounds().Offset(-dx, -dy));
    for (const Rect& c : clip) {
      Rect part = reach.Intersect(c);
      if (part.IsEmpty()) continue;
      auto count = static_cast<std::size_t>(part.Width());
      for (std::int32_t y = part.top; y < part.bottom; ++y) {
        const Pixel* src = withSource ? from->Row(y + dy) + part.left + dx : nullptr;
        ApplyRasterRow(table, surface.Row(y) + part.left, src, pattern, count);
      }
      widen(part);
    }
    Touch(touched);
    return;
  }

  std::int64_t dw = target.Width();
  std::int64_t dh = target.Height();
  std::int64_t sw = fromRect.Width();
  std::int64_t sh = fromRect.Height();
  std::vector<Pixel> row;
  std::vector<std::int32_t> columns;
  for (const Rect& c : clip) {
    Rect part = target.Intersect(c);
    if (part.IsEmpty()) continue;
    columns.resize(static_cast<std::size_t>(part.Width()));
    for (std::int32_t x = part.left; x < part.right; ++x) {
      std::int64_t sx = fromRect.left + ((2 * (x - target.left) + 1) * sw) / (2 * dw);
      columns[static_cast<std::size_t>(x - part.left)] =
          static_cast<std::int32_t>(std::clamp<std::int64_t>(sx, 0, from->width - 1));
    }
    row.resize(columns.size());
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
      std::int64_t sy = fromRect.top + ((2 * (y - target.top) + 1) * sh) / (2 * dh);
      const Pixel* src =
          from->Row(static_cast<std::int32_t>(std::clamp<std::int64_t>(sy, 0, from->height - 1)));
      for (std::size_t i = 0; i < columns.size(); ++i) row[i] = src[columns[i]];
      ApplyRasterRow(table, surface.Row(y) + part.left, row.data(), pattern, row.size());
    }
    widen(part);
  }
  Touch(touched);
}

void Canvas::Blit(const Rect& destination, const Canvas& source, Point sourceAt,
                  std::uint32_t code) {
  if (!UsesSource(TruthTable(code))) {
    PatternBlit(destination, code);
    return;
  }
  CanvasTarget* target = source.Target();
  if (!target) return;
  PixelSurface from = target->Surface();
  Point origin = target->DeviceOrigin();
  Rect sourceRect =
      Rect{sourceAt.x, sourceAt.y, sourceAt.x + destination.Width(),
           sourceAt.y + destination.Height()}
          .Offset(source.state_.origin.x + origin.x, source.state_.origin.y + origin.y);
  BlitSurface(destination, from, sourceRect, code);
}

void Canvas::Blit(const Rect& destination, const Bitmap& source, Point sourceAt,
                  std::uint32_t code) {
  Rect sourceRect{sourceAt.x, sourceAt.y, sourceAt.x + destination.Width(),
                  sourceAt.y + destination.Height()};
  BlitSurface(destination, source.ConstSurface(), sourceRect, code);
}

void Canvas::PatternBlit(const Rect& destination, std::uint32_t code) {
  BlitSurface(destination, {}, {}, code & 0x00CFFFFF);  // any source bits are meaningless here
}

void Canvas::StretchBlit(const Rect& destination, const Canvas& source, const Rect& sourceRect,
                         std::uint32_t code) {
  CanvasTarget* target = source.Target();
  if (!target) return;
  Point origin = target->DeviceOrigin();
  BlitSurface(
      destination, target->Surface(),
      sourceRect.Offset(source.state_.origin.x + origin.x, source.state_.origin.y + origin.y),
      code);
}

void Canvas::StretchBlit(const Rect& destination, const Bitmap& source, const Rect& sourceRect,
                         std::uint32_t code) {
  BlitSurface(destination, source.ConstSurface(), sourceRect, code);
}

void Canvas::DrawDib(const Rect& destination, const DibView& dib, const Rect& sourceFromTop,
                     std::uint32_t code) {
  Rect image{0, 0, dib.Width(), dib.Height()};
  Rect wanted = sourceFromTop.Intersect(image);
  if (wanted.IsEmpty() || destination.IsEmpty()) return;
  Rect target = destination;
  bool sameSize = sourceFromTop.Width() == destination.Width() &&
                  sourceFromTop.Height() == destination.Height();
  if (sameSize) {
    target =
        wanted.Offset(destination.left - sourceFromTop.left, destination.top - sourceFromTop.top);
  }
  Bitmap part(wanted.Width(), wanted.Height());
  if (part.IsEmpty()) return;
  for (std::int32_t y = 0; y < part.Height(); ++y) {
    dib.ConvertRow(wanted.top + y, wanted.left, part.Width(), part.Row(y));
  }
  BlitSurface(target, part.ConstSurface(), {0, 0, part.Width(), part.Height()}, code);
}

Colour Canvas::GetPixel(Point p) const {
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (!Prepare(surface, deviceOrigin, clip)) return 0xFFFFFFFF;
  Point s{p.x + state_.origin.x + deviceOrigin.x, p.y + state_.origin.y + deviceOrigin.y};
  if (!surface.Bounds().Contains(s)) return 0xFFFFFFFF;
  return FromPixel(surface.At(s.x, s.y));
}

void Canvas::SetPixel(Point p, Colour colour) {
  FillSurfaceRect({p.x, p.y, p.x + 1, p.y + 1}, ToPixel(colour));
}

// ---- shapes ----

void Canvas::FillSurfaceRect(const Rect& logical, Pixel pixel) {
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (logical.IsEmpty() || !Prepare(surface, deviceOrigin, clip)) return;
  Rect target = logical.Offset(state_.origin.x + deviceOrigin.x, state_.origin.y + deviceOrigin.y);
  Rect touched;
  for (const Rect& c : clip) {
    Rect part = target.Intersect(c);
    if (part.IsEmpty()) continue;
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
      std::fill(surface.Row(y) + part.left, surface.Row(y) + part.right, pixel);
    }
    touched = touched.IsEmpty() ? part : Region(touched).Unite(part).Bounds();
  }
  Touch(touched);
}

void Canvas::FillRect(const Rect& rect, const Brush& brush) {
  if (brush.IsNull()) return;
  FillSurfaceRect(rect, ToPixel(brush.GetColour()));
}

void Canvas::FrameRect(const Rect& rect, const Brush& brush) {
  if (brush.IsNull() || rect.IsEmpty()) return;
  Pixel pixel = ToPixel(brush.GetColour());
  FillSurfaceRect({rect.left, rect.top, rect.right, rect.top + 1}, pixel);
  if (rect.Height() > 1) {
    FillSurfaceRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, pixel);
  }
  FillSurfaceRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, pixel);
  if (rect.Width() > 1) {
    FillSurfaceRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, pixel);
  }
}

// Pixels of the pen in the current mix over a logical rectangle.
void Canvas::PenPixelRun(const Rect& logical) {
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (logical.IsEmpty() || !Prepare(surface, deviceOrigin, clip)) return;
  PenSpan(surface, clip,
          logical.Offset(state_.origin.x + deviceOrigin.x, state_.origin.y + deviceOrigin.y));
}

void Canvas::PenSpan(PixelSurface& surface, const std::vector<Rect>& clip,
                     const Rect& surfaceRect) {
  Pixel pixel = ToPixel(state_.pen.GetColour());
  for (const Rect& c : clip) {
    Rect part = surfaceRect.Intersect(c);
    if (part.IsEmpty()) continue;
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
      Pixel* row = surface.Row(y);
      for (std::int32_t x = part.left; x < part.right; ++x) {
        row[x] = state_.mix == PenMix::Invert ? (~row[x] & kPixelMask) : pixel;
      }
    }
    Touch(part);
  }
}

void Canvas::Rectangle(const Rect& rect) {
  Rect r = Normalised(rect);
  if (r.IsEmpty()) return;
  if (state_.pen.IsNull()) {
    // Without an outline the inside ends one pixel before the right and bottom edges.
    Rect inside{r.left, r.top, r.right - 1, r.bottom - 1};
    if (!state_.brush.IsNull()) {
      Pen saved = std::exchange(state_.pen, Pen::Solid(1, state_.brush.GetColour()));
      PenPixelRun(inside);
      state_.pen = saved;
    }
    return;
  }
  std::int32_t w = std::min({state_.pen.Width(), (r.Width() + 1) / 2, (r.Height() + 1) / 2});
  Region outline(r);
  Rect inside{r.left + w, r.top + w, r.right - w, r.bottom - w};
  outline.Subtract(inside);
  for (const Rect& band : outline.Rects()) PenPixelRun(band);
  if (!state_.brush.IsNull() && !inside.IsEmpty()) {
    Pen saved = std::exchange(state_.pen, Pen::Solid(1, state_.brush.GetColour()));
    PenPixelRun(inside);
    state_.pen = saved;
  }
}

Point Canvas::MoveTo(Point p) {
  return std::exchange(state_.position, p);
}

void Canvas::LineTo(Point p) {
  Point from = std::exchange(state_.position, p);
  if (state_.pen.IsNull() || from == p) return;
  std::int32_t w = state_.pen.Width();
  Region pixels;
  std::int32_t dx = std::abs(p.x - from.x);
  std::int32_t dy = -std::abs(p.y - from.y);
  std::int32_t stepX = from.x < p.x ? 1 : -1;
  std::int32_t stepY = from.y < p.y ? 1 : -1;
  std::int32_t error = dx + dy;
  Point at = from;
  while (at != p) {
    Rect dot{at.x - (w - 1) / 2, at.y - (w - 1) / 2, at.x - (w - 1) / 2 + w,
             at.y - (w - 1) / 2 + w};
    if (w == 1) {
      PenPixelRun(dot);
    } else {
      pixels.Unite(dot);
    }
    std::int32_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      at.x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      at.y += stepY;
    }
  }
  for (const Rect& r : pixels.Rects()) PenPixelRun(r);
}

void Canvas::FocusRect(const Rect& rect) {
  Rect r = Normalised(rect);
  if (r.IsEmpty()) return;
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (!Prepare(surface, deviceOrigin, clip)) return;
  Rect target = r.Offset(state_.origin.x + deviceOrigin.x, state_.origin.y + deviceOrigin.y);
  Region frame(target);
  frame.Subtract({target.left + 1, target.top + 1, target.right - 1, target.bottom - 1});
  Region drawable;
  for (const Rect& c : clip) drawable.Unite(c);
  frame.Intersect(drawable);
  for (const Rect& part : frame.Rects()) {
    for (std::int32_t y = part.top; y < part.bottom; ++y) {
      Pixel* row = surface.Row(y);
      for (std::int32_t x = part.left; x < part.right; ++x) {
        // Every other pixel, in step with the device grid so that it matches itself.
        if (((x - deviceOrigin.x + y - deviceOrigin.y) & 1) == 0) row[x] ^= kPixelMask;
      }
    }
    Touch(part);
  }
}

}  // namespace plat
