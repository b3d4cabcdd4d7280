#include "mv/display_layout.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

#include "plat/cp1251.h"

namespace mv::display {
namespace {

constexpr std::int32_t kCellPadX = 4;
constexpr std::int32_t kCellPadY = 2;
constexpr std::int32_t kDefaultTabInterval = 48;
constexpr std::int32_t kTabGap = 6;  // between a right-aligned segment and what it runs into
constexpr std::int32_t kMinimumCell = 16;
constexpr plat::Colour kCellFrameColour = plat::MakeColour(0xA0, 0xA0, 0xA0);

plat::Colour FromRgb(std::int32_t rgb) {
  return plat::MakeColour(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                          static_cast<std::uint8_t>(rgb));
}

std::int32_t CodePoints(std::string_view utf8) {
  std::int32_t n = 0;
  for (char ch : utf8) n += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  return n;
}

// Lengths from content are bounded so that sums of them cannot overflow.
constexpr std::int32_t kMaxLength = 100000;

std::int32_t Bounded(std::int32_t value) {
  return std::clamp(value, -kMaxLength, kMaxLength);
}

std::int32_t Scale(std::int32_t value, std::int32_t magnifier) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(Bounded(value)) * magnifier + 50) /
                                   100);
}

// Points to pixels at the screen's resolution and the magnifier.
std::int32_t PointsToPixels(double points, std::int32_t magnifier) {
  double pixels = points * plat::ScreenDpiY() / 72.0 * magnifier / 100.0;
  return static_cast<std::int32_t>(std::clamp(pixels + 0.5, 1.0, 2000.0));
}

struct Box {
  Fragment::Kind kind = Fragment::Kind::text;
  std::int32_t unit = 0;
  std::int32_t units = 0;
  std::int32_t width = 0;
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
  std::int16_t font = -1;
  bool ownColour = false;
  plat::Colour colour = 0;
  std::int32_t link = -1;
  const text::Item* item = nullptr;  // pictures and windows
  std::int32_t cache = -1;           // pictures: index in the display's cache
  bool block = false;                // a picture on a line of its own
  bool breakAfter = false;
};

struct Column {
  std::int32_t left = 0;
  std::int32_t width = 0;
  std::int32_t firstIndent = 0;
  text::Align align = text::Align::left;
  const std::vector<text::TabStop>* tabs = nullptr;
  bool nowrap = false;
  std::int32_t paragraph = 0;
};

class Builder {
 public:
  Builder(Layout& out, const StyleTable& styles, const LayoutOptions& options,
          const PictureLoader& loadPicture)
      : out_(out), styles_(styles), options_(options), loadPicture_(loadPicture) {}

  void paragraph(const text::Paragraph& p, std::int32_t index) {
    const Style& style = styleOf(p.style);
    std::int32_t spaceBefore = p.spaceBefore > 0 ? PointsToPixels(p.spaceBefore, mag()) : 0;
    std::int32_t spaceAfter = p.spaceAfter > 0 ? PointsToPixels(p.spaceAfter, mag()) : 0;
    bool row = !p.rowWidths.empty();
    if (lastWasRow_ && !row) y_ += 1;  // the closing line of the table above
    y_ += spaceBefore;
    std::int32_t top = y_;
    std::int32_t background = p.background >= 0 ? p.background : style.background;
    std::size_t firstLine = out_.lines.size();
    std::int32_t right = options_.width;
    if (row) {
      right = tableRow(p, style, index);
    } else {
      std::vector<Box> boxes;
      makeBoxes(p, style, p.items.begin(), p.items.end(), true, boxes);
      Column column;
      column.left = Scale(p.indentLeft, mag());
      column.width = std::max(1, options_.width - column.left - Scale(p.indentRight, mag()));
      column.firstIndent = Scale(p.indentFirst, mag());
      column.align = p.align;
      column.tabs = &p.tabs;
      column.nowrap = p.nowrap;
      column.paragraph = index;
      setLines(boxes, column);
      for (std::size_t i = firstLine; i < out_.lines.size(); ++i) {
        out_.lines[i].bandTop = out_.lines[i].top;
        out_.lines[i].bandBottom = out_.lines[i].Bottom();
      }
    }
    if (background >= 0 && y_ > top) {
      // A row's background covers its cells; a paragraph's the whole width.
      plat::Rect box = row ? plat::Rect{Scale(p.indentLeft, mag()), top, right, y_ + 1}
                           : plat::Rect{0, top, std::max(right, options_.width), y_};
      out_.fills.insert(out_.fills.begin() + static_cast<std::ptrdiff_t>(backgroundCount_++),
                        Fill{box, FromRgb(background)});
    }
    lastWasRow_ = row;
    y_ += spaceAfter;
  }

