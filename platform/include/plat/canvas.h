// A device context: draws into a target's pixels with the state the program selects into it
// (font, pen, brush, bitmap, colours, background mode, pen mix, origin, clip) and can save
// and restore that state. Coordinates are logical: device = logical + origin. Rectangles
// exclude their right and bottom edges.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "plat/bitmap.h"
#include "plat/colour.h"
#include "plat/font.h"
#include "plat/geometry.h"
#include "plat/palette.h"
#include "plat/raster_op.h"
#include "plat/region.h"
#include "plat/surface.h"

namespace plat {

class DibView;

class Brush {
 public:
  Brush() = default;  // the null brush
  static Brush Solid(Colour colour) { return Brush(colour); }
  static Brush Null() { return Brush(); }
  static Brush White() { return Brush(0xFFFFFF); }
  static Brush Black() { return Brush(0); }

  bool IsNull() const { return null_; }
  Colour GetColour() const { return colour_; }
  friend bool operator==(const Brush&, const Brush&) = default;

 private:
  explicit Brush(Colour colour) : null_(false), colour_(colour) {}
  bool null_ = true;
  Colour colour_ = 0;
};

class Pen {
 public:
  Pen() = default;  // solid black, one pixel
  static Pen Solid(std::int32_t width, Colour colour) { return Pen(width, colour); }
  static Pen Null() {
    Pen pen;
    pen.null_ = true;
    return pen;
  }

  bool IsNull() const { return null_; }
  std::int32_t Width() const { return width_; }
  Colour GetColour() const { return colour_; }
  friend bool operator==(const Pen&, const Pen&) = default;

 private:
  Pen(std::int32_t width, Colour colour) : width_(width < 1 ? 1 : width), colour_(colour) {}
  bool null_ = false;
  std::int32_t width_ = 1;
  Colour colour_ = 0;
};

enum class BackgroundMode { Transparent = 1, Opaque = 2 };
// How pens and shapes combine with the destination: copy the pen colour, or invert.
enum class PenMix { Copy, Invert };

// Formatted-text flags; the values are stored in description data.
namespace text_format {
inline constexpr std::uint32_t kCentre = 0x1;
inline constexpr std::uint32_t kRight = 0x2;
inline constexpr std::uint32_t kVerticalCentre = 0x4;
inline constexpr std::uint32_t kBottom = 0x8;
inline constexpr std::uint32_t kWordBreak = 0x10;
inline constexpr std::uint32_t kSingleLine = 0x20;
inline constexpr std::uint32_t kNoClip = 0x100;
inline constexpr std::uint32_t kCalculateRect = 0x400;
inline constexpr std::uint32_t kNoPrefix = 0x800;
}  // namespace text_format

class Canvas {
 public:
  // A memory canvas: draws into whatever bitmap is selected, nothing until then.
  Canvas();
  // Draws into a target owned by someone else, who keeps it alive meanwhile.
  explicit Canvas(CanvasTarget& target);
  // A memory canvas with the bitmap selected.
  static Canvas ForBitmap(Bitmap& bitmap);

  Canvas(Canvas&&) noexcept;
  Canvas& operator=(Canvas&&) noexcept;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas();

  // ---- state ----
  std::shared_ptr<const Font> SelectFont(std::shared_ptr<const Font> font);
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  // Memory canvases only: the previous bitmap (null when none was selected).
  Bitmap* SelectBitmap(Bitmap* bitmap);
  const Palette* SelectPalette(const Palette* palette);
  int RealizePalette() { return 0; }

  const std::shared_ptr<const Font>& CurrentFont() const;
  const Pen& CurrentPen() const { return state_.pen; }
  const Brush& CurrentBrush() const { return state_.brush; }
  Bitmap* CurrentBitmap() const { return state_.bitmap; }

  Colour SetTextColour(Colour colour);
  Colour SetBackColour(Colour colour);
  BackgroundMode SetBackMode(BackgroundMode mode);
  PenMix SetPenMix(PenMix mix);
  Colour TextColour() const { return state_.textColour; }
  Colour BackColour() const { return state_.backColour; }
  BackgroundMode BackMode() const { return state_.backMode; }
  PenMix Mix() const { return state_.mix; }

