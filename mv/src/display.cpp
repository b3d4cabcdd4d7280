#include "mv/display.h"

#include <algorithm>
#include <cstring>

#include "database.h"
#include "mv/title.h"
#include "plat/cp1251.h"
#include "plat/paint.h"

namespace mv {
namespace {

// Units of a region as code page 1251 bytes; pictures and windows become '\0'.
std::string RegionText(const std::vector<const text::Paragraph*>& paragraphs) {
  std::string out;
  for (const text::Paragraph* p : paragraphs) {
    for (const text::Item& item : p->items) {
      switch (item.kind) {
        case text::Item::Kind::text: {
          std::int32_t count = 0;
          for (char ch : item.text) count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
          std::string bytes = plat::cp1251::FromUtf8(item.text);
          bytes.resize(static_cast<std::size_t>(count), '?');
          out += bytes;
          break;
        }
        case text::Item::Kind::tab:
        case text::Item::Kind::cell:
          out += '\t';
          break;
        case text::Item::Kind::lineBreak:
          out += '\n';
          break;
        case text::Item::Kind::picture:
        case text::Item::Kind::window:
          out += '\0';
          break;
        case text::Item::Kind::anchor:
          break;
      }
    }
    out += '\n';
  }
  return out;
}

bool IsWordCharacter(char ch) {
  return plat::cp1251::IsAlphaNumeric(static_cast<unsigned char>(ch));
}

std::string CrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char ch : text) {
    if (ch == '\0') continue;
    if (ch == '\n') {
      out += "\r\n";
    } else {
      out += ch;
    }
  }
  return out;
}

void HtmlEscape(std::string& out, std::string_view utf8) {
  for (char ch : utf8) {
    switch (ch) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += ch;
    }
  }
}

void AppendBlockEntry(std::string& block, std::string_view name, std::string_view data) {
  auto put = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) block += static_cast<char>(value >> (8 * i) & 0xFF);
  };
  put(static_cast<std::uint32_t>(name.size()));
  block += name;
  put(static_cast<std::uint32_t>(data.size()));
  block += data;
}

}  // namespace

Display::Display(std::shared_ptr<Title> title, std::uint32_t titleHandle, Region region)
    : title_(std::move(title)), titleHandle_(titleHandle), region_(region) {
  pictures_.setTitle(titleHandle_);
  if (title_) {
    auto s = title_->database().prepare("SELECT id, face, size_pt, flags, colour, bg FROM style");
    while (s.step()) {
      std::int64_t id = s.integer(0);
      if (id < 0 || id > 4096) continue;  // a damaged table must not make us allocate wildly
      if (styles_.size() <= static_cast<std::size_t>(id))
        styles_.resize(static_cast<std::size_t>(id) + 1);
      display::Style& style = styles_[static_cast<std::size_t>(id)];
      style.face = std::string(s.text(1));
      style.size = std::stod("0" + std::string(s.text(2)));
      style.flags = static_cast<int>(s.integer(3));
      style.colour = static_cast<std::int32_t>(s.integer(4));
      style.background = static_cast<std::int32_t>(s.integer(5));
    }
  }
}

Display::~Display() {
  destroyWindows();
  if (highlightsBlock_) GlobalRelease(highlightsBlock_);
}

bool Display::setWindow(plat::Window window) {
  if (!plat::IsWindow(window)) return false;
  if (window != window_) destroyWindows();
  window_ = window;
  if (layout_) syncWindows();
  return true;
}

bool Display::setAddress(Va va, int mode) {
  if (!title_ || (mode != 0 && mode != 1)) return false;
  Addr addr = static_cast<Addr>(ToInt(va));
  TopicNo topic = title_->topicOfAddr(addr);
  if (topic < 0) return false;
  bool sameTopic = topic == topic_;
  dropLayout(sameTopic);
  anchor_ = focus_ = -1;
  if (!sameTopic) {
    topic_ = topic;
    topicBase_ = title_->topicRange(topic).first;
    headingUnits_ = title_->headingUnits(topic);
    content_ = title_->content(topic);
    paragraphs_.clear();
    if (content_) {
      if (region_ != Region::body)
        for (const auto& p : content_->heading) paragraphs_.push_back(&p);
      if (region_ != Region::heading)
        for (const auto& p : content_->body) paragraphs_.push_back(&p);
    }
    regionBase_ = region_ == Region::body ? headingUnits_ : 0;
    regionText_ = RegionText(paragraphs_);
    computeHitRanges();
  }
  pendingPixels_ = 0;
  std::int32_t unit = mode == 0 ? unitOfVa(va) : -1;
  pendingUnit_ = unit >= 0 ? unit : 0;
  return true;
}