  void finish() {
    if (lastWasRow_) y_ += 1;
    out_.height = y_;
    for (const Line& line : out_.lines) out_.lineTops.push_back(line.top);
    std::sort(out_.lineTops.begin(), out_.lineTops.end());
    out_.lineTops.erase(std::unique(out_.lineTops.begin(), out_.lineTops.end()),
                        out_.lineTops.end());
  }

  std::int32_t unit() const { return unit_; }

 private:
  std::int32_t mag() const { return options_.magnifier; }

  const Style& styleOf(std::int32_t id) const {
    static const Style kNone;
    if (id >= 0 && static_cast<std::size_t>(id) < styles_.size())
      return styles_[static_cast<std::size_t>(id)];
    return styles_.empty() ? kNone : styles_[0];
  }

  std::int16_t fontIndex(const FontEntry& entry) {
    auto [it, added] = fontIndexes_.emplace(&entry, static_cast<std::int16_t>(out_.fonts.size()));
    if (added) out_.fonts.push_back(&entry);
    return it->second;
  }

  struct RunLook {
    std::int16_t font = -1;
    bool ownColour = false;
    plat::Colour colour = 0;
  };

  RunLook look(const Style& style, const text::Format& format, bool link) {
    const std::string& face = !format.face.empty()  ? format.face
                              : !style.face.empty() ? style.face
                                                    : defaultFace_;
    double points = format.size > 0 ? format.size : style.size > 0 ? style.size : kDefaultPoints;
    bool bold = format.bold || (style.flags & 1);
    bool italic = format.italic || (style.flags & 2);
    bool underline = format.underline || (style.flags & 4) || link;
    RunLook out;
    out.font = fontIndex(SharedFont(face, PointsToPixels(points, mag()), bold, italic, underline));
    if (format.colour >= 0) {
      out.ownColour = true;
      out.colour = FromRgb(format.colour);
    } else if (link) {
      out.ownColour = true;
      out.colour = kLinkColour;
    } else if (style.colour >= 0) {
      out.ownColour = true;
      out.colour = FromRgb(style.colour);
    }
    return out;
  }

  // Takes the next unit; `ch` is its character in the layout's text.
  std::int32_t take(char ch) {
    out_.text += ch;
    return unit_++;
  }

  Box markBox(Fragment::Kind kind, char ch, const RunLook& look) {
    Box b;
    b.kind = kind;
    b.unit = take(ch);
    b.units = 1;
    b.font = look.font;
    b.ascent = out_.fonts[static_cast<std::size_t>(look.font)]->ascent;
    b.descent = out_.fonts[static_cast<std::size_t>(look.font)]->descent;
    return b;
  }

