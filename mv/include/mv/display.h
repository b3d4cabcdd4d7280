// A display: one region of one topic laid out for a rectangle of a window, painted on request,
// scrolled in pixels, hit-tested, selected and copied, with search hits highlighted.
// Coordinates are client coordinates of the bound window; the layout's origin sits at the
// rectangle's top-left corner less the scroll position.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mv/display_layout.h"
#include "mv/display_objects.h"
#include "mv/global_memory.h"
#include "mv/highlights.h"
#include "mv/mvtext.h"
#include "mv/types.h"
#include "plat/canvas.h"
#include "plat/geometry.h"
#include "plat/window.h"

namespace mv {

class Title;

// What lies under a point when it is a hotspot (40 bytes).
struct HotspotRecord {
  std::int32_t kind = 0;   // 0 command, 1 jump, 125 picture area, 206 picture
  std::int32_t hash = 0;   // jump target's hash
  std::int32_t addr = -1;  // jump target's address
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;  // client coordinates
  std::int32_t textLength = 0;                            // bytes copied into the caller's buffer
  std::int32_t element = 0;                               // 1 text, 2 picture, 3 embedded window
  std::int32_t reserved = 0;
};
static_assert(sizeof(HotspotRecord) == 40);

// What lies under a point (28 bytes).
struct PointRecord {
  std::int32_t x = 0, y = 0;
  std::int32_t element = 0;  // 0 nothing, 1 text, 2 picture, 3 embedded window
  std::int32_t addr = -1;    // the unit under the point
  std::int32_t region = 0;   // 1 heading, 2 body
  std::int32_t index = 0;    // text: paragraph; pictures and windows: their ordinal; in the topic
  std::int32_t reserved = 0;
};
static_assert(sizeof(PointRecord) == 28);

namespace scroll_code {
inline constexpr int kLineUp = 0, kLineDown = 1, kPageUp = 2, kPageDown = 3, kPosition = 4,
                     kTrack = 5, kTop = 6, kBottom = 7;
}
namespace select_mode {
inline constexpr int kAnchor = 0, kExtend = 1, kWord = 2, kAll = 3, kClear = 4;
}

inline constexpr plat::Colour kHighlightColour = plat::MakeColour(0x1A, 0x5F, 0xB4);

class Display {
 public:
  // `titleHandle` is what picture procedures get to read baggage with.
  Display(std::shared_ptr<Title> title, std::uint32_t titleHandle, Region region);
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  Region region() const { return region_; }

  bool setWindow(plat::Window window);
  plat::Window window() const { return window_; }

  // Mode 0 puts the address's line at the top at the next layout, mode 1 shows the topic from
  // its start. False for an address outside the title.
  bool setAddress(Va va, int mode);
  // Mode 0 with the top line scrolled `pixelsAbove` further (a place MVGetAddress gave).
  bool setPlace(Va va, std::int32_t pixelsAbove);
  bool hasTopic() const { return topic_ >= 0; }

  bool realize(const plat::Rect& rect);
  void unrealize();
  bool realized() const { return layout_.has_value(); }
  const plat::Rect& rect() const { return rect_; }
  const display::Layout* layout() const { return layout_ ? &*layout_ : nullptr; }

  plat::Size contentSize() const;
  plat::Size scrollSizes() const;
  bool paint(plat::Canvas& canvas, const plat::Rect& update);

  std::int32_t scrollY(int code, std::int32_t position);
  std::int32_t scrollX(int code, std::int32_t position);
  std::int32_t scrollPositionY() const { return scrollY_; }
  std::int32_t scrollPositionX() const { return scrollX_; }
  bool scrollToAddress(Va va);
  void hidePartialLines(bool hide) { hidePartial_ = hide; }

  void setBackColour(plat::Colour colour) { backColour_ = colour; }
  void setTextColour(plat::Colour colour) { textColour_ = colour; }
  // Returns the previous setting.
  bool allowSelection(bool allow);

  // Embedded windows in content order: the first after `previous` (a null window: the first).
  plat::Window embeddedWindow(plat::Window previous) const;

  std::int32_t magnifier() const { return magnifier_; }
  bool setMagnifier(std::int32_t percent);