bool Display::setPlace(Va va, std::int32_t pixelsAbove) {
  if (!setAddress(va, 0)) return false;
  pendingPixels_ = std::max(0, pixelsAbove);
  return true;
}

void Display::dropLayout(bool keepPictures) {
  layout_.reset();
  destroyWindows();
  if (!keepPictures) pictures_.clear();
}

void Display::destroyWindows() {
  for (plat::Window w : windows_) {
    if (plat::IsWindow(w)) plat::DestroyWindow(w);
  }
  windows_.clear();
}

bool Display::realize(const plat::Rect& rect) {
  if (topic_ < 0) return false;
  // A layout at another width or magnifier keeps the reader's place.
  if (layout_ && !pendingUnit_) {
    std::int32_t pixels = 0;
    std::int32_t unit = unitOfVa(address(&pixels));
    if (unit >= 0) {
      pendingUnit_ = unit;
      pendingPixels_ = pixels;
    }
  }
  pictures_.beginLayout();
  display::LayoutOptions options;
  options.width = std::max(1, rect.Width());
  options.magnifier = magnifier_;
  layout_ = display::LayOut(
      paragraphs_, styles_, options,
      [this](const text::Item& item, plat::Size& size) { return pictures_.load(item.text, size); });
  rect_ = rect;
  scrollX_ = clampX(scrollX_);
  scrollY_ = 0;
  if (pendingUnit_) {
    scrollToUnit(*pendingUnit_, pendingPixels_);
    pendingUnit_.reset();
    pendingPixels_ = 0;
  }
  syncWindows();
  return true;
}

void Display::unrealize() {
  if (layout_ && !pendingUnit_) {
    std::int32_t pixels = 0;
    std::int32_t unit = unitOfVa(address(&pixels));
    if (unit >= 0) {
      pendingUnit_ = unit;
      pendingPixels_ = pixels;
    }
  }
  dropLayout(false);
}

plat::Size Display::contentSize() const {
  if (!layout_ || layout_->units == 0) return {};
  return {layout_->width, layout_->height};
}

plat::Size Display::scrollSizes() const {
  if (!layout_) return {};
  return {maxScrollX(), maxScrollY()};
}

std::int32_t Display::maxScrollY() const {
  return layout_ ? std::max(0, layout_->height - rect_.Height()) : 0;
}
std::int32_t Display::maxScrollX() const {
  return layout_ ? std::max(0, layout_->width - rect_.Width()) : 0;
}
std::int32_t Display::clampY(std::int32_t y) const {
  return std::clamp(y, 0, maxScrollY());
}
std::int32_t Display::clampX(std::int32_t x) const {
  return std::clamp(x, 0, maxScrollX());
}