  // Boxes of items [begin, end); `paragraphEnd` adds the paragraph's end unit, else the range
  // ends at a cell item that supplies its own unit.
  void makeBoxes(const text::Paragraph& p, const Style& style,
                 std::vector<text::Item>::const_iterator begin,
                 std::vector<text::Item>::const_iterator end, bool paragraphEnd,
                 std::vector<Box>& boxes) {
    RunLook current = look(style, {}, false);
    for (auto it = begin; it != end; ++it) {
      const text::Item& item = *it;
      switch (item.kind) {
        case text::Item::Kind::text: {
          bool linked = item.link.kind != text::Link::Kind::none;
          RunLook run = look(style, item.format, linked);
          current = run;
          std::int32_t link = -1;
          if (linked) {
            link = static_cast<std::int32_t>(out_.links.size());
            out_.links.push_back(&item.link);
          }
          textBoxes(item, run, link, boxes);
          break;
        }
        case text::Item::Kind::tab:
          boxes.push_back(markBox(Fragment::Kind::tab, '\t', current));
          break;
        case text::Item::Kind::lineBreak:
          boxes.push_back(markBox(Fragment::Kind::mark, '\n', current));
          break;
        case text::Item::Kind::cell:
          boxes.push_back(markBox(Fragment::Kind::mark, '\t', current));
          break;
        case text::Item::Kind::anchor:
          break;
        case text::Item::Kind::picture: {
          Box b;
          b.kind = Fragment::Kind::picture;
          b.unit = take('\0');
          b.units = 1;
          b.item = &item;
          plat::Size size;
          std::int32_t cache = loadPicture_ ? loadPicture_(item, size) : -1;
          if (cache < 0) size = {};
          b.width = std::clamp(size.width, 0, kMaxLength);
          b.ascent = std::clamp(size.height, 0, kMaxLength);
          b.block = item.pictureAlign != text::PictureAlign::inlined;
          b.breakAfter = true;
          if (!boxes.empty()) boxes.back().breakAfter = true;
          b.cache = cache;
          boxes.push_back(b);
          break;
        }
        case text::Item::Kind::window: {
          Box b;
          b.kind = Fragment::Kind::window;
          b.unit = take('\0');
          b.units = 1;
          b.item = &item;
          b.width = std::clamp(item.width, 0, kMaxLength);
          b.ascent = std::clamp(item.height, 0, kMaxLength);
          b.breakAfter = true;
          if (!boxes.empty()) boxes.back().breakAfter = true;
          boxes.push_back(b);
          break;
        }
      }
    }
    if (paragraphEnd) boxes.push_back(markBox(Fragment::Kind::mark, '\n', current));
    (void)p;
  }

  // Characters of a run split into words and blanks; a word may break after a hyphen that
  // follows a letter.
  void textBoxes(const text::Item& item, const RunLook& run, std::int32_t link,
                 std::vector<Box>& boxes) {
    std::int32_t count = CodePoints(item.text);
    const FontEntry& font = *out_.fonts[static_cast<std::size_t>(run.font)];
    std::string bytes = plat::cp1251::FromUtf8(item.text);
    bytes.resize(static_cast<std::size_t>(count), '?');
    std::size_t textStart = out_.text.size();
    out_.text += bytes;
    std::string_view chars = std::string_view(out_.text).substr(textStart);
    std::size_t i = 0;
    while (i < chars.size()) {
      Box b;
      b.unit = unit_ + static_cast<std::int32_t>(i);
      b.font = run.font;
      b.ownColour = run.ownColour;
      b.colour = run.colour;
      b.link = link;
      b.ascent = font.ascent;
      b.descent = font.descent;
      std::size_t j = i;
      std::int32_t width = 0;
      if (chars[i] == ' ') {
        b.kind = Fragment::Kind::blank;
        while (j < chars.size() && chars[j] == ' ') width += font.widths[' '], ++j;
        b.breakAfter = true;
      } else {
        b.kind = Fragment::Kind::text;
        while (j < chars.size() && chars[j] != ' ') {
          auto ch = static_cast<unsigned char>(chars[j]);
          width += font.widths[ch];
          ++j;
          if (ch == '-' && j - i > 1 &&
              plat::cp1251::IsAlpha(static_cast<unsigned char>(chars[j - 2])) && j < chars.size() &&
              chars[j] != ' ') {
            b.breakAfter = true;
            break;
          }
        }
      }
      b.units = static_cast<std::int32_t>(j - i);
      b.width = width;
      boxes.push_back(b);
      i = j;
    }
    unit_ += count;
  }

  struct Placed {
    std::size_t box = 0;
    std::int32_t x = 0;
    std::int32_t width = 0;
  };

  std::int32_t tabWidth(const std::vector<Box>& boxes, std::size_t at, std::int32_t x,
                        const Column& column, std::int32_t lineStart) {
    // Stops are counted from the column's left edge; the position is relative to the line.
    std::int32_t absolute = lineStart + x;
    std::int32_t segment = 0;  // what follows up to the next tab or line end
    for (std::size_t j = at + 1; j < boxes.size(); ++j) {
      if (boxes[j].kind == Fragment::Kind::tab || boxes[j].kind == Fragment::Kind::mark ||
          boxes[j].block)
        break;
      segment += boxes[j].width;
    }
    if (column.tabs) {
      for (const text::TabStop& stop : *column.tabs) {
        std::int32_t position = Scale(stop.position, mag());
        std::int32_t target = absolute;
        if (stop.kind == 'r')
          target = position - segment;
        else if (stop.kind == 'c')
          target = position - segment / 2;
        else
          target = position;
        // A right or centred segment too wide for its stop starts where the line stands.
        if (position > absolute) {
          std::int32_t gap = target >= absolute ? 0 : Scale(kTabGap, mag());
          return std::max(target, absolute + gap) - absolute;
        }
      }
    }
    std::int32_t interval = std::max(1, Scale(kDefaultTabInterval, mag()));
    return (absolute / interval + 1) * interval - absolute;
  }

