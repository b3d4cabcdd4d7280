// Text on a canvas: single lines and formatted, word-wrapped text in a rectangle.
#include <algorithm>
#include <string>

#include "plat/canvas.h"

namespace plat {
namespace {

inline Pixel Blend(Pixel destination, Pixel colour, unsigned coverage) {
  if (coverage >= 255) return colour;
  Pixel out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>(destination >> shift & 0xFF);
    int c = static_cast<int>(colour >> shift & 0xFF);
    int v = d + ((c - d) * static_cast<int>(coverage) + (c >= d ? 127 : -127)) / 255;
    out |= static_cast<Pixel>(v) << shift;
  }
  return out;
}

bool IsBlank(char ch) {
  return ch == ' ' || ch == '\t';
}

struct Line {
  std::size_t start = 0;  // in the display text
  std::size_t length = 0;
  std::int32_t width = 0;
};

}  // namespace

FontMetrics Canvas::GetFontMetrics() const {
  return CurrentFont()->Metrics();
}

Size Canvas::TextExtent(std::string_view text) const {
  return CurrentFont()->Extent(text);
}

void Canvas::TextOut(Point at, std::string_view text) {
  DrawTextLine(at, text, -1);
}

void Canvas::DrawTextLine(Point at, std::string_view text, std::int32_t prefixIndex) {
  const Font& font = *CurrentFont();
  const FontMetrics& metrics = font.Metrics();
  Size extent = font.Extent(text);
  if (state_.backMode == BackgroundMode::Opaque) {
    FillSurfaceRect({at.x, at.y, at.x + extent.width, at.y + metrics.height},
                    ToPixel(state_.backColour));
  }
  PixelSurface surface;
  Point deviceOrigin;
  std::vector<Rect> clip;
  if (text.empty() || !Prepare(surface, deviceOrigin, clip)) return;
  Pixel colour = ToPixel(state_.textColour);
  Point pen{at.x + state_.origin.x + deviceOrigin.x, at.y + state_.origin.y + deviceOrigin.y};
  std::int32_t baseline = pen.y + metrics.ascent;
  Rect touched;
  std::int32_t x = pen.x;
  std::int32_t prefixLeft = 0;
  std::int32_t prefixRight = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph& g = font.GlyphOf(static_cast<unsigned char>(text[i]));
    if (static_cast<std::int32_t>(i) == prefixIndex) {
      prefixLeft = x;
      prefixRight = x + g.advance;
    }
    Rect box{x + g.left, baseline - g.top, x + g.left + g.width, baseline - g.top + g.rows};
    for (const Rect& c : clip) {
      Rect part = box.Intersect(c);
      if (part.IsEmpty()) continue;
      for (std::int32_t y = part.top; y < part.bottom; ++y) {
        const std::uint8_t* cover =
            g.coverage.data() + static_cast<std::size_t>(y - box.top) * g.width - box.left;
        Pixel* row = surface.Row(y);
        for (std::int32_t px = part.left; px < part.right; ++px) {
          if (cover[px]) row[px] = Blend(row[px], colour, cover[px]);
        }
      }
      touched = touched.IsEmpty() ? part : Region(touched).Unite(part).Bounds();
    }
    x += g.advance;
  }
  Touch(touched);
  auto underline = [&](std::int32_t left, std::int32_t right) {
    std::int32_t top = metrics.ascent + font.UnderlineOffset();
    top = std::min(top, metrics.height - 1);
    FillSurfaceRect(
        {left - deviceOrigin.x - state_.origin.x, at.y + top,
         right - deviceOrigin.x - state_.origin.x, at.y + top + font.UnderlineThickness()},
        colour);
  };
  if (font.Description().underline) underline(pen.x, x);
  if (prefixRight > prefixLeft) underline(prefixLeft, prefixRight);
}

