// Minimised popups leave a small placeholder in a strip at the bottom of the work area; a
// click on it restores the window through its own system-command handling.
#include <algorithm>

#include "plat/canvas.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "window_manager.h"

namespace plat {
namespace {

constexpr std::string_view kPlaceholderClass = "#Minimized";
constexpr int kPlaceholderWidth = 150;
constexpr int kPlaceholderHeight = 24;
constexpr int kGap = 2;

Rect SlotFrame(std::size_t index) {
  Rect work = WorkArea();
  int perRow = std::max(1, work.Width() / (kPlaceholderWidth + kGap));
  int column = static_cast<int>(index) % perRow;
  int row = static_cast<int>(index) / perRow;
  int left = work.left + kGap + column * (kPlaceholderWidth + kGap);
  int bottom = work.bottom - kGap - row * (kPlaceholderHeight + kGap);
  return {left, bottom - kPlaceholderHeight, left + kPlaceholderWidth, bottom};
}

void Arrange(wm::Manager& m) {
  for (std::size_t i = 0; i < m.placeholders.size(); ++i) {
    Window placeholder = m.placeholders[i].second;
    if (IsWindow(placeholder) && WindowRect(placeholder) != SlotFrame(i)) {
      MoveWindow(placeholder, SlotFrame(i), true);
    }
  }
}

Answer PlaceholderProcedure(Window window, std::uint32_t code, FirstParam first,
                            SecondParam second) {
  Window minimised = Window::FromValue(WindowSlot(window));
  switch (code) {
    case msg::kEraseBackground: {
      Canvas& canvas = *reinterpret_cast<Canvas*>(first);
      Rect r = ClientRect(window);
      canvas.FillRect(r, Brush::Solid(0x00E4E4E4));
      canvas.FrameRect(r, Brush::Solid(0x00606060));
      // A restore mark: a small window outline.
      canvas.FrameRect({r.right - 18, 7, r.right - 7, r.bottom - 7}, Brush::Solid(0x00404040));
      canvas.FillRect({r.right - 18, 7, r.right - 7, 9}, Brush::Solid(0x00404040));
      canvas.SelectFont(wm::LayerFont());
      canvas.SetBackMode(BackgroundMode::Transparent);
      canvas.SetTextColour(0);
      Rect text{6, 0, r.right - 22, r.bottom};
      canvas.DrawText(
          WindowText(minimised), text,
          text_format::kSingleLine | text_format::kVerticalCentre | text_format::kNoPrefix);
      return 1;
    }
    case msg::kLeftUp:
      if (IsWindow(minimised)) {
        SendMessage(minimised, msg::kSystemCommand, system_command::kRestore, 0);
      }
      return 0;
    default:
      return DefaultProcedure(window, code, first, second);
  }
}

}  // namespace

namespace wm {

void RegisterPlaceholderClass() {
  RegisterWindowClass({std::string(kPlaceholderClass), 0, CursorShape::Arrow, Brush::Null(),
                       &PlaceholderProcedure});
}

void AddPlaceholder(Manager& m, WindowRecord* minimised) {
  Window handle = minimised->handle;
  for (const auto& [w, placeholder] : m.placeholders) {
    if (w == handle) return;
  }
  Window placeholder = CreateWindow({std::string(kPlaceholderClass), "", window_style::kPopup, 0,
                                     SlotFrame(m.placeholders.size()), Window(), 0, nullptr});
  if (!placeholder) return;
  SetWindowSlot(placeholder, handle.Value());
  m.placeholders.emplace_back(handle, placeholder);
  ShowWindow(placeholder, ShowMode::ShowNoActivate);
}

void RemovePlaceholder(Manager& m, Window minimised) {
  auto found = std::find_if(m.placeholders.begin(), m.placeholders.end(),
                            [minimised](const auto& entry) { return entry.first == minimised; });
  if (found == m.placeholders.end()) return;
  Window placeholder = found->second;
  m.placeholders.erase(found);
  DestroyWindow(placeholder);
  Arrange(m);
}

}  // namespace wm

Window PlaceholderOf(Window minimised) {
  wm::Manager* m = wm::Current();
  if (!m) return {};
  for (const auto& [w, placeholder] : m->placeholders) {
    if (w == minimised) return placeholder;
  }
  return {};
}

void SetMainWindow(Window window) {
  wm::Get().mainWindow = window;
}

Window MainWindow() {
  return wm::Get().mainWindow;
}

}  // namespace plat