  // Address of the unit that starts the top line, and the pixels of that line scrolled out.
  Va address(std::int32_t* pixelsAbove) const;
  // Texts in code page 1251.
  std::optional<std::string> data() const;
  std::optional<std::string> name() const;
  TopicNo topicNumber() const { return topic_; }
  Va nextTopic() const;
  Va previousTopic() const;
  bool hasScrollingRegion() const;

  // `text` receives up to 255 bytes and a terminating zero (256 bytes).
  bool pointInfo(plat::Point point, HotspotRecord* hotspot, char* text, PointRecord* where) const;

  void selectPoint(plat::Point point, int mode);
  bool isSelected() const { return selectionBegin() < selectionEnd(); }
  bool clearSelection();
  // The selection as code page 1251 text: paragraph ends and line breaks as CR LF, tabs kept,
  // pictures and windows left out; nullopt without a selection.
  std::optional<std::string> copySelection() const;
  // A block of named formats: "TEXT" (the selection and a source line) and "HTML".
  std::optional<std::string> copyAdvanced() const;
  // The topic's media bytes; else its heading and body as text; nullopt for an empty topic.
  std::optional<std::string> copyMedia() const;

  // Keeps its own copy; null clears. The display's block, or null.
  GlobalHandle setHighlights(GlobalHandle block);
  GlobalHandle highlightsBlock() const { return highlightsBlock_; }
  // Hits of this topic and region in address order.
  std::int32_t highlightCount() const { return static_cast<std::int32_t>(hitRanges_.size()); }
  bool scrollToHighlight(std::int32_t index);

 private:
  struct Range {
    std::int32_t begin = 0;  // region units
    std::int32_t end = 0;
  };

  void dropLayout(bool keepPictures);
  void destroyWindows();
  void syncWindows();
  void invalidate(std::int32_t fromUnit, std::int32_t toUnit);
  void computeHitRanges();
  // Layout coordinates of a client point.
  plat::Point toLayout(plat::Point client) const;
  std::int32_t unitOfVa(Va va) const;  // region unit, -1 outside the region
  Va vaOfUnit(std::int32_t unit) const;
  std::int32_t boundaryAt(plat::Point client) const;
  // Index of the line under a layout point, -1 when none.
  std::int32_t lineAt(plat::Point at) const;
  std::int32_t clampY(std::int32_t y) const;
  std::int32_t clampX(std::int32_t x) const;
  std::int32_t maxScrollY() const;
  std::int32_t maxScrollX() const;
  void scrollToUnit(std::int32_t unit, std::int32_t pixels);
  std::int32_t selectionBegin() const;
  std::int32_t selectionEnd() const;
  std::int32_t ordinalBase(text::Item::Kind kind) const;
  void paintLine(plat::Canvas& canvas, const display::Line& line, plat::Point origin) const;
  std::string unitsAsText(std::int32_t begin, std::int32_t end) const;

  std::shared_ptr<Title> title_;
  std::uint32_t titleHandle_ = 0;
  Region region_;
  plat::Window window_;
  display::StyleTable styles_;

  TopicNo topic_ = -1;
  Addr topicBase_ = Addr::none;
  std::int32_t regionBase_ = 0;    // topic unit of the region's first unit
  std::int32_t headingUnits_ = 0;  // of the topic
  std::optional<text::Content> content_;
  std::vector<const text::Paragraph*> paragraphs_;
  std::string regionText_;  // code page 1251, byte i = unit i, objects are '\0'

  std::optional<display::Layout> layout_;
  plat::Rect rect_;
  std::int32_t scrollX_ = 0;
  std::int32_t scrollY_ = 0;
  std::optional<std::int32_t> pendingUnit_;
  std::int32_t pendingPixels_ = 0;

  std::int32_t magnifier_ = 100;
  bool hidePartial_ = false;
  plat::Colour backColour_ = 0xFFFFFF;
  plat::Colour textColour_ = 0;
  bool allowSelection_ = true;
  std::int32_t anchor_ = -1;  // selection boundaries in region units
  std::int32_t focus_ = -1;

  GlobalHandle highlightsBlock_ = nullptr;
  std::vector<Range> hitRanges_;

  PictureCache pictures_;
  std::vector<plat::Window> windows_;
};

}  // namespace mv
