// Painting a display: backgrounds and cell frames, then each line that meets the update area.
// Text is drawn transparently over whatever the pane painted; selected text and search hits
// are drawn inverted (background colour on a filled box).
#include <algorithm>

#include "mv/display.h"

namespace mv {
namespace {

enum class Look : std::uint8_t { plain, hit, selected };

}  // namespace

bool Display::paint(plat::Canvas& canvas, const plat::Rect& update) {
  if (!layout_) return false;
  plat::Rect area = update.Intersect(rect_);
  if (area.IsEmpty()) return true;
  plat::Point origin{rect_.left - scrollX_, rect_.top - scrollY_};
  int saved = canvas.Save();
  canvas.IntersectClip(area);
  canvas.SetBackMode(plat::BackgroundMode::Transparent);

  for (const display::Fill& fill : layout_->fills) {
    plat::Rect r = fill.rect.Offset(origin.x, origin.y);
    if (r.Intersect(area).IsEmpty()) continue;
    if (fill.frame) {
      canvas.FrameRect(r, plat::Brush::Solid(fill.colour));
    } else {
      canvas.FillRect(r, plat::Brush::Solid(fill.colour));
    }
  }

  const auto& lines = layout_->lines;
  for (auto i = static_cast<std::size_t>(layout_->FirstLineBelow(area.top - origin.y));
       i < lines.size(); ++i) {
    const display::Line& line = lines[i];
    if (line.bandTop + origin.y >= area.bottom) break;
    if (line.Bottom() + origin.y <= area.top || line.top + origin.y >= area.bottom) continue;
    if (hidePartial_ && line.Bottom() + origin.y > rect_.bottom) continue;
    if (line.cell) {
      // A word wider than its cell must not run into the next one.
      int cellSaved = canvas.Save();
      canvas.IntersectClip({origin.x + line.left, area.top, origin.x + line.right, area.bottom});
      paintLine(canvas, line, origin);
      canvas.Restore(cellSaved);
    } else {
      paintLine(canvas, line, origin);
    }
  }
  canvas.Restore(saved);
  return true;
}

void Display::paintLine(plat::Canvas& canvas, const display::Line& line, plat::Point origin) const {
  std::int32_t selBegin = selectionBegin();
  std::int32_t selEnd = selectionEnd();
  auto lookOf = [&](std::int32_t unit) {
    if (unit >= selBegin && unit < selEnd) return Look::selected;
    for (auto it = hitRanges_.begin(); it != hitRanges_.end(); ++it) {
      if (it->begin > unit) break;
      if (unit < it->end) return Look::hit;
    }
    return Look::plain;
  };
  std::int32_t top = origin.y + line.top;
  std::int32_t bottom = origin.y + line.Bottom();
  auto fillFor = [&](Look look) {
    return plat::Brush::Solid(look == Look::selected ? textColour_ : kHighlightColour);
  };

  for (std::int32_t k = 0; k < line.fragmentCount; ++k) {
    const display::Fragment& f =
        layout_->fragments[static_cast<std::size_t>(line.firstFragment + k)];
    std::int32_t x = origin.x + f.x;
    switch (f.kind) {
      case display::Fragment::Kind::text: {
        const display::FontEntry& font = *layout_->fonts[static_cast<std::size_t>(f.font)];
        canvas.SelectFont(font.font);
        std::int32_t y = top + line.ascent - font.ascent;
        plat::Colour plainColour = f.ownColour ? f.colour : textColour_;
        std::string_view chars =
            std::string_view(layout_->text)
                .substr(static_cast<std::size_t>(f.unit), static_cast<std::size_t>(f.units));
        // Runs of characters that look the same.
        std::int32_t start = 0;
        std::int32_t runX = x;
        while (start < f.units) {
          Look look = lookOf(f.unit + start);
          std::int32_t end = start;
          std::int32_t width = 0;
          while (end < f.units && lookOf(f.unit + end) == look) {
            width += font.widths[static_cast<unsigned char>(chars[static_cast<std::size_t>(end)])];
            ++end;
          }
          if (look != Look::plain) {
            canvas.FillRect({runX, top, runX + width, bottom}, fillFor(look));
            canvas.SetTextColour(backColour_);
          } else {
            canvas.SetTextColour(plainColour);
          }
          canvas.TextOut({runX, y}, chars.substr(static_cast<std::size_t>(start),
                                                 static_cast<std::size_t>(end - start)));
          runX += width;
          start = end;
        }
        break;
      }
      case display::Fragment::Kind::blank:
      case display::Fragment::Kind::tab: {
        // Blanks between two words of one link keep the link's underline going.
        if (f.link >= 0 && f.font >= 0 && k + 1 < line.fragmentCount) {
          const display::Fragment& next =
              layout_->fragments[static_cast<std::size_t>(line.firstFragment + k + 1)];
          const display::FontEntry& font = *layout_->fonts[static_cast<std::size_t>(f.font)];
          if (next.link >= 0 && font.font->Description().underline &&
              *layout_->links[static_cast<std::size_t>(next.link)] ==
                  *layout_->links[static_cast<std::size_t>(f.link)]) {
            std::int32_t y = top + line.ascent + font.font->UnderlineOffset();
            canvas.FillRect({x, y, x + f.width, y + font.font->UnderlineThickness()},
                            plat::Brush::Solid(f.ownColour ? f.colour : textColour_));
          }
        }
        for (std::int32_t u = 0; u < f.units; ++u) {
          Look look = lookOf(f.unit + u);
          if (look == Look::plain) continue;
          std::int32_t a = x + f.width * u / f.units;
          std::int32_t b = x + f.width * (u + 1) / f.units;
          canvas.FillRect({a, top, b, bottom}, fillFor(look));
        }
        break;
      }
      case display::Fragment::Kind::mark: {
        if (f.unit >= selBegin && f.unit < selEnd && f.font >= 0) {
          const display::FontEntry& font = *layout_->fonts[static_cast<std::size_t>(f.font)];
          canvas.FillRect({x, top, x + font.widths[' '], bottom}, fillFor(Look::selected));
        }
        break;
      }
      case display::Fragment::Kind::picture: {
        const display::PlacedPicture& picture =
            layout_->pictures[static_cast<std::size_t>(f.object)];
        plat::Rect r = picture.rect.Offset(origin.x, origin.y);
        pictures_.draw(canvas, picture.cacheIndex, {r.left, r.top}, canvas.ClipBounds());
        if (f.unit >= selBegin && f.unit < selEnd) {
          canvas.FrameRect(r, fillFor(Look::selected));
        }
        break;
      }
      case display::Fragment::Kind::window:
        break;
    }
  }
}

}  // namespace mv
