// The standard scroll bar control. One procedure serves both orientations: all geometry is
// worked out along the bar's axis and turned into client rectangles at the end.
#include "plat/scroll_bar.h"

#include <algorithm>

#include "plat/canvas.h"
#include "plat/cp1251.h"
#include "plat/input.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "window_manager.h"

namespace plat {
namespace {

constexpr std::uint32_t kDelayTimer = 1;
constexpr std::uint32_t kRepeatTimer = 2;
constexpr int kMinimumThumb = 8;

constexpr Colour kTrack = 0x00E8E8E8;
constexpr Colour kTrackPressed = 0x00B8B8B8;
constexpr Colour kButton = 0x00F4F4F4;
constexpr Colour kButtonPressed = 0x00C8C8C8;
constexpr Colour kEdge = 0x00A0A0A0;
constexpr Colour kArrow = 0x00404040;
constexpr Colour kArrowDisabled = 0x00B4B4B4;
constexpr Colour kThumb = 0x00D4D4D4;
constexpr Colour kThumbTracking = 0x00B0B0B0;
constexpr Colour kThumbEdge = 0x00808080;

enum class Part { None, ArrowBack, PageBack, Thumb, PageForward, ArrowForward };

struct BarData {
  ScrollBarState state;
  Part pressed = Part::None;
  bool pressedInside = false;
  bool tracking = false;
  int trackPosition = 0;
  int grab = 0;  // pointer minus thumb start while tracking
  bool releasing = false;
};

// Positions along the axis.
struct Layout {
  int length = 0;     // of the whole bar
  int thickness = 0;  // across it
  int arrow = 0;
  int trackStart = 0;
  int trackEnd = 0;
  int thumbStart = 0;
  int thumbLength = 0;  // 0: no thumb
  int lastPosition = 0;
};

BarData* DataOf(Window window) {
  if (cp1251::CompareNoCase(ClassNameOf(window), kScrollBarClassName) != 0) return nullptr;
  return reinterpret_cast<BarData*>(WindowSlot(window));
}

bool Vertical(Window window) {
  return (StyleOf(window) & scroll_bar_style::kVertical) != 0;
}

bool Usable(Window window, const ScrollBarState& s) {
  return s.maximum > s.minimum && IsWindowEnabled(window);
}

int LastPosition(const ScrollBarState& s) {
  int last = s.page > 0 ? s.maximum - s.page + 1 : s.maximum;
  return std::max(s.minimum, last);
}

Layout Measure(Window window, const BarData& data, int position) {
  Rect client = ClientRect(window);
  Layout l;
  bool vertical = Vertical(window);
  l.length = vertical ? client.Height() : client.Width();
  l.thickness = vertical ? client.Width() : client.Height();
  l.arrow = std::min(l.thickness, l.length / 2);
  l.trackStart = l.arrow;
  l.trackEnd = l.length - l.arrow;
  const ScrollBarState& s = data.state;
  l.lastPosition = LastPosition(s);
  int track = l.trackEnd - l.trackStart;
  if (!Usable(window, s) || track < kMinimumThumb) return l;
  long long range = static_cast<long long>(s.maximum) - s.minimum + 1;
  int thumb = s.page > 0 ? static_cast<int>(track * std::min<long long>(s.page, range) / range)
                         : l.thickness;
  thumb = std::clamp(thumb, kMinimumThumb, track);
  if (thumb >= track) return l;
  l.thumbLength = thumb;
  int span = l.lastPosition - s.minimum;
  int travel = track - thumb;
  int offset = 0;
  if (span > 0) {
    long long p = std::clamp(position, s.minimum, l.lastPosition) - s.minimum;
    offset = static_cast<int>((p * travel + span / 2) / span);
  }
  l.thumbStart = l.trackStart + offset;
  return l;
}

Rect Across(Window window, int thickness, int start, int end) {
  return Vertical(window) ? Rect{0, start, thickness, end} : Rect{start, 0, end, thickness};
}

int Along(Window window, Point client) {
  return Vertical(window) ? client.y : client.x;
}

Part PartAt(const Layout& l, int at, bool usable) {
  if (at < 0 || at >= l.length) return Part::None;
  if (at < l.arrow) return Part::ArrowBack;
  if (at >= l.trackEnd) return Part::ArrowForward;
  if (!usable || l.thumbLength == 0) return Part::None;
  if (at < l.thumbStart) return Part::PageBack;
  if (at < l.thumbStart + l.thumbLength) return Part::Thumb;
  return Part::PageForward;
}

std::uint32_t CodeOf(Part part) {
  switch (part) {
    case Part::ArrowBack:
      return scroll_code::kLineUp;
    case Part::ArrowForward:
      return scroll_code::kLineDown;
    case Part::PageBack:
      return scroll_code::kPageUp;
    default:
      return scroll_code::kPageDown;
  }
}

void Report(Window bar, std::uint32_t code, int position = 0) {
  Window target = ParentOf(bar);
  if (!target) return;
  std::uint32_t message = Vertical(bar) ? msg::kVerticalScroll : msg::kHorizontalScroll;
  SendMessage(target, message, PackWords(code, static_cast<std::uint32_t>(position)),
              static_cast<SecondParam>(bar.Value()));
}

void Triangle(Canvas& canvas, const Rect& box, bool vertical, bool back, Colour colour) {
  int size = std::max(2, std::min(box.Width(), box.Height()) / 4);
  Point centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  Brush brush = Brush::Solid(colour);
  for (int i = 0; i < size; ++i) {
    // Row i from the tip: 2i + 1 pixels wide.
    int along = back ? centre.y - size / 2 + i : centre.y + size / 2 - i;
    if (vertical) {
      canvas.FillRect({centre.x - i, along, centre.x + i + 1, along + 1}, brush);
    } else {
      int x = back ? centre.x - size / 2 + i : centre.x + size / 2 - i;
      canvas.FillRect({x, centre.y - i, x + 1, centre.y + i + 1}, brush);
    }
  }
}

void Paint(Window window, BarData& data, Canvas& canvas) {
  bool usable = Usable(window, data.state);
  bool vertical = Vertical(window);
  Layout l = Measure(window, data, data.tracking ? data.trackPosition : data.state.position);
  Rect client = ClientRect(window);
  canvas.FillRect(client, Brush::Solid(kTrack));
  if (data.pressedInside && (data.pressed == Part::PageBack || data.pressed == Part::PageForward) &&
      l.thumbLength > 0) {
    Rect page = data.pressed == Part::PageBack
                    ? Across(window, l.thickness, l.trackStart, l.thumbStart)
                    : Across(window, l.thickness, l.thumbStart + l.thumbLength, l.trackEnd);
    canvas.FillRect(page, Brush::Solid(kTrackPressed));
  }
  for (Part arrow : {Part::ArrowBack, Part::ArrowForward}) {
    Rect box = arrow == Part::ArrowBack ? Across(window, l.thickness, 0, l.arrow)
                                        : Across(window, l.thickness, l.trackEnd, l.length);
    bool down = data.pressed == arrow && data.pressedInside;
    canvas.FillRect(box, Brush::Solid(down ? kButtonPressed : kButton));
    canvas.FrameRect(box, Brush::Solid(kEdge));
    Rect glyph = down ? box.Offset(1, 1) : box;
    Triangle(canvas, glyph, vertical, arrow == Part::ArrowBack, usable ? kArrow : kArrowDisabled);
  }
  if (l.thumbLength > 0) {
    Rect thumb = Across(window, l.thickness, l.thumbStart, l.thumbStart + l.thumbLength);
    canvas.FillRect(thumb, Brush::Solid(data.tracking ? kThumbTracking : kThumb));
    canvas.FrameRect(thumb, Brush::Solid(kThumbEdge));
    if (l.thumbLength >= 14 && l.thickness >= 8) {
      int middle = l.thumbStart + l.thumbLength / 2;
      for (int d : {-3, 0, 3}) {
        Rect grip = vertical ? Rect{4, middle + d, l.thickness - 4, middle + d + 1}
                             : Rect{middle + d, 4, middle + d + 1, l.thickness - 4};
        canvas.FillRect(grip, Brush::Solid(kThumbEdge));
      }
    }
  }
}

void Redraw(Window window) {
  Invalidate(window, nullptr, false);
}

void StopRepeat(Window window) {
  StopTimer(window, kDelayTimer);
  StopTimer(window, kRepeatTimer);
}

// Ends a press: the thumb reports where it was let go, then everybody hears end-scroll.
void EndPress(Window window, BarData& data, bool letGo) {
  Part pressed = data.pressed;
  bool tracking = data.tracking;
  int trackPosition = data.trackPosition;
  data.pressed = Part::None;
  data.pressedInside = false;
  data.tracking = false;
  StopRepeat(window);
  if (CaptureWindow() == window) {
    data.releasing = true;
    ReleaseCapture();
    data.releasing = false;
  }
  Redraw(window);
  if (pressed == Part::None) return;
  if (tracking && letGo) Report(window, scroll_code::kThumbPosition, trackPosition);
  Report(window, scroll_code::kEndScroll);
}

void PointerMoved(Window window, BarData& data, Point client) {
  if (data.pressed == Part::None) return;
  Layout l = Measure(window, data, data.trackPosition);
  if (data.tracking) {
    int start =
        std::clamp(Along(window, client) - data.grab, l.trackStart, l.trackEnd - l.thumbLength);
    int travel = l.trackEnd - l.trackStart - l.thumbLength;
    int span = l.lastPosition - data.state.minimum;
    int position = data.state.minimum;
    if (travel > 0) position += ((start - l.trackStart) * span + travel / 2) / travel;
    if (position != data.trackPosition) {
      data.trackPosition = position;
      Redraw(window);
      Report(window, scroll_code::kThumbTrack, position);
    }
    return;
  }
  Layout now = Measure(window, data, data.state.position);
  bool inside = ClientRect(window).Contains(client) &&
                PartAt(now, Along(window, client), Usable(window, data.state)) == data.pressed;
  if (inside != data.pressedInside) {
    data.pressedInside = inside;
    Redraw(window);
  }
}

void Pressed(Window window, BarData& data, Point client) {
  if (!Usable(window, data.state)) return;
  Layout l = Measure(window, data, data.state.position);
  Part part = PartAt(l, Along(window, client), true);
  if (part == Part::None) return;
  data.pressed = part;
  data.pressedInside = true;
  SetCapture(window);
  if (part == Part::Thumb) {
    data.tracking = true;
    data.trackPosition = data.state.position;
    data.grab = Along(window, client) - l.thumbStart;
    Redraw(window);
    return;
  }
  Redraw(window);
  Report(window, CodeOf(part));
  if (IsWindow(window) && data.pressed == part) StartTimer(window, kDelayTimer, kScrollRepeatDelay);
}

void Repeat(Window window, BarData& data) {
  if (data.pressed == Part::None || data.tracking) {
    StopRepeat(window);
    return;
  }
  Point client = ScreenToClient(window, PointerPosition());
  PointerMoved(window, data, client);
  // The track repeats only while the thumb has not reached the pointer.
  if (data.pressedInside) Report(window, CodeOf(data.pressed));
}

Answer BarProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  if (code == msg::kCreate) {
    SetWindowSlot(window, reinterpret_cast<std::uintptr_t>(new BarData));
    return 0;
  }
  auto* data = reinterpret_cast<BarData*>(WindowSlot(window));
  if (!data) return DefaultProcedure(window, code, first, second);
  switch (code) {
    case msg::kDestroy:
      SetWindowSlot(window, 0);
      delete data;
      return 0;
    case msg::kEraseBackground:
      return 1;
    case msg::kPaint: {
      PaintScope scope(window);
      Paint(window, *data, scope.GetCanvas());
      return 0;
    }
    case msg::kLeftDown:
    case msg::kLeftDouble:
      Pressed(window, *data, UnpackPoint(second));
      return 0;
    case msg::kMouseMove:
      PointerMoved(window, *data, UnpackPoint(second));
      return 0;
    case msg::kLeftUp:
      if (data->pressed != Part::None) EndPress(window, *data, true);
      return 0;
    case msg::kCaptureChanged:
      if (!data->releasing && data->pressed != Part::None) EndPress(window, *data, false);
      return 0;
    case msg::kCancelMode:
      if (data->pressed != Part::None) EndPress(window, *data, false);
      return 0;
    case msg::kTimer:
      if (first == kDelayTimer) {
        StopTimer(window, kDelayTimer);
        StartTimer(window, kRepeatTimer, kScrollRepeatInterval);
      }
      Repeat(window, *data);
      return 0;
    case msg::kKeyDown: {
      if (!Usable(window, data->state)) return 0;
      switch (static_cast<int>(first)) {
        case key::kUp:
        case key::kLeft:
          Report(window, scroll_code::kLineUp);
          break;
        case key::kDown:
        case key::kRight:
          Report(window, scroll_code::kLineDown);
          break;
        case key::kPageUp:
          Report(window, scroll_code::kPageUp);
          break;
        case key::kPageDown:
          Report(window, scroll_code::kPageDown);
          break;
        case key::kHome:
          Report(window, scroll_code::kTop);
          break;
        case key::kEnd:
          Report(window, scroll_code::kBottom);
          break;
        default:
          break;
      }
      return 0;
    }
    case msg::kKeyUp:
      switch (static_cast<int>(first)) {
        case key::kUp:
        case key::kLeft:
        case key::kDown:
        case key::kRight:
        case key::kPageUp:
        case key::kPageDown:
        case key::kHome:
        case key::kEnd:
          if (Usable(window, data->state)) Report(window, scroll_code::kEndScroll);
          break;
        default:
          break;
      }
      return 0;
    case msg::kEnable:
      Redraw(window);
      return 0;
    default:
      return DefaultProcedure(window, code, first, second);
  }
}

BarData* Edit(Window bar) {
  return DataOf(bar);
}

void Settle(Window bar, BarData& data, bool redraw) {
  ScrollBarState& s = data.state;
  if (s.maximum < s.minimum) s.maximum = s.minimum;
  s.page = std::max(0, s.page);
  s.position = std::clamp(s.position, s.minimum, LastPosition(s));
  if (redraw) Redraw(bar);
}

}  // namespace

namespace wm {

void RegisterScrollBarClass() {
  RegisterWindowClass(
      {std::string(kScrollBarClassName), 0, CursorShape::Arrow, Brush::Null(), &BarProcedure});
}

}  // namespace wm

bool SetScrollRange(Window bar, int minimum, int maximum, bool redraw) {
  BarData* data = Edit(bar);
  if (!data) return false;
  data->state.minimum = minimum;
  data->state.maximum = maximum;
  Settle(bar, *data, redraw);
  return true;
}

bool SetScrollPage(Window bar, int page, bool redraw) {
  BarData* data = Edit(bar);
  if (!data) return false;
  data->state.page = page;
  Settle(bar, *data, redraw);
  return true;
}

int SetScrollPosition(Window bar, int position, bool redraw) {
  BarData* data = Edit(bar);
  if (!data) return 0;
  int old = data->state.position;
  data->state.position = position;
  Settle(bar, *data, redraw && old != data->state.position);
  return old;
}

int ScrollPosition(Window bar) {
  BarData* data = Edit(bar);
  return data ? data->state.position : 0;
}

ScrollBarState ScrollBarStateOf(Window bar) {
  BarData* data = Edit(bar);
  return data ? data->state : ScrollBarState{};
}

}  // namespace plat