std::int32_t Display::scrollY(int code, std::int32_t position) {
  if (!layout_) return 0;
  const auto& tops = layout_->lineTops;
  std::int32_t y = scrollY_;
  std::int32_t view = std::max(1, rect_.Height());
  // The line at the top of the view: its height is one "line" for paging.
  std::int32_t topLine = layout_->FirstLineBelow(scrollY_);
  std::int32_t lineHeight = topLine < static_cast<std::int32_t>(layout_->lines.size())
                                ? layout_->lines[static_cast<std::size_t>(topLine)].height
                                : 16;
  switch (code) {
    case scroll_code::kLineUp: {
      auto it = std::lower_bound(tops.begin(), tops.end(), scrollY_);
      y = it == tops.begin() ? 0 : *(it - 1);
      break;
    }
    case scroll_code::kLineDown: {
      auto it = std::upper_bound(tops.begin(), tops.end(), scrollY_);
      y = it == tops.end() ? maxScrollY() : *it;
      break;
    }
    case scroll_code::kPageUp:
    case scroll_code::kPageDown: {
      std::int32_t step = std::max(1, view - lineHeight);
      if (code == scroll_code::kPageDown && hidePartial_) {
        // The first line that did not fit whole comes to the top.
        std::int32_t bottom = scrollY_ + view;
        y = bottom;
        for (std::size_t i = static_cast<std::size_t>(topLine); i < layout_->lines.size(); ++i) {
          if (layout_->lines[i].Bottom() > bottom) {
            y = layout_->lines[i].top;
            break;
          }
        }
        if (y <= scrollY_) y = scrollY_ + step;
      } else {
        y = code == scroll_code::kPageDown ? scrollY_ + step : scrollY_ - step;
        if (hidePartial_) {
          auto it = std::upper_bound(tops.begin(), tops.end(), y);
          if (it != tops.begin()) y = *(it - 1);
        }
      }
      break;
    }
    case scroll_code::kPosition:
    case scroll_code::kTrack:
      y = position;
      break;
    case scroll_code::kTop:
      y = 0;
      break;
    case scroll_code::kBottom:
      y = maxScrollY();
      break;
    default:
      break;
  }
  scrollY_ = clampY(y);
  syncWindows();
  return scrollY_;
}

std::int32_t Display::scrollX(int code, std::int32_t position) {
  if (!layout_) return 0;
  constexpr std::int32_t kStep = 16;
  std::int32_t view = std::max(1, rect_.Width());
  std::int32_t x = scrollX_;
  switch (code) {
    case scroll_code::kLineUp:
      x -= kStep;
      break;
    case scroll_code::kLineDown:
      x += kStep;
      break;
    case scroll_code::kPageUp:
      x -= std::max(kStep, view - kStep);
      break;
    case scroll_code::kPageDown:
      x += std::max(kStep, view - kStep);
      break;
    case scroll_code::kPosition:
    case scroll_code::kTrack:
      x = position;
      break;
    case scroll_code::kTop:
      x = 0;
      break;
    case scroll_code::kBottom:
      x = maxScrollX();
      break;
    default:
      break;
  }
  scrollX_ = clampX(x);
  syncWindows();
  return scrollX_;
}

void Display::scrollToUnit(std::int32_t unit, std::int32_t pixels) {
  if (!layout_) return;
  std::int32_t index = layout_->LineOfUnit(unit);
  if (index < 0) {
    scrollY_ = 0;
    return;
  }
  const display::Line& line = layout_->lines[static_cast<std::size_t>(index)];
  // The place stays on its line even when the line became shorter.
  std::int32_t extra = std::clamp(pixels, 0, std::max(0, line.height - 1));
  scrollY_ = clampY(line.bandTop + extra);
}

bool Display::scrollToAddress(Va va) {
  std::int32_t unit = unitOfVa(va);
  if (unit < 0) return false;
  if (!layout_) {
    pendingUnit_ = unit;
    pendingPixels_ = 0;
    return true;
  }
  scrollToUnit(unit, 0);
  syncWindows();
  return true;
}

bool Display::allowSelection(bool allow) {
  bool previous = allowSelection_;
  allowSelection_ = allow;
  return previous;
}

plat::Window Display::embeddedWindow(plat::Window previous) const {
  bool take = !previous;
  for (plat::Window w : windows_) {
    if (!w) continue;
    if (take) return w;
    if (w == previous) take = true;
  }
  return {};
}

bool Display::setMagnifier(std::int32_t percent) {
  if (percent < 25 || percent > 400) return false;
  magnifier_ = percent;
  return true;
}

Va Display::address(std::int32_t* pixelsAbove) const {
  if (pixelsAbove) *pixelsAbove = 0;
  if (topic_ < 0) return Va::none;
  if (!layout_ || layout_->lines.empty()) {
    if (pendingUnit_) {
      if (pixelsAbove) *pixelsAbove = pendingPixels_;
      return vaOfUnit(*pendingUnit_);
    }
    return vaOfUnit(0);
  }
  std::int32_t index = layout_->FirstLineBelow(scrollY_);
  index = std::min(index, static_cast<std::int32_t>(layout_->lines.size()) - 1);
  const display::Line& line = layout_->lines[static_cast<std::size_t>(index)];
  if (pixelsAbove) *pixelsAbove = std::max(0, scrollY_ - line.bandTop);
  return vaOfUnit(line.unitBegin);
}

