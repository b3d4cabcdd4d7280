// Layout of one region of a topic for a width: paragraphs broken into lines of fragments,
// table rows of fixed-width cells, block and inline pictures, embedded windows. Every content
// unit of the region lands in exactly one fragment, so units map to pixels and back.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mv/mvtext.h"
#include "plat/colour.h"
#include "plat/font.h"
#include "plat/geometry.h"

namespace mv::display {

// A paragraph style of a title; id 0 is the default style.
struct Style {
  std::string face;              // UTF-8; empty = the default face
  double size = 0;               // points; 0 = the default size
  int flags = 0;                 // 1 bold, 2 italic, 4 underline
  std::int32_t colour = -1;      // 0xRRGGBB, -1 none
  std::int32_t background = -1;  // 0xRRGGBB, -1 none
};
using StyleTable = std::vector<Style>;

inline constexpr const char* kDefaultFace = "Arial Cyr";
inline constexpr double kDefaultPoints = 10;

// A font with the widths of all 256 characters at hand.
struct FontEntry {
  std::shared_ptr<const plat::Font> font;
  std::array<std::int16_t, 256> widths{};
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
};

struct Fragment {
  enum class Kind : std::uint8_t {
    text,     // characters of one run
    blank,    // spaces of one run (stretched when justified)
    tab,      // one tab unit, as wide as the gap to its stop
    mark,     // zero-width unit: paragraph end, line break, cell end
    picture,  // one unit; object = picture index
    window,   // one unit; object = window index
  };
  Kind kind = Kind::text;
  std::int32_t x = 0;  // layout coordinates
  std::int32_t width = 0;
  std::int32_t unit = 0;  // first region unit
  std::int32_t units = 0;
  std::int16_t font = -1;  // index into Layout::fonts
  bool ownColour = false;  // the run chose its colour; else the display's text colour applies
  plat::Colour colour = 0;
  std::int32_t link = -1;    // index into Layout::links
  std::int32_t object = -1;  // picture or window index
};

struct Line {
  std::int32_t top = 0;
  std::int32_t height = 0;
  std::int32_t ascent = 0;  // baseline = top + ascent
  std::int32_t left = 0;    // the box the line was set in (a column or a cell)
  std::int32_t right = 0;
  std::int32_t inkRight = 0;  // right edge of the last visible fragment
  // The band of the paragraph line or table row the line belongs to; both never decrease
  // from one line to the next, so painting and hit tests can search them.
  std::int32_t bandTop = 0;
  std::int32_t bandBottom = 0;
  std::int32_t firstFragment = 0;
  std::int32_t fragmentCount = 0;
  std::int32_t unitBegin = 0;  // units [begin, end) set on this line
  std::int32_t unitEnd = 0;
  std::int32_t paragraph = 0;
  bool cell = false;  // set in a table cell: drawing stays inside [left, right)
  std::int32_t Bottom() const { return top + height; }
};

struct PlacedPicture {
  plat::Rect rect;  // layout coordinates
  std::int32_t unit = 0;
  std::int32_t cacheIndex = -1;      // picture of the display's cache, -1 when none was loaded
  const text::Item* item = nullptr;  // name, link, hotspot flag and areas
};

struct PlacedWindow {
  plat::Rect rect;
  std::int32_t unit = 0;
  const text::Item* item = nullptr;  // class, parameter, size
};

struct Fill {
  plat::Rect rect;
  plat::Colour colour = 0;
  bool frame = false;  // a one-pixel outline rather than a filled box
};

struct Layout {
  std::vector<Line> lines;  // in unit order
  std::vector<Fragment> fragments;
  std::vector<const FontEntry*> fonts;
  std::vector<PlacedPicture> pictures;
  std::vector<PlacedWindow> windows;
  std::vector<Fill> fills;               // backgrounds and cell frames, painted first
  std::vector<const text::Link*> links;  // the links fragments refer to
  std::vector<std::int32_t> lineTops;    // distinct line tops, ascending: scroll stops
  std::string text;         // code page 1251, byte i = unit i (pictures and windows are '?')
  std::int32_t width = 0;   // used extent: the widest line or object
  std::int32_t height = 0;  // total height
  std::int32_t units = 0;

  // Index of the line that holds the unit (the last line for units past the end), -1 when
  // there are no lines.
  std::int32_t LineOfUnit(std::int32_t unit) const;
  // Index of the first line whose band reaches below y, lines.size() when none.
  std::int32_t FirstLineBelow(std::int32_t y) const;
};

struct LayoutOptions {
  std::int32_t width = 1;
  std::int32_t magnifier = 100;
};

// Loads a picture on first sight: its index in the display's cache and its size in pixels, or
// -1 when it cannot be loaded (then it takes no room).
using PictureLoader = std::function<std::int32_t(const text::Item& picture, plat::Size& size)>;

// The paragraphs must outlive the layout (fragments point at their links and pictures).
Layout LayOut(const std::vector<const text::Paragraph*>& paragraphs, const StyleTable& styles,
              const LayoutOptions& options, const PictureLoader& loadPicture);

// The link colour of runs without their own colour.
inline constexpr plat::Colour kLinkColour = plat::MakeColour(0x00, 0x33, 0x99);

// Fonts are shared by every display of the process.
const FontEntry& SharedFont(const std::string& face, std::int32_t pixelHeight, bool bold,
                            bool italic, bool underline);

}  // namespace mv::display