  void setLines(std::vector<Box>& boxes, const Column& column) {
    std::vector<Placed> line;
    bool first = true;
    std::int32_t x = 0;
    std::int32_t ink = 0;
    bool hasInk = false;
    auto lineStart = [&] { return first ? column.firstIndent : 0; };
    auto available = [&] { return column.width - lineStart(); };

    auto finish = [&](bool hard) {
      emitLine(boxes, line, column, lineStart(), available(), ink, hard);
      line.clear();
      x = 0;
      ink = 0;
      hasInk = false;
      first = false;
    };

    std::size_t i = 0;
    while (i < boxes.size()) {
      Box& b = boxes[i];
      if (b.kind == Fragment::Kind::mark) {
        line.push_back({i, x, 0});
        ++i;
        finish(true);
        continue;
      }
      if (b.block) {
        if (!line.empty()) finish(true);
        std::int32_t room = available() - b.width;
        std::int32_t at = 0;
        if (b.item->pictureAlign == text::PictureAlign::center) at = std::max(0, room / 2);
        if (b.item->pictureAlign == text::PictureAlign::right) at = std::max(0, room);
        line.push_back({i, at, b.width});
        x = at + b.width;
        ink = x;
        hasInk = true;
        ++i;
        // The paragraph end (or what follows) begins a line of its own unless it is the
        // paragraph end, which stays with the picture.
        if (i < boxes.size() && boxes[i].kind == Fragment::Kind::mark) continue;
        finish(true);
        continue;
      }
      if (b.kind == Fragment::Kind::tab) {
        std::int32_t width = tabWidth(boxes, i, x, column, lineStart());
        if (!column.nowrap && hasInk && x + width > available()) {
          finish(false);
          width = tabWidth(boxes, i, x, column, lineStart());
        }
        line.push_back({i, x, width});
        x += width;
        ink = x;
        hasInk = true;
        ++i;
        continue;
      }
      // A group: boxes up to and including the first one a line may break after.
      std::size_t j = i;
      std::int32_t groupWidth = 0;
      std::int32_t groupInk = 0;
      while (j < boxes.size()) {
        const Box& g = boxes[j];
        if (j > i && (g.kind == Fragment::Kind::tab || g.kind == Fragment::Kind::mark || g.block))
          break;
        groupWidth += g.width;
        if (g.kind != Fragment::Kind::blank) groupInk = groupWidth;
        ++j;
        if (g.breakAfter) break;
      }
      if (!column.nowrap && hasInk && groupInk > 0 && x + groupInk > available()) finish(false);
      for (std::size_t k = i; k < j; ++k) {
        line.push_back({k, x, boxes[k].width});
        x += boxes[k].width;
        if (boxes[k].kind != Fragment::Kind::blank && boxes[k].width > 0) {
          ink = x;
          hasInk = true;
        } else if (boxes[k].kind != Fragment::Kind::blank) {
          hasInk = true;
        }
      }
      i = j;
    }
    if (!line.empty()) finish(true);
  }