std::optional<std::string> Display::data() const {
  if (!title_ || topic_ < 0) return std::nullopt;
  auto record = title_->topic(topic_);
  if (!record || !record->data) return std::nullopt;
  return plat::cp1251::FromUtf8(*record->data);
}

std::optional<std::string> Display::name() const {
  if (!title_ || topic_ < 0) return std::nullopt;
  std::string text;
  if (title_->info(info::topicTitle, topic_, &text) < 0) return std::nullopt;
  return text;
}

Va Display::nextTopic() const {
  if (!title_ || topic_ < 0) return Va::none;
  auto record = title_->topic(topic_);
  return record ? title_->vaFromTopic(record->next) : Va::none;
}

Va Display::previousTopic() const {
  if (!title_ || topic_ < 0) return Va::none;
  auto record = title_->topic(topic_);
  return record ? title_->vaFromTopic(record->previous) : Va::none;
}

bool Display::hasScrollingRegion() const {
  return topic_ >= 0 && content_ && !content_->body.empty();
}

std::int32_t Display::unitOfVa(Va va) const {
  if (topic_ < 0 || va == Va::none) return -1;
  std::int64_t unit = static_cast<std::int64_t>(ToInt(va)) - ToInt(topicBase_) - regionBase_;
  if (unit < 0 || unit >= static_cast<std::int64_t>(regionText_.size())) return -1;
  return static_cast<std::int32_t>(unit);
}

Va Display::vaOfUnit(std::int32_t unit) const {
  if (topic_ < 0) return Va::none;
  return static_cast<Va>(ToInt(topicBase_) + regionBase_ + unit);
}

plat::Point Display::toLayout(plat::Point client) const {
  return {client.x - rect_.left + scrollX_, client.y - rect_.top + scrollY_};
}

std::int32_t Display::lineAt(plat::Point at) const {
  if (!layout_) return -1;
  const auto& lines = layout_->lines;
  std::int32_t best = -1;
  std::int32_t bestDistance = INT32_MAX;
  for (auto i = static_cast<std::size_t>(layout_->FirstLineBelow(at.y)); i < lines.size(); ++i) {
    const display::Line& line = lines[i];
    if (line.bandTop > at.y) break;
    if (at.y < line.top || at.y >= line.Bottom()) continue;
    // Cells of a row sit side by side: the nearest one horizontally.
    std::int32_t distance = at.x < line.left     ? line.left - at.x
                            : at.x >= line.right ? at.x - line.right + 1
                                                 : 0;
    if (distance < bestDistance) {
      best = static_cast<std::int32_t>(i);
      bestDistance = distance;
    }
  }
  return best;
}

// The character boundary nearest to the point, in region units.
std::int32_t Display::boundaryAt(plat::Point client) const {
  if (!layout_ || layout_->lines.empty()) return 0;
  plat::Point at = toLayout(client);
  const auto& lines = layout_->lines;
  if (at.y < lines.front().bandTop) return 0;
  if (at.y >= layout_->height) return layout_->units;
  std::int32_t index = lineAt(at);
  if (index < 0) {
    // Between lines (cell padding, paragraph spacing): the next line's start.
    std::int32_t next = layout_->FirstLineBelow(at.y);
    if (next >= static_cast<std::int32_t>(lines.size())) return layout_->units;
    return lines[static_cast<std::size_t>(next)].unitBegin;
  }
  const display::Line& line = lines[static_cast<std::size_t>(index)];
  for (std::int32_t k = 0; k < line.fragmentCount; ++k) {
    const display::Fragment& f =
        layout_->fragments[static_cast<std::size_t>(line.firstFragment + k)];
    if (f.kind == display::Fragment::Kind::mark) return f.unit;
    if (at.x >= f.x + f.width) continue;
    if (at.x < f.x) return f.unit;
    if (f.kind == display::Fragment::Kind::text) {
      const display::FontEntry& font = *layout_->fonts[static_cast<std::size_t>(f.font)];
      std::int32_t x = f.x;
      for (std::int32_t u = 0; u < f.units; ++u) {
        std::int32_t w = font.widths[static_cast<unsigned char>(
            layout_->text[static_cast<std::size_t>(f.unit + u)])];
        if (at.x < x + w / 2) return f.unit + u;
        x += w;
      }
      return f.unit + f.units;
    }
    if (f.kind == display::Fragment::Kind::blank) {
      // Blanks may be stretched: the nearest boundary by proportion.
      std::int32_t width = std::max(1, f.width);
      std::int32_t u = ((at.x - f.x) * f.units * 2 + width) / (2 * width);
      return f.unit + std::clamp(u, 0, f.units);
    }
    return at.x < f.x + f.width / 2 ? f.unit : f.unit + f.units;
  }
  return line.unitEnd;
}

