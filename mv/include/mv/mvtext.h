// The content model of a topic ("mvtext"): paragraphs of runs, pictures, embedded windows and
// anchors in a heading (non-scrolling) and a body (scrolling) region. The compiler parses the
// source form; titles store the canonical form, which the runtime parses back. Both count
// content units the same way, and units are what addresses number:
//   every character, tab, line break, cell end, picture and embedded window is one unit, and
//   every paragraph ends with one more; anchors and formatting take none.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv::text {

enum class Align : std::uint8_t { left, center, right, justify };
enum class PictureAlign : std::uint8_t { inlined, left, center, right };

struct Format {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  std::string face;          // empty = the paragraph style's
  double size = 0;           // points; 0 = the style's
  std::int32_t colour = -1;  // 0xRRGGBB; -1 = the style's
  bool operator==(const Format&) const = default;
};

struct Link {
  enum class Kind : std::uint8_t { none, jump, command };
  Kind kind = Kind::none;
  std::string target;      // jump: context string (of an anchor after '@'); command: link text
  std::uint32_t hash = 0;  // jump: filled in by the compiler
  std::int32_t addr = -1;
  bool operator==(const Link&) const = default;
};

struct Area {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::string text;
  bool operator==(const Area&) const = default;
};

struct Item {
  enum class Kind : std::uint8_t { text, picture, window, anchor, tab, lineBreak, cell };
  Kind kind = Kind::text;
  std::string text;       // text: UTF-8 characters; picture: name; window: class; anchor: ctx
  std::string parameter;  // window: parameter
  Format format;          // text
  Link link;              // text and pictures
  PictureAlign pictureAlign = PictureAlign::inlined;
  bool pictureHotspot = false;         // kind 206
  std::vector<Area> areas;             // kind 125 areas of a picture
  std::int32_t width = 0, height = 0;  // window
  bool operator==(const Item&) const = default;
};

struct TabStop {
  std::int32_t position = 0;
  char kind = 'l';  // l, r, c
  bool operator==(const TabStop&) const = default;
};

struct Paragraph {
  std::int32_t style = 0;
  Align align = Align::left;
  std::int32_t indentLeft = 0, indentRight = 0, indentFirst = 0;
  std::int32_t spaceBefore = 0, spaceAfter = 0;
  bool nowrap = false;
  std::int32_t background = -1;
  std::vector<TabStop> tabs;
  std::vector<std::int32_t> rowWidths;  // non-empty: a table row, cells separated by cell items
  std::vector<Item> items;
  bool operator==(const Paragraph&) const = default;
};

struct Content {
  std::vector<Paragraph> heading;
  std::vector<Paragraph> body;
  bool operator==(const Content&) const = default;
};

struct ParseError {
  int line = 0;  // 1-based, relative to the first line given
  std::string message;
};

// Style names of the source form resolve to ids; "#N" always means id N.
using StyleResolver = std::function<std::optional<std::int32_t>(std::string_view name)>;

// Paragraphs of one region: blank lines end paragraphs, lines of a paragraph join with a space.
// `firstLine` numbers the lines in errors.
std::optional<std::vector<Paragraph>> ParseRegion(std::string_view source, const StyleResolver&,
                                                  int firstLine, ParseError* error);

// The canonical form: "heading:" and "body:" sections, one line per paragraph.
std::string WriteCanonical(const Content& content);
std::optional<Content> ParseCanonical(std::string_view canonical, ParseError* error = nullptr);

// Plain text, where character i is unit i: paragraph end and line break '\n', tab and cell end
// '\t', picture and embedded window U+FFFC.
std::string PlainText(const std::vector<Paragraph>& region);
std::int32_t UnitCount(const std::vector<Paragraph>& region);

// Anchors of a region with their unit offsets.
struct AnchorPlace {
  std::string ctx;
  std::int32_t unit = 0;
};
std::vector<AnchorPlace> Anchors(const std::vector<Paragraph>& region);

}  // namespace mv::text
