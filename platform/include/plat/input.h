// Mouse, keyboard, focus, activation and cursors.
#pragma once

#include <cstdint>
#include <optional>

#include "plat/geometry.h"
#include "plat/window.h"

namespace plat {

// Virtual-key numbers (letters by key position, as on a US layout).
namespace key {
inline constexpr int kBack = 8;
inline constexpr int kTab = 9;
inline constexpr int kEnter = 13;
inline constexpr int kShift = 16;
inline constexpr int kControl = 17;
inline constexpr int kAlt = 18;
inline constexpr int kEscape = 27;
inline constexpr int kSpace = 32;
inline constexpr int kPageUp = 33;
inline constexpr int kPageDown = 34;
inline constexpr int kEnd = 35;
inline constexpr int kHome = 36;
inline constexpr int kLeft = 37;
inline constexpr int kUp = 38;
inline constexpr int kRight = 39;
inline constexpr int kDown = 40;
inline constexpr int kInsert = 45;
inline constexpr int kDelete = 46;
inline constexpr int kLetterA = 65;
inline constexpr int kLetterZ = 90;
inline constexpr int kF1 = 112;
inline constexpr int kF4 = 115;
inline constexpr int kF10 = 121;
inline constexpr int kF12 = 123;
inline constexpr int kOem7 = 222;  // right of L
// Pseudo keys for the mouse buttons, for IsKeyDown.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
}  // namespace key

// First parameter of mouse messages.
namespace mouse_flag {
inline constexpr FirstParam kLeft = 0x1;
inline constexpr FirstParam kRight = 0x2;
inline constexpr FirstParam kShift = 0x4;
inline constexpr FirstParam kControl = 0x8;
inline constexpr FirstParam kMiddle = 0x10;
}  // namespace mouse_flag

inline constexpr int kWheelNotch = 120;
inline constexpr std::uint32_t kDoubleClickTime = 500;
inline constexpr int kDoubleClickDistance = 4;

// One holder; the loser gets the capture-changed message.
Window SetCapture(Window window);
bool ReleaseCapture();
Window CaptureWindow();

// Kill focus (with the new window) reaches the old window before set focus (with the old one)
// reaches the new. Disabled or hidden windows refuse it. Returns the previous focus window.
Window SetFocus(Window window);
Window FocusWindow();
// The active top-level window; none while the host screen has no focus.
Window ActiveWindow();
Window SetActiveWindow(Window window);

Point PointerPosition();
bool IsKeyDown(int virtualKey);

// Takes effect now and stays until the next call or a class cursor is applied.
CursorShape SetCursor(CursorShape shape);
CursorShape CurrentCursor();
// The program's cursor resource numbers, mapped to shapes.
CursorShape ProgramCursor(int resourceId);

}  // namespace plat