std::int32_t Display::ordinalBase(text::Item::Kind kind) const {
  // Elements of the heading come before the body's when a display shows the body only.
  if (region_ != Region::body || !content_) return 0;
  if (kind == text::Item::Kind::text) return static_cast<std::int32_t>(content_->heading.size());
  std::int32_t n = 0;
  for (const auto& p : content_->heading)
    for (const auto& item : p.items) n += item.kind == kind;
  return n;
}

bool Display::pointInfo(plat::Point point, HotspotRecord* hotspot, char* text,
                        PointRecord* where) const {
  PointRecord record;
  record.x = point.x;
  record.y = point.y;
  HotspotRecord hot;
  std::string hotText;
  bool found = false;
  if (layout_) {
    plat::Point at = toLayout(point);
    plat::Point shift{rect_.left - scrollX_, rect_.top - scrollY_};
    auto regionOf = [&](std::int32_t unit) { return regionBase_ + unit < headingUnits_ ? 1 : 2; };
    auto toClient = [&](const plat::Rect& r) { return r.Offset(shift.x, shift.y); };
    for (std::size_t i = 0; i < layout_->windows.size() && !record.element; ++i) {
      const display::PlacedWindow& w = layout_->windows[i];
      if (!w.rect.Contains(at)) continue;
      record.element = 3;
      record.addr = ToInt(vaOfUnit(w.unit));
      record.region = regionOf(w.unit);
      record.index = ordinalBase(text::Item::Kind::window) + static_cast<std::int32_t>(i);
    }
    for (std::size_t i = 0; i < layout_->pictures.size() && !record.element; ++i) {
      const display::PlacedPicture& p = layout_->pictures[i];
      if (!p.rect.Contains(at)) continue;
      record.element = 2;
      record.addr = ToInt(vaOfUnit(p.unit));
      record.region = regionOf(p.unit);
      record.index = ordinalBase(text::Item::Kind::picture) + static_cast<std::int32_t>(i);
      const text::Item& item = *p.item;
      hot.element = 2;
      plat::Point inside{at.x - p.rect.left, at.y - p.rect.top};
      for (const text::Area& area : item.areas) {
        plat::Rect box{area.left, area.top, area.right, area.bottom};
        if (!box.Contains(inside)) continue;
        found = true;
        hot.kind = 125;
        plat::Rect r = toClient(box.Offset(p.rect.left, p.rect.top));
        hot.left = r.left, hot.top = r.top, hot.right = r.right, hot.bottom = r.bottom;
        hotText = plat::cp1251::FromUtf8(area.text);
        break;
      }
      if (!found && (item.link.kind != text::Link::Kind::none || item.pictureHotspot)) {
        found = true;
        plat::Rect r = toClient(p.rect);
        hot.left = r.left, hot.top = r.top, hot.right = r.right, hot.bottom = r.bottom;
        if (item.link.kind == text::Link::Kind::jump) {
          hot.kind = 1;
          hot.hash = static_cast<std::int32_t>(item.link.hash);
          hot.addr = item.link.addr;
          hotText = plat::cp1251::FromUtf8(item.link.target);
        } else if (item.link.kind == text::Link::Kind::command) {
          hot.kind = 0;
          hotText = plat::cp1251::FromUtf8(item.link.target);
        } else {
          hot.kind = 206;
          hotText = plat::cp1251::FromUtf8(item.text);
        }
      }
    }
    if (!record.element) {
      std::int32_t index = lineAt(at);
      if (index >= 0) {
        const display::Line& line = layout_->lines[static_cast<std::size_t>(index)];
        const display::Fragment* first =
            &layout_->fragments[static_cast<std::size_t>(line.firstFragment)];
        const display::Fragment* end = first + line.fragmentCount;
        for (const display::Fragment* f = first; f != end; ++f) {
          if (f->kind == display::Fragment::Kind::mark || at.x < f->x || at.x >= f->x + f->width)
            continue;
          record.element = 1;
          record.region = regionOf(f->unit);
          record.index = ordinalBase(text::Item::Kind::text) + line.paragraph;
          std::int32_t unit = f->unit;
          if (f->kind == display::Fragment::Kind::text) {
            const display::FontEntry& font = *layout_->fonts[static_cast<std::size_t>(f->font)];
            std::int32_t x = f->x;
            for (std::int32_t u = 0; u < f->units; ++u) {
              x += font.widths[static_cast<unsigned char>(
                  layout_->text[static_cast<std::size_t>(f->unit + u)])];
              if (at.x < x) {
                unit = f->unit + u;
                break;
              }
            }
          }
          record.addr = ToInt(vaOfUnit(unit));
          if (f->link >= 0) {
            const text::Link& link = *layout_->links[static_cast<std::size_t>(f->link)];
            // The hotspot's part on this line: neighbours that carry the same link.
            const display::Fragment* a = f;
            const display::Fragment* b = f;
            auto same = [&](const display::Fragment* g) {
              return g->link >= 0 && *layout_->links[static_cast<std::size_t>(g->link)] == link;
            };
            while (a > first && same(a - 1)) --a;
            while (b + 1 < end && same(b + 1)) ++b;
            plat::Rect box{a->x, line.top, b->x + b->width, line.Bottom()};
            plat::Rect r = toClient(box);
            found = true;
            hot.element = 1;
            hot.left = r.left, hot.top = r.top, hot.right = r.right, hot.bottom = r.bottom;
            hot.kind = link.kind == text::Link::Kind::jump ? 1 : 0;
            if (hot.kind == 1) {
              hot.hash = static_cast<std::int32_t>(link.hash);
              hot.addr = link.addr;
            }
            hotText = plat::cp1251::FromUtf8(link.target);
          }
          break;
        }
      }
    }
  }
  if (where) *where = record;
  if (!found) return false;
  if (hotText.size() > 255) hotText.resize(255);
  if (text) {
    std::memcpy(text, hotText.data(), hotText.size());
    text[hotText.size()] = '\0';
    hot.textLength = static_cast<std::int32_t>(hotText.size());
  }
  if (hotspot) *hotspot = hot;
  return true;
}