std::int32_t Canvas::DrawText(std::string_view text, Rect& rect, std::uint32_t flags) {
  using namespace text_format;
  const Font& font = *CurrentFont();
  std::int32_t lineHeight = font.Metrics().height;
  bool single = (flags & kSingleLine) != 0;

  // "&x" underlines x, "&&" is one ampersand.
  std::string display;
  std::int32_t prefixAt = -1;
  display.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(flags & kNoPrefix) && text[i] == '&') {
      if (i + 1 >= text.size()) break;
      ++i;
      if (text[i] != '&' && prefixAt < 0) prefixAt = static_cast<std::int32_t>(display.size());
    }
    display += text[i];
  }

  // Paragraphs, then lines within them.
  std::vector<Line> lines;
  std::int32_t available = rect.Width();
  auto widthOf = [&](std::size_t start, std::size_t length) {
    return font.Extent(std::string_view(display).substr(start, length)).width;
  };
  auto addParagraph = [&](std::size_t start, std::size_t end) {
    if (!(flags & kWordBreak) || single) {
      lines.push_back({start, end - start, widthOf(start, end - start)});
      return;
    }
    std::size_t lineStart = start;
    while (true) {
      std::size_t i = lineStart;
      std::int32_t width = 0;
      std::size_t lastFit = lineStart;  // end of the last word that fits
      std::int32_t lastFitWidth = 0;
      bool broke = false;
      while (i < end) {
        // The next blank run and the word after it.
        std::size_t wordStart = i;
        while (wordStart < end && IsBlank(display[wordStart])) ++wordStart;
        std::size_t wordEnd = wordStart;
        while (wordEnd < end && !IsBlank(display[wordEnd])) ++wordEnd;
        std::int32_t grown = width + widthOf(i, wordEnd - i);
        if (grown > available && lastFit > lineStart) {
          broke = true;
          break;
        }
        if (grown > available && wordEnd > wordStart) {
          // A word wider than the whole line is cut where it stops fitting.
          std::size_t cut = wordStart;
          std::int32_t w = width + widthOf(i, wordStart - i);
          while (cut < wordEnd) {
            std::int32_t next = w + font.CharWidth(static_cast<unsigned char>(display[cut]));
            if (next > available && cut > lineStart) break;
            w = next;
            ++cut;
          }
          lastFit = cut;
          lastFitWidth = w;
          broke = cut < end;
          i = cut;
          break;
        }
        width = grown;
        i = wordEnd;
        lastFit = wordEnd;
        lastFitWidth = width;
      }
      if (!broke) {
        lines.push_back({lineStart, end - lineStart, widthOf(lineStart, end - lineStart)});
        return;
      }
      lines.push_back({lineStart, lastFit - lineStart, lastFitWidth});
      lineStart = lastFit;
      while (lineStart < end && IsBlank(display[lineStart])) ++lineStart;
      if (lineStart >= end) return;
    }
  };
  if (single) {
    addParagraph(0, display.size());
  } else {
    std::size_t start = 0;
    while (true) {
      std::size_t brk = display.find_first_of("\r\n", start);
      if (brk == std::string::npos) {
        if (start < display.size() || lines.empty()) addParagraph(start, display.size());
        break;
      }
      addParagraph(start, brk);
      start =
          brk +
          ((display[brk] == '\r' && brk + 1 < display.size() && display[brk + 1] == '\n') ? 2 : 1);
      if (start >= display.size()) break;
    }
  }

  std::int32_t height = lineHeight * static_cast<std::int32_t>(lines.size());
  if (flags & kCalculateRect) {
    std::int32_t widest = 0;
    for (const Line& line : lines) widest = std::max(widest, line.width);
    rect.right = rect.left + widest;
    rect.bottom = rect.top + height;
    return height;
  }

  std::int32_t y = rect.top;
  if (single && (flags & kVerticalCentre)) {
    y = rect.top + (rect.Height() - lineHeight) / 2;
  } else if (single && (flags & kBottom)) {
    y = rect.bottom - lineHeight;
  }
  std::int32_t result =
      (single && (flags & (kVerticalCentre | kBottom))) ? y - rect.top + height : height;
  bool clipped = !(flags & kNoClip);
  if (clipped) {
    Save();
    IntersectClip(rect);
  }
  for (const Line& line : lines) {
    std::int32_t x = rect.left;
    if (flags & kCentre) {
      x = rect.left + (rect.Width() - line.width) / 2;
    } else if (flags & kRight) {
      x = rect.right - line.width;
    }
    std::int32_t prefix = -1;
    if (prefixAt >= static_cast<std::int32_t>(line.start) &&
        prefixAt < static_cast<std::int32_t>(line.start + line.length)) {
      prefix = prefixAt - static_cast<std::int32_t>(line.start);
    }
    DrawTextLine({x, y}, std::string_view(display).substr(line.start, line.length), prefix);
    y += lineHeight;
  }
  if (clipped) Restore();
  return result;
}

}  // namespace plat
