// Internal state of the window manager, shared by its source files.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "plat/backend.h"
#include "plat/canvas.h"
#include "plat/headless.h"
#include "plat/input.h"
#include "plat/menu.h"
#include "plat/messages.h"
#include "plat/region.h"
#include "plat/window.h"

namespace plat::wm {

struct ClassRecord {
  std::string name;
  std::uint32_t style = 0;
  std::optional<CursorShape> cursor;
  Brush background;
  WindowProcedure procedure = nullptr;
};

struct TimerRecord {
  std::uint32_t id = 0;
  std::uint32_t period = 0;
  std::uint32_t due = 0;
};

struct WindowRecord {
  Window handle;
  ClassRecord* windowClass = nullptr;
  std::string text;
  std::uint32_t style = 0;
  std::uint32_t extendedStyle = 0;
  Rect frame;  // parent client coordinates, or screen for top-level windows
  WindowRecord* parent = nullptr;
  WindowRecord* owner = nullptr;
  std::vector<WindowRecord*> children;  // top first
  int childId = 0;
  std::uintptr_t slot = 0;
  bool dying = false;
  bool dead = false;

  Region update;  // client coordinates
  bool erasePending = false;

  bool minimized = false;
  bool maximized = false;
  Rect restoreFrame;
  std::vector<TimerRecord> timers;
  std::unique_ptr<PopupMenu> systemMenu;

  // Visible area on the screen, cached per layout generation.
  Region visibleCache;
  std::uint64_t visibleGeneration = ~0ull;

  bool IsChild() const { return (style & window_style::kChild) != 0; }
  bool IsTopLevel() const { return parent == nullptr; }
  bool Enabled() const { return (style & window_style::kDisabled) == 0; }
  bool OwnVisible() const { return (style & window_style::kVisible) != 0; }
  bool Topmost() const { return (extendedStyle & extended_style::kTopmost) != 0; }
};

struct QueueEntry {
  bool input = false;
  Message message;   // posted message
  InputEvent event;  // raw input, routed when taken
};

struct ClickMemory {
  MouseButton button = MouseButton::None;
  Window window;
  std::uint32_t time = 0;
  Point at;
  bool nonClient = false;
};

struct DragState {
  Window window;
  Point grab;  // pointer minus the window's top-left, screen
};

struct ModalFrame {
  ModalView view;
};

class Manager {
 public:
  explicit Manager(std::unique_ptr<Backend> backend);
  ~Manager();

  // ---- records ----
  WindowRecord* Find(Window window) const;
  std::uint64_t NextId() { return ++lastId_; }
  std::unordered_map<std::uintptr_t, std::unique_ptr<WindowRecord>> windows;
  std::vector<std::unique_ptr<WindowRecord>> graveyard;
  std::unordered_map<std::string, std::unique_ptr<ClassRecord>> classes;
  std::vector<WindowRecord*> topLevels;  // top first, topmost band first
  int callDepth = 0;

  // ---- layout ----
  std::uint64_t layoutGeneration = 1;
  void LayoutChanged() { ++layoutGeneration; }
  Point ScreenOrigin(const WindowRecord* w) const;
  Rect ScreenRect(const WindowRecord* w) const;
  bool Shown(const WindowRecord* w) const;  // drawn: visible, not minimised, ancestors shown
  const Region& VisibleScreen(WindowRecord* w);
  Region VisibleClient(WindowRecord* w);
  // Invalidates what lies under a screen area in every window, and repaints the desktop there.
  void Expose(const Region& screenArea);
  void InvalidateTree(WindowRecord* w, bool erase);
  void InvalidateClient(WindowRecord* w, const Region& area, bool erase);
  void PaintDesktop(const Region& screenArea);
  void RaiseTopLevel(WindowRecord* w);
  void InsertTopLevel(WindowRecord* w);
  void RemoveTopLevel(WindowRecord* w);

  // ---- screen ----
  Size screenSize;
  int reservedStrip = 0;
  std::vector<Pixel> framebuffer;
  PixelSurface Surface();
  Rect dirty;
  void Touched(const Rect& area);
  void Present(bool force);
  std::uint32_t lastPresent = 0;
  static constexpr Colour kDesktopColour = 0x00806040;  // 0x00BBGGRR

  // ---- queue ----
  std::deque<QueueEntry> queue;
  std::optional<int> quitCode;
  bool TakeFromQueue(Message& message, bool remove);
  bool FindPaint(Message& message);
  bool FindTimer(Message& message, bool remove);
  bool RouteInput(const InputEvent& event, Message& message);
  bool HasWork();
  std::optional<std::uint32_t> NextTimerDue();

  // ---- input state ----
  Window capture;
  Window focus;
  Window active;
  Window rememberedActive;  // while the host has no focus
  bool hostFocused = true;
  bool suppressActivationFocus = false;
  Point pointer;
  bool keys[256] = {};
  ClickMemory lastClick;
  std::optional<DragState> drag;
  CursorShape cursor = CursorShape::Arrow;

  void Activate(WindowRecord* w, bool giveFocus);
  void ActivateAnother(WindowRecord* leaving);
  void ChangeFocus(Window to);
  FirstParam MouseFlags() const;

  // ---- modal loops ----
  std::vector<ModalFrame*> modalStack;
  std::vector<headless::ModalRecord> modalRecords;

  // ---- clipboard ----
  std::unordered_map<int, std::vector<std::uint8_t>> clipboard;

  // ---- keyboard layout, minimised windows ----
  bool russianKeys = false;
  Window mainWindow;                                    // minimising it minimises the host
  std::vector<std::pair<Window, Window>> placeholders;  // (minimised window, its placeholder)

  std::unique_ptr<Backend> backend;

 private:
  std::uint64_t lastId_ = 0;
};

// The running manager; starts a headless one when none runs.
Manager& Get();
Manager* Current();

// Destroys one record (already unlinked from everything), keeping its memory until no
// procedure can still be running for it.
void Bury(Manager& m, WindowRecord* w);

// Procedures of the layer's own windows.
void RegisterInternalClasses();
void RegisterScrollBarClass();
void RegisterChooserClass();
void RegisterPlaceholderClass();
// A nested loop of the layer's modal windows: runs until `finished`; `filter` may take
// messages before they are dispatched. A quit request ends it and is kept for the loop outside.
void RunNestedLoop(ModalFrame& frame, const std::function<bool()>& finished,
                   const std::function<bool(const Message&)>& filter);
// Puts a scripted answer into a running chooser and presses Enter; false for other windows.
bool AnswerChooser(Window window, const std::string& text);

// The strip of placeholders for minimised popups at the bottom of the work area.
void AddPlaceholder(Manager& m, WindowRecord* minimised);
void RemovePlaceholder(Manager& m, Window minimised);

// The ui font of the layer's own boxes and menus.
std::shared_ptr<const Font> LayerFont();

}  // namespace plat::wm