std::int32_t Display::selectionBegin() const {
  return anchor_ < 0 ? 0 : std::min(anchor_, focus_);
}
std::int32_t Display::selectionEnd() const {
  return anchor_ < 0 ? 0 : std::max(anchor_, focus_);
}

void Display::selectPoint(plat::Point point, int mode) {
  if (topic_ < 0) return;
  std::int32_t oldBegin = selectionBegin();
  std::int32_t oldEnd = selectionEnd();
  auto units = static_cast<std::int32_t>(regionText_.size());
  switch (mode) {
    case select_mode::kAnchor:
      if (!allowSelection_ || !layout_) return;
      anchor_ = focus_ = boundaryAt(point);
      break;
    case select_mode::kExtend:
      if (!allowSelection_ || !layout_) return;
      if (anchor_ < 0) anchor_ = boundaryAt(point);
      focus_ = boundaryAt(point);
      break;
    case select_mode::kWord: {
      if (!allowSelection_ || !layout_) return;
      PointRecord where;
      pointInfo(point, nullptr, nullptr, &where);
      std::int32_t unit = where.element == 1 ? unitOfVa(static_cast<Va>(where.addr)) : -1;
      if (unit < 0 || !IsWordCharacter(regionText_[static_cast<std::size_t>(unit)])) {
        anchor_ = focus_ = -1;
        break;
      }
      std::int32_t begin = unit;
      std::int32_t end = unit + 1;
      while (begin > 0 && IsWordCharacter(regionText_[static_cast<std::size_t>(begin - 1)]))
        --begin;
      while (end < units && IsWordCharacter(regionText_[static_cast<std::size_t>(end)])) ++end;
      anchor_ = begin;
      focus_ = end;
      break;
    }
    case select_mode::kAll:
      anchor_ = 0;
      focus_ = units;
      break;
    case select_mode::kClear:
      anchor_ = focus_ = -1;
      break;
    default:
      return;
  }
  // Repaint what changed: the old and the new selection.
  std::int32_t newBegin = selectionBegin();
  std::int32_t newEnd = selectionEnd();
  if (oldBegin != newBegin || oldEnd != newEnd) {
    if (oldBegin < oldEnd) invalidate(oldBegin, oldEnd);
    if (newBegin < newEnd) invalidate(newBegin, newEnd);
  }
}

