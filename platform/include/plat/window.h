// Windows of the software window manager: one framebuffer is the screen, and every window of
// the program (popups, owned popups, topmost popups and child windows) lives in the layer's
// own tree. A window has no non-client area: its client rectangle is its whole rectangle.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plat/canvas.h"
#include "plat/geometry.h"

namespace plat {

// A window handle. Handles are never reused, so a stale one simply stops being valid.
class Window {
 public:
  constexpr Window() = default;
  static constexpr Window FromValue(std::uintptr_t value) {
    Window window;
    window.value_ = value;
    return window;
  }
  constexpr std::uintptr_t Value() const { return value_; }
  explicit constexpr operator bool() const { return value_ != 0; }
  friend constexpr bool operator==(Window, Window) = default;

 private:
  std::uintptr_t value_ = 0;
};

// Message parameters are pointer-sized: the first unsigned, the second signed.
using FirstParam = std::uintptr_t;
using SecondParam = std::intptr_t;
using Answer = std::intptr_t;
using WindowProcedure = Answer (*)(Window, std::uint32_t message, FirstParam, SecondParam);

// Style bits; the program stores and compares them as numbers.
namespace window_style {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kMinimized = 0x20000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kClipSiblings = 0x04000000;
inline constexpr std::uint32_t kClipChildren = 0x02000000;
inline constexpr std::uint32_t kMaximized = 0x01000000;
inline constexpr std::uint32_t kSystemMenu = 0x00080000;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kMaximizeBox = 0x00010000;
}  // namespace window_style

namespace extended_style {
inline constexpr std::uint32_t kTopmost = 0x00000008;
}  // namespace extended_style

namespace class_style {
inline constexpr std::uint32_t kRedrawOnWidth = 0x1;
inline constexpr std::uint32_t kRedrawOnHeight = 0x2;
inline constexpr std::uint32_t kDoubleClicks = 0x8;
}  // namespace class_style

// Show modes keep their numbers (0 and 5 are written as numbers by the program); unknown
// numbers show the window.
enum class ShowMode : int {
  Hide = 0,
  Normal = 1,
  Minimized = 2,
  Maximized = 3,
  NormalNoActivate = 4,
  Show = 5,
  Minimize = 6,
  MinimizedNoActivate = 7,
  ShowNoActivate = 8,
  Restore = 9,
  Default = 10,
};

// Answers to the hit-test message.
enum class HitArea : int { Nowhere = 0, Client = 1, Caption = 2 };

enum class CursorShape {
  Arrow,
  Wait,
  Hand,
  IBeam,
  Cross,
  SizeWestEast,
  SizeNorthSouth,
  SizeNorthEastSouthWest,
  SizeNorthWestSouthEast,
};

struct WindowClassInfo {
  std::string name;
  std::uint32_t style = 0;
  std::optional<CursorShape> cursor;
  Brush background;                     // the null brush: erasing paints nothing
  WindowProcedure procedure = nullptr;  // null: the default procedure
};

// The first registration of a name wins; later ones change nothing and answer false.
bool RegisterWindowClass(const WindowClassInfo& parameters);
bool IsWindowClassRegistered(std::string_view name);
// Class-wide: every window of the class is affected.
void SetClassCursor(std::string_view className, std::optional<CursorShape> cursor);

struct WindowCreateInfo {
  std::string className;
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t extendedStyle = 0;
  Rect frame;     // parent's client coordinates for children, screen coordinates otherwise
  Window parent;  // the parent of a child window, the owner of a popup
  int childId = 0;
  void* parameter = nullptr;
};

// What the create message points to (second parameter).
struct CreateRecord {
  void* parameter = nullptr;
  std::string_view className;
  std::string_view text;
  std::uint32_t style = 0;
  std::uint32_t extendedStyle = 0;
  Rect frame;
  Window parent;
};

// The create message reaches the window before this returns; an answer of -1 fails the
// creation. A window created visible is shown (and a top-level one activated).
Window CreateWindow(const WindowCreateInfo& parameters);
// Destroys owned windows, then sends destroy to the window and to its children. Capture and
// focus held inside go away; messages posted to them are dropped.
bool DestroyWindow(Window window);
bool IsWindow(Window window);

// The per-window value the program binds its object with.
std::uintptr_t WindowSlot(Window window);
void SetWindowSlot(Window window, std::uintptr_t value);

// Returns whether the window was visible before.
bool ShowWindow(Window window, ShowMode mode);
// Sends move and size messages when they change; the window is repainted where it lands and
// what it uncovered is repainted beneath it.
bool MoveWindow(Window window, const Rect& frame, bool repaint);

enum class ZOrder { Keep, Top, Bottom, Topmost, NotTopmost, After };
struct Placement {
  ZOrder order = ZOrder::Keep;
  Window after;  // with ZOrder::After
  std::optional<Rect> frame;
  bool keepSize = false;
  bool keepPosition = false;
  bool noRedraw = false;
  bool noActivate = false;
  bool show = false;
  bool hide = false;
};
bool PlaceWindow(Window window, const Placement& placement);

// Returns whether the window was disabled before.
bool EnableWindow(Window window, bool enable);
bool IsWindowEnabled(Window window);
// Its own flag and those of all its ancestors.
bool IsWindowVisible(Window window);
bool IsChildOf(Window parent, Window window);
bool IsMinimized(Window window);
bool IsMaximized(Window window);
bool IsTopmost(Window window);

Rect WindowRect(Window window);  // screen coordinates
Rect ClientRect(Window window);  // (0, 0, width, height)
Point ClientToScreen(Window window, Point point);
Point ScreenToClient(Window window, Point point);
Rect MapRect(Window from, Window to, const Rect& rect);  // a null window is the screen

// A child's parent; a popup's owner.
Window ParentOf(Window window);
Window OwnerOf(Window window);
Window TopLevelOf(Window window);
int ChildIdOf(Window window);
Window ChildWithId(Window parent, int childId);
// Top first.
std::vector<Window> ChildrenOf(Window parent);
std::vector<Window> TopLevelWindows();
// The deepest visible window at a screen point; a disabled child answers its parent.
Window WindowAtPoint(Point screen);
Window FindWindow(std::string_view className, std::optional<std::string_view> text = {});
std::string ClassNameOf(Window window);
std::string WindowText(Window window);
void SetWindowText(Window window, std::string_view text);
std::uint32_t StyleOf(Window window);
std::uint32_t ExtendedStyleOf(Window window);

struct MinMaxInfo {
  Point maximizedSize;
  Point maximizedPosition;
  Point minimumTrackSize;
  Point maximumTrackSize;
};

// The window whose minimising minimises the host window; other minimised popups leave a
// placeholder in a strip at the bottom of the work area that restores them when clicked.
void SetMainWindow(Window window);
Window MainWindow();
Window PlaceholderOf(Window minimised);

Size ScreenSize();
// The screen less the reserved strip at its bottom.
Rect WorkArea();
void SetReservedStrip(int height);

}  // namespace plat
