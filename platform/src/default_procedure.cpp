// What a window does with a message its own procedure leaves to the layer.
#include "plat/input.h"
#include "plat/menu.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "plat/system.h"
#include "window_manager.h"

namespace plat {

using wm::Manager;
using wm::WindowRecord;

Answer DefaultProcedure(Window window, std::uint32_t code, FirstParam first, SecondParam second) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return 0;
  switch (code) {
    case msg::kClose:
      DestroyWindow(window);
      return 0;
    case msg::kPaint: {
      PaintScope scope(window);
      return 0;
    }
    case msg::kEraseBackground: {
      auto* canvas = reinterpret_cast<Canvas*>(first);
      const Brush& brush = w->windowClass->background;
      if (!canvas || brush.IsNull()) return 0;
      canvas->FillRect({0, 0, w->frame.Width(), w->frame.Height()}, brush);
      return 1;
    }
    case msg::kHitTest:
      return static_cast<Answer>(HitArea::Client);
    case msg::kSetCursor:
      if (LowWord(static_cast<std::uintptr_t>(second)) == static_cast<int>(HitArea::Client) &&
          w->windowClass->cursor) {
        SetCursor(*w->windowClass->cursor);
        return 1;
      }
      if (LowWord(static_cast<std::uintptr_t>(second)) != static_cast<int>(HitArea::Client)) {
        SetCursor(CursorShape::Arrow);
      }
      return 0;
    case msg::kMouseWheel:
      if (w->parent) return SendMessage(w->parent->handle, code, first, second);
      return 0;
    case msg::kActivate:
      if (first != 0 && !m.suppressActivationFocus && !w->minimized) {
        bool inside = false;
        for (WindowRecord* f = m.Find(m.focus); f; f = f->parent) {
          if (f == w) inside = true;
        }
        if (!inside) SetFocus(window);
      }
      return 0;
    case msg::kNonClientActivate:
      return 1;
    case msg::kInputLanguageRequest:
      RequestInputLanguage(static_cast<std::uint32_t>(second));
      return 1;
    case msg::kCancelMode:
      if (m.capture == window) ReleaseCapture();
      return 0;
    case msg::kNonClientLeftDown:
      if (first == static_cast<FirstParam>(HitArea::Caption)) {
        SendMessage(window, msg::kSystemCommand, system_command::kMove | 2, second);
      }
      return 0;
    case msg::kNonClientLeftDouble:
      if (first == static_cast<FirstParam>(HitArea::Caption) &&
          (w->style & window_style::kMaximizeBox)) {
        SendMessage(window, msg::kSystemCommand,
                    w->maximized ? system_command::kRestore : system_command::kMaximize, second);
      }
      return 0;
    case msg::kNonClientRightUp:
      if (first == static_cast<FirstParam>(HitArea::Caption)) {
        TrackSystemMenu(window, UnpackPoint(second));
      }
      return 0;
    case msg::kSystemKeyDown:
      if (first == static_cast<FirstParam>(key::kF4) && m.keys[key::kAlt]) {
        SendMessage(TopLevelOf(window), msg::kSystemCommand, system_command::kClose, 0);
      } else if (first == static_cast<FirstParam>(key::kSpace) ||
                 first == static_cast<FirstParam>(key::kF10)) {
        SendMessage(TopLevelOf(window), msg::kSystemCommand, system_command::kKeyMenu, first);
      }
      return 0;
    case msg::kSystemCommand:
      switch (first & 0xFFF0) {
        case system_command::kClose:
          SendMessage(window, msg::kClose);
          return 0;
        case system_command::kMove:
          // Follows the pointer until the left button comes up.
          if (m.keys[key::kLeftButton]) {
            // From a caption press the point is where the press was, not where the pointer
            // has gone since.
            Point at = (first & 0xF) == 2 ? UnpackPoint(second) : m.pointer;
            Point topLeft = ClientToScreen(window, {0, 0});
            m.drag = wm::DragState{window, {at.x - topLeft.x, at.y - topLeft.y}};
            Window keep = m.capture;
            if (keep != window) {
              auto drag = m.drag;
              SetCapture(window);
              m.drag = drag;
            }
          }
          return 0;
        case system_command::kMinimize:
          ShowWindow(window, ShowMode::Minimize);
          return 0;
        case system_command::kMaximize:
          ShowWindow(window, ShowMode::Maximized);
          return 0;
        case system_command::kRestore:
          ShowWindow(window, ShowMode::Restore);
          return 0;
        case system_command::kKeyMenu: {
          Point at = ClientToScreen(window, {0, 0});
          TrackSystemMenu(window, at);
          return 0;
        }
        default:
          return 0;
      }
    default:
      return 0;
  }
}

}  // namespace plat