bool Display::clearSelection() {
  bool had = isSelected();
  std::int32_t begin = selectionBegin();
  std::int32_t end = selectionEnd();
  anchor_ = focus_ = -1;
  if (had) invalidate(begin, end);
  return had;
}

void Display::invalidate(std::int32_t fromUnit, std::int32_t toUnit) {
  if (!layout_ || !plat::IsWindow(window_) || layout_->lines.empty()) return;
  const auto& first = layout_->lines[static_cast<std::size_t>(layout_->LineOfUnit(fromUnit))];
  const auto& last =
      layout_->lines[static_cast<std::size_t>(layout_->LineOfUnit(std::max(fromUnit, toUnit - 1)))];
  plat::Rect area{rect_.left, rect_.top + first.bandTop - scrollY_, rect_.right,
                  rect_.top + last.bandBottom - scrollY_};
  area = area.Intersect(rect_);
  if (!area.IsEmpty()) plat::Invalidate(window_, &area, false);
}

std::string Display::unitsAsText(std::int32_t begin, std::int32_t end) const {
  begin = std::clamp(begin, 0, static_cast<std::int32_t>(regionText_.size()));
  end = std::clamp(end, begin, static_cast<std::int32_t>(regionText_.size()));
  return CrLf(std::string_view(regionText_)
                  .substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)));
}

std::optional<std::string> Display::copySelection() const {
  if (!isSelected()) return std::nullopt;
  return unitsAsText(selectionBegin(), selectionEnd());
}

std::optional<std::string> Display::copyAdvanced() const {
  auto plain = copySelection();
  if (!plain) return std::nullopt;
  using namespace plat::cp1251::literals;
  std::string text = *plain;
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
  text += "Источник: "_cp;
  text += name().value_or("");
  text += "\r\n";

  // The selected part of the runs as HTML (UTF-8).
  std::string html = "<html><body>\n<p>";
  std::int32_t begin = selectionBegin();
  std::int32_t end = selectionEnd();
  std::int32_t unit = 0;
  for (const text::Paragraph* p : paragraphs_) {
    for (const text::Item& item : p->items) {
      std::int32_t length = 0;
      if (item.kind == text::Item::Kind::text) {
        for (char ch : item.text) length += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
      } else if (item.kind != text::Item::Kind::anchor) {
        length = 1;
      }
      std::int32_t from = std::max(begin, unit);
      std::int32_t to = std::min(end, unit + length);
      if (from < to) {
        if (item.kind == text::Item::Kind::text) {
          // Characters [from, to) of the run, found by counting code points.
          std::size_t a = 0;
          std::int32_t seen = 0;
          while (a < item.text.size() && seen < from - unit) {
            ++a;
            while (a < item.text.size() &&
                   (static_cast<unsigned char>(item.text[a]) & 0xC0) == 0x80)
              ++a;
            ++seen;
          }
          std::size_t b = a;
          while (b < item.text.size() && seen < to - unit) {
            ++b;
            while (b < item.text.size() &&
                   (static_cast<unsigned char>(item.text[b]) & 0xC0) == 0x80)
              ++b;
            ++seen;
          }
          std::string open, close;
          if (item.link.kind != text::Link::Kind::none) {
            open += "<a href=\"";
            HtmlEscape(open, item.link.target);
            open += "\">";
            close = "</a>" + close;
          }
          if (item.format.bold) open += "<b>", close = "</b>" + close;
          if (item.format.italic) open += "<i>", close = "</i>" + close;
          if (item.format.underline) open += "<u>", close = "</u>" + close;
          html += open;
          HtmlEscape(html, std::string_view(item.text).substr(a, b - a));
          html += close;
        } else if (item.kind == text::Item::Kind::tab || item.kind == text::Item::Kind::cell) {
          html += "&#9;";
        } else if (item.kind == text::Item::Kind::lineBreak) {
          html += "<br>";
        }
      }
      unit += length;
    }
    if (begin <= unit && unit < end) html += "</p>\n<p>";
    unit += 1;
  }
  html += "</p>\n</body></html>\n";

  std::string block = "MVCA";
  block += std::string("\x02\0\0\0", 4);
  AppendBlockEntry(block, "TEXT", text);
  AppendBlockEntry(block, "HTML", html);
  return block;
}