  void emitLine(const std::vector<Box>& boxes, std::vector<Placed>& line, const Column& column,
                std::int32_t lineStart, std::int32_t available, std::int32_t ink, bool hard) {
    if (line.empty()) return;
    // End marks size a line only when nothing else does (an empty line), so a picture on
    // its own is exactly as tall as the picture.
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    bool content = false;
    for (const Placed& p : line) content |= boxes[p.box].kind != Fragment::Kind::mark;
    for (const Placed& p : line) {
      if (content && boxes[p.box].kind == Fragment::Kind::mark) continue;
      ascent = std::max(ascent, boxes[p.box].ascent);
      descent = std::max(descent, boxes[p.box].descent);
    }
    std::int32_t offset = 0;
    std::int32_t free = available - ink;
    bool blockLine = boxes[line.front().box].block;
    if (!blockLine && free > 0) {
      if (column.align == text::Align::right) offset = free;
      if (column.align == text::Align::center) offset = free / 2;
      if (column.align == text::Align::justify && !hard) {
        // Stretch the blanks between words; blanks after the last word stay as they are.
        std::int32_t spaces = 0;
        for (const Placed& p : line) {
          if (boxes[p.box].kind == Fragment::Kind::blank && p.x + p.width <= ink)
            spaces += boxes[p.box].units;
        }
        if (spaces > 0) {
          std::int32_t given = 0;
          std::int32_t seen = 0;
          std::int32_t shift = 0;
          for (Placed& p : line) {
            p.x += shift;
            const Box& b = boxes[p.box];
            if (b.kind == Fragment::Kind::blank && p.x - shift + p.width <= ink) {
              seen += b.units;
              std::int32_t share = free * seen / spaces - given;
              given += share;
              p.width += share;
              shift += share;
            }
          }
          ink += free;
        }
      }
    }
    std::int32_t origin = column.left + lineStart + offset;
    Line out;
    out.top = y_;
    out.height = ascent + descent;
    out.ascent = ascent;
    out.left = column.left;
    out.right = column.left + column.width;
    out.inkRight = origin + ink;
    out.firstFragment = static_cast<std::int32_t>(out_.fragments.size());
    out.fragmentCount = static_cast<std::int32_t>(line.size());
    out.unitBegin = boxes[line.front().box].unit;
    out.unitEnd = boxes[line.back().box].unit + boxes[line.back().box].units;
    out.paragraph = column.paragraph;
    for (const Placed& p : line) {
      const Box& b = boxes[p.box];
      Fragment f;
      f.kind = b.kind;
      f.x = origin + p.x;
      f.width = p.width;
      f.unit = b.unit;
      f.units = b.units;
      f.font = b.font;
      f.ownColour = b.ownColour;
      f.colour = b.colour;
      if (b.kind == Fragment::Kind::picture) {
        f.object = static_cast<std::int32_t>(out_.pictures.size());
        PlacedPicture picture;
        picture.rect = {f.x, y_ + ascent - b.ascent, f.x + b.width, y_ + ascent};
        picture.unit = b.unit;
        picture.cacheIndex = b.cache;
        picture.item = b.item;
        out_.pictures.push_back(picture);
      } else if (b.kind == Fragment::Kind::window) {
        f.object = static_cast<std::int32_t>(out_.windows.size());
        out_.windows.push_back(
            {{f.x, y_ + ascent - b.ascent, f.x + b.width, y_ + ascent}, b.unit, b.item});
      } else {
        f.link = b.link;
      }
      out_.fragments.push_back(f);
    }
    out_.width = std::max(out_.width, out.inkRight);
    out_.lines.push_back(out);
    y_ += out.height;
  }

  // A table row: cells side by side, each set in its own column; the row is as tall as its
  // tallest cell. Returns the row's right edge.
  std::int32_t tableRow(const text::Paragraph& p, const Style& style, std::int32_t index) {
    std::vector<
        std::pair<std::vector<text::Item>::const_iterator, std::vector<text::Item>::const_iterator>>
        cells;
    auto start = p.items.begin();
    for (auto it = p.items.begin(); it != p.items.end(); ++it) {
      if (it->kind == text::Item::Kind::cell) {
        cells.push_back({start, it + 1});
        start = it + 1;
      }
    }
    cells.push_back({start, p.items.end()});

    // Widths in pixels; missing or zero widths share what is left of the view.
    std::int32_t left = Scale(p.indentLeft, mag());
    std::vector<std::int32_t> widths(cells.size(), 0);
    std::int32_t fixed = 0;
    std::int32_t open = 0;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (c < p.rowWidths.size() && p.rowWidths[c] > 0) {
        widths[c] = std::min(p.rowWidths[c], kMaxLength);
        fixed += widths[c];
      } else {
        ++open;
      }
    }
    if (open > 0) {
      std::int32_t share = std::max(kMinimumCell, (options_.width - left - fixed) / open);
      for (auto& w : widths)
        if (w == 0) w = share;
    }