  Point SetOrigin(Point origin);
  Point Origin() const { return state_.origin; }

  // Clip operations take logical rectangles. Without a clip region everything visible is
  // drawable; excluding from "no clip" starts from the whole device.
  void ExcludeClip(const Rect& rect);
  void IntersectClip(const Rect& rect);
  void SetClip(const Region* deviceRegion);  // null: no clip region
  const std::optional<Region>& ClipRegion() const { return state_.clip; }
  // What drawing can reach now, in logical coordinates.
  Rect ClipBounds() const;

  // Returns the new depth; Restore(-1) goes back one step, Restore(n) to the state that
  // Save returned n for. False when there is no such state.
  int Save();
  bool Restore(int level = -1);

  // ---- pixels ----
  // Ternary raster operation from (srcAt) of the source onto the destination rectangle.
  void Blit(const Rect& destination, const Canvas& source, Point sourceAt, std::uint32_t code);
  void Blit(const Rect& destination, const Bitmap& source, Point sourceAt, std::uint32_t code);
  // Operations without a source (pattern and destination only).
  void PatternBlit(const Rect& destination, std::uint32_t code);
  // Nearest-neighbour stretching of a source rectangle onto the destination rectangle.
  void StretchBlit(const Rect& destination, const Canvas& source, const Rect& sourceRect,
                   std::uint32_t code);
  void StretchBlit(const Rect& destination, const Bitmap& source, const Rect& sourceRect,
                   std::uint32_t code);
  // Draws part of a DIB; the source rectangle counts rows from the top of the image. Equal
  // sizes copy, others stretch.
  void DrawDib(const Rect& destination, const DibView& dib, const Rect& sourceFromTop,
               std::uint32_t code);

  Colour GetPixel(Point p) const;  // 0xFFFFFFFF outside the drawable area
  void SetPixel(Point p, Colour colour);

  // ---- shapes ----
  void FillRect(const Rect& rect, const Brush& brush);
  void FrameRect(const Rect& rect, const Brush& brush);
  // Outline with the pen inside the rectangle, inside filled with the brush.
  void Rectangle(const Rect& rect);
  Point MoveTo(Point p);
  // A line from the current position, its last pixel left out; the position moves to p.
  void LineTo(Point p);
  // Dotted outline by inverting; drawing it again restores the pixels.
  void FocusRect(const Rect& rect);

  // ---- text ----
  FontMetrics GetFontMetrics() const;
  Size TextExtent(std::string_view text) const;
  // Text with its cell's top-left corner at the point.
  void TextOut(Point at, std::string_view text);
  // Formatted text in a rectangle; returns the height of the text. With kCalculateRect the
  // rectangle gets the text's height and widest line and nothing is drawn.
  std::int32_t DrawText(std::string_view text, Rect& rect, std::uint32_t flags);

 private:
  struct State {
    std::shared_ptr<const Font> font;
    Pen pen;
    Brush brush = Brush::White();
    Bitmap* bitmap = nullptr;
    const Palette* palette = nullptr;
    Colour textColour = 0;
    Colour backColour = 0xFFFFFF;
    BackgroundMode backMode = BackgroundMode::Opaque;
    PenMix mix = PenMix::Copy;
    Point origin;
    std::optional<Region> clip;  // device coordinates
    Point position;
  };

  CanvasTarget* Target() const;
  // Clip rectangles of the drawable area in surface coordinates, and the surface.
  bool Prepare(PixelSurface& surface, Point& deviceOrigin, std::vector<Rect>& clip) const;
  void Touch(const Rect& surfaceArea) const;
  void BlitSurface(const Rect& destination, const PixelSurface& source, const Rect& sourceRect,
                   std::uint32_t code);
  void FillSurfaceRect(const Rect& logical, Pixel pixel);
  void PenPixelRun(const Rect& logical);
  void PenSpan(PixelSurface& surface, const std::vector<Rect>& clip, const Rect& surfaceRect);
  void DrawTextLine(Point at, std::string_view text, std::int32_t prefixIndex);

  CanvasTarget* fixedTarget_ = nullptr;
  State state_;
  std::vector<State> saved_;
};

}  // namespace plat