std::optional<std::string> Display::copyMedia() const {
  if (!title_ || topic_ < 0) return std::nullopt;
  auto record = title_->topic(topic_);
  if (record && record->media) {
    return record->mediaIsText ? plat::cp1251::FromUtf8(*record->media) : *record->media;
  }
  if (!content_) return std::nullopt;
  std::vector<const text::Paragraph*> all;
  for (const auto& p : content_->heading) all.push_back(&p);
  for (const auto& p : content_->body) all.push_back(&p);
  if (all.empty()) return std::nullopt;
  return CrLf(RegionText(all));
}

GlobalHandle Display::setHighlights(GlobalHandle block) {
  if (highlightsBlock_) GlobalRelease(highlightsBlock_);
  // A copy of the caller's block: a query's hits are worked out per topic, only when shown.
  highlightsBlock_ = Highlights::CopyBlock(block);
  computeHitRanges();
  if (layout_ && plat::IsWindow(window_)) plat::Invalidate(window_, &rect_, false);
  return highlightsBlock_;
}

void Display::computeHitRanges() {
  hitRanges_.clear();
  if (!highlightsBlock_ || !title_ || topic_ < 0) return;
  auto highlights = Highlights::FromBlockInTopic(highlightsBlock_, topic_);
  if (!highlights || highlights->titleId != title_->id()) return;
  auto units = static_cast<std::int32_t>(regionText_.size());
  for (const Highlights::Hit& hit : highlights->hits) {
    if (hit.topic != topic_) continue;
    std::int32_t begin = ToInt(hit.addr) - ToInt(topicBase_) - regionBase_;
    std::int32_t end = begin + std::max(1, hit.length);
    if (end <= 0 || begin >= units) continue;
    hitRanges_.push_back({std::max(0, begin), std::min(units, end)});
  }
  std::sort(hitRanges_.begin(), hitRanges_.end(),
            [](const Range& a, const Range& b) { return a.begin < b.begin; });
}

bool Display::scrollToHighlight(std::int32_t index) {
  if (index < 0 || index >= static_cast<std::int32_t>(hitRanges_.size())) return false;
  std::int32_t unit = hitRanges_[static_cast<std::size_t>(index)].begin;
  if (!layout_) {
    pendingUnit_ = unit;
    pendingPixels_ = 0;
    return true;
  }
  scrollToUnit(unit, 0);
  syncWindows();
  return true;
}

void Display::syncWindows() {
  if (!plat::IsWindow(window_)) return;
  if (!layout_) return;
  windows_.resize(layout_->windows.size());
  for (std::size_t i = 0; i < layout_->windows.size(); ++i) {
    const display::PlacedWindow& placed = layout_->windows[i];
    plat::Rect frame = placed.rect.Offset(rect_.left - scrollX_, rect_.top - scrollY_);
    bool visible = !frame.Intersect(rect_).IsEmpty();
    plat::Window& w = windows_[i];
    if (!plat::IsWindow(w)) {
      w = CreateEmbeddedWindow(window_, plat::cp1251::FromUtf8(placed.item->text),
                               plat::cp1251::FromUtf8(placed.item->parameter), frame);
      if (!w) continue;
    } else if (plat::WindowRect(w) != plat::MapRect(window_, {}, frame)) {
      plat::MoveWindow(w, frame, true);
    }
    if (((plat::StyleOf(w) & plat::window_style::kVisible) != 0) != visible) {
      plat::ShowWindow(w, visible ? plat::ShowMode::ShowNoActivate : plat::ShowMode::Hide);
    }
  }
}

}  // namespace mv
