// The standard scroll bar control (window class "SCROLLBAR"), drawn by the layer: two arrows,
// a track and a thumb. It reports to its parent (or owner) with the vertical- or
// horizontal-scroll message: first parameter the scroll code in the low word and, for thumb
// codes, the position in the high word; second parameter the scroll bar window. Like the
// platform's control it never moves its own position on line and page codes: the parent does
// that with SetScrollPosition.
#pragma once

#include <cstdint>
#include <string_view>

#include "plat/window.h"

namespace plat {

inline constexpr std::string_view kScrollBarClassName = "SCROLLBAR";
inline constexpr int kScrollBarWidth = 16;

// Window style bits of the control.
namespace scroll_bar_style {
inline constexpr std::uint32_t kHorizontal = 0x0;
inline constexpr std::uint32_t kVertical = 0x1;
}  // namespace scroll_bar_style

namespace scroll_code {
inline constexpr std::uint32_t kLineUp = 0;
inline constexpr std::uint32_t kLineDown = 1;
inline constexpr std::uint32_t kPageUp = 2;
inline constexpr std::uint32_t kPageDown = 3;
inline constexpr std::uint32_t kThumbPosition = 4;
inline constexpr std::uint32_t kThumbTrack = 5;
inline constexpr std::uint32_t kTop = 6;
inline constexpr std::uint32_t kBottom = 7;
inline constexpr std::uint32_t kEndScroll = 8;
}  // namespace scroll_code

// Repeat timing of a held arrow or track.
inline constexpr std::uint32_t kScrollRepeatDelay = 400;
inline constexpr std::uint32_t kScrollRepeatInterval = 100;

struct ScrollBarState {
  int minimum = 0;
  int maximum = 0;
  int page = 0;  // 0: a square thumb; otherwise the thumb's share of the track
  int position = 0;
  friend bool operator==(const ScrollBarState&, const ScrollBarState&) = default;
};

// The position is kept inside the range. False for a window that is not a scroll bar.
bool SetScrollRange(Window bar, int minimum, int maximum, bool redraw = true);
bool SetScrollPage(Window bar, int page, bool redraw = true);
// Returns the previous position.
int SetScrollPosition(Window bar, int position, bool redraw = true);
int ScrollPosition(Window bar);
ScrollBarState ScrollBarStateOf(Window bar);

}  // namespace plat