    std::int32_t top = y_;
    std::int32_t bottom = top;
    std::size_t firstLine = out_.lines.size();
    std::int32_t x = left;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      std::vector<Box> boxes;
      bool last = c + 1 == cells.size();
      makeBoxes(p, style, cells[c].first, cells[c].second, last, boxes);
      Column column;
      column.left = x + kCellPadX;
      column.width = std::max(1, widths[c] - 2 * kCellPadX);
      column.align = p.align;
      column.tabs = &p.tabs;
      column.nowrap = p.nowrap;
      column.paragraph = index;
      y_ = top + kCellPadY;
      setLines(boxes, column);
      bottom = std::max(bottom, y_ + kCellPadY);
      x += widths[c];
    }
    x = left;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      out_.fills.push_back({{x, top, x + widths[c] + 1, bottom + 1}, kCellFrameColour, true});
      x += widths[c];
    }
    for (std::size_t i = firstLine; i < out_.lines.size(); ++i) {
      out_.lines[i].bandTop = top;
      out_.lines[i].bandBottom = bottom;
      out_.lines[i].cell = true;
    }
    out_.width = std::max(out_.width, x + 1);
    y_ = bottom;
    return x + 1;
  }

  Layout& out_;
  const StyleTable& styles_;
  const LayoutOptions& options_;
  const PictureLoader& loadPicture_;
  std::string defaultFace_ = kDefaultFace;
  std::unordered_map<const FontEntry*, std::int16_t> fontIndexes_;
  std::int32_t y_ = 0;
  std::int32_t unit_ = 0;
  std::size_t backgroundCount_ = 0;
  bool lastWasRow_ = false;
};

}  // namespace

std::int32_t Layout::LineOfUnit(std::int32_t unit) const {
  if (lines.empty()) return -1;
  auto it = std::upper_bound(lines.begin(), lines.end(), unit,
                             [](std::int32_t u, const Line& line) { return u < line.unitBegin; });
  if (it == lines.begin()) return 0;
  return static_cast<std::int32_t>(it - lines.begin()) - 1;
}

std::int32_t Layout::FirstLineBelow(std::int32_t y) const {
  auto it = std::partition_point(lines.begin(), lines.end(),
                                 [y](const Line& line) { return line.bandBottom <= y; });
  return static_cast<std::int32_t>(it - lines.begin());
}

Layout LayOut(const std::vector<const text::Paragraph*>& paragraphs, const StyleTable& styles,
              const LayoutOptions& options, const PictureLoader& loadPicture) {
  Layout out;
  LayoutOptions clamped = options;
  clamped.width = std::max(1, options.width);
  clamped.magnifier = std::clamp(options.magnifier, 10, 1000);
  Builder builder(out, styles, clamped, loadPicture);
  std::int32_t index = 0;
  for (const text::Paragraph* p : paragraphs) builder.paragraph(*p, index++);
  builder.finish();
  out.units = builder.unit();
  return out;
}

const FontEntry& SharedFont(const std::string& face, std::int32_t pixelHeight, bool bold,
                            bool italic, bool underline) {
  using Key = std::tuple<std::string, std::int32_t, bool, bool, bool>;
  static std::mutex mutex;
  static std::map<Key, std::unique_ptr<FontEntry>> fonts;
  std::lock_guard lock(mutex);
  auto& slot = fonts[Key{face, pixelHeight, bold, italic, underline}];
  if (!slot) {
    slot = std::make_unique<FontEntry>();
    plat::FontDescription parameters;
    parameters.height = -pixelHeight;
    parameters.weight = bold ? 700 : 400;
    parameters.italic = italic;
    parameters.underline = underline;
    parameters.charset = 204;
    parameters.face = plat::cp1251::FromUtf8(face);
    slot->font = plat::Font::Create(parameters);
    for (int ch = 0; ch < 256; ++ch)
      slot->widths[static_cast<std::size_t>(ch)] =
          static_cast<std::int16_t>(slot->font->CharWidth(static_cast<unsigned char>(ch)));
    slot->ascent = slot->font->Metrics().ascent;
    slot->descent = slot->font->Metrics().descent;
  }
  return *slot;
}

}  // namespace mv::display
