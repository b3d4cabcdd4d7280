// Input routing, capture, focus, activation and cursors.
#include <algorithm>
#include <cstdlib>

#include "plat/input.h"
#include "plat/messages.h"
#include "plat/runtime.h"
#include "plat/system.h"
#include "window_manager.h"

namespace plat {

using wm::Manager;
using wm::WindowRecord;

namespace {

int ButtonKey(MouseButton button) {
  switch (button) {
    case MouseButton::Left:
      return key::kLeftButton;
    case MouseButton::Right:
      return key::kRightButton;
    case MouseButton::Middle:
      return key::kMiddleButton;
    default:
      return 0;
  }
}

std::uint32_t DownMessage(MouseButton button, bool nonClient, bool twice) {
  if (nonClient) {
    if (button == MouseButton::Right) return msg::kNonClientRightDown;
    return twice ? msg::kNonClientLeftDouble : msg::kNonClientLeftDown;
  }
  switch (button) {
    case MouseButton::Right:
      return twice ? msg::kRightDouble : msg::kRightDown;
    case MouseButton::Middle:
      return twice ? msg::kMiddleDouble : msg::kMiddleDown;
    default:
      return twice ? msg::kLeftDouble : msg::kLeftDown;
  }
}

std::uint32_t UpMessage(MouseButton button, bool nonClient) {
  if (nonClient)
    return button == MouseButton::Right ? msg::kNonClientRightUp : msg::kNonClientLeftUp;
  switch (button) {
    case MouseButton::Right:
      return msg::kRightUp;
    case MouseButton::Middle:
      return msg::kMiddleUp;
    default:
      return msg::kLeftUp;
  }
}

// The popup to bring forward when a disabled window is clicked: the topmost shown, enabled
// window owned (directly or not) by its top-level window, such as a modal box.
WindowRecord* EnabledOwnedPopup(Manager& m, Window window) {
  WindowRecord* top = m.Find(window);
  while (top && top->parent) top = top->parent;
  if (!top) return nullptr;
  for (WindowRecord* t : m.topLevels) {
    if (!m.Shown(t) || !t->Enabled()) continue;
    for (WindowRecord* o = t->owner; o; o = o->owner) {
      if (o == top) return t;
    }
  }
  return nullptr;
}

bool TopLevelEnabled(Manager& m, Window window) {
  WindowRecord* w = m.Find(window);
  while (w && w->parent) w = w->parent;
  return w && w->Enabled();
}

}  // namespace

namespace wm {

bool Manager::RouteInput(const InputEvent& event, Message& message) {
  std::uint32_t now = TickCount();
  message = {};
  message.time = now;
  message.pointer = pointer;
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::PointerMove:
    case Kind::ButtonDown:
    case Kind::ButtonUp: {
      if (event.kind == Kind::ButtonDown) keys[ButtonKey(event.button)] = true;
      if (event.kind == Kind::ButtonUp) keys[ButtonKey(event.button)] = false;
      message.pointer = event.at;
      if (drag) {
        WindowRecord* w = Find(drag->window);
        if (!w) {
          drag.reset();
        } else if (event.kind == Kind::PointerMove) {
          Point topLeft{event.at.x - drag->grab.x, event.at.y - drag->grab.y};
          if (w->parent) topLeft = ScreenToClient(w->parent->handle, topLeft);
          MoveWindow(
              w->handle,
              {topLeft.x, topLeft.y, topLeft.x + w->frame.Width(), topLeft.y + w->frame.Height()},
              true);
          return false;
        } else if (event.kind == Kind::ButtonUp && event.button == MouseButton::Left) {
          drag.reset();
          ReleaseCapture();
          return false;
        } else {
          return false;
        }
      }
      Window target = capture;
      bool captured = static_cast<bool>(target);
      if (!captured) {
        target = WindowAtPoint(event.at);
        if (!target) return false;
        if (!TopLevelEnabled(*this, target)) {
          if (event.kind == Kind::ButtonDown) {
            backend->Beep();
            if (WindowRecord* popup = EnabledOwnedPopup(*this, target)) Activate(popup, true);
          }
          return false;
        }
      }
      HitArea hit = HitArea::Client;
      if (!captured) {
        hit = static_cast<HitArea>(SendMessage(target, msg::kHitTest, 0, PackPoint(event.at)));
        if (!Find(target)) return false;
        if (event.kind == Kind::PointerMove) {
          SendMessage(target, msg::kSetCursor, target.Value(),
                      static_cast<SecondParam>(
                          PackWords(static_cast<std::uint32_t>(hit), msg::kMouseMove)));
          if (!Find(target)) return false;
        }
      }
      bool nonClient = hit == HitArea::Caption;
      if (event.kind == Kind::ButtonDown && !captured) {
        // A press in an inactive top-level window activates it before the press arrives.
        WindowRecord* top = Find(target);
        while (top && top->parent) top = top->parent;
        if (top && top->handle != active) {
          Activate(top, true);
          if (!Find(target)) return false;
        }
      }
      message.window = target;
      message.first = MouseFlags();
      Point client = ScreenToClient(target, event.at);
      message.second = nonClient ? PackPoint(event.at) : PackPoint(client);
      if (nonClient) message.first = static_cast<FirstParam>(hit);
      if (event.kind == Kind::PointerMove) {
        message.code = nonClient ? msg::kNonClientMouseMove : msg::kMouseMove;
      } else if (event.kind == Kind::ButtonUp) {
        message.code = UpMessage(event.button, nonClient);
      } else {
        WindowRecord* w = Find(target);
        bool wantsDouble = nonClient || (w && (w->windowClass->style & class_style::kDoubleClicks));
        int slack = kDoubleClickDistance / 2;
        bool twice = lastClick.button == event.button && lastClick.window == target &&
                     lastClick.nonClient == nonClient && now - lastClick.time <= kDoubleClickTime &&
                     std::abs(event.at.x - lastClick.at.x) <= slack &&
                     std::abs(event.at.y - lastClick.at.y) <= slack;
        if (twice && wantsDouble) {
          lastClick = {};
          message.code = DownMessage(event.button, nonClient, true);
        } else {
          lastClick = {event.button, target, now, event.at, nonClient};
          message.code = DownMessage(event.button, nonClient, false);
        }
      }
      return true;
    }
    case Kind::Wheel: {
      Window target = focus ? focus : active;
      if (!target || !Find(target)) return false;
      message.window = target;
      message.code = msg::kMouseWheel;
      message.first = PackWords(static_cast<std::uint32_t>(MouseFlags()),
                                static_cast<std::uint32_t>(event.wheelDelta));
      message.second = PackPoint(pointer);
      return true;
    }
    case Kind::KeyDown:
    case Kind::KeyUp: {
      bool down = event.kind == Kind::KeyDown;
      int code = event.key & 0xFF;
      bool wasDown = keys[code];
      keys[code] = down;
      // Alt+Shift switches the built-in Russian key map, like the desktop's layout switch.
      if (down && !wasDown &&
          ((code == key::kShift && keys[key::kAlt]) || (code == key::kAlt && keys[key::kShift]))) {
        russianKeys = !russianKeys;
      }
      Window target = focus;
      bool system = keys[key::kAlt] || code == key::kAlt || code == key::kF10;
      if (!target) {
        target = active;
        system = true;
      }
      if (!target || !Find(target)) return false;
      message.window = target;
      message.first = static_cast<FirstParam>(code);
      std::uintptr_t bits = 1;
      if (keys[key::kAlt]) bits |= 1u << 29;
      if (down ? (event.repeat || wasDown) : true) bits |= 1u << 30;
      if (!down) bits |= 1u << 31;
      message.second = static_cast<SecondParam>(bits);
      if (down) {
        message.code = system ? msg::kSystemKeyDown : msg::kKeyDown;
      } else {
        message.code = system ? msg::kSystemKeyUp : msg::kKeyUp;
      }
      return true;
    }
    case Kind::Text: {
      if (!focus || !Find(focus) || event.text.empty()) return false;
      message.window = focus;
      message.code = msg::kChar;
      // Mapped when routed, so that a layout switch typed before it counts.
      char typed = russianKeys ? RussianCharacterFor(event.text[0]) : event.text[0];
      message.first = static_cast<unsigned char>(typed);
      message.second = 1;
      return true;
    }
    case Kind::HostFocus:
      if (event.down == hostFocused) return false;
      if (!event.down) {
        hostFocused = false;
        rememberedActive = active;
        Window old = active;
        active = {};
        if (focus) ChangeFocus(Window());
        if (old) {
          SendMessage(old, msg::kNonClientActivate, 0, 0);
          SendMessage(old, msg::kActivate, 0, 0);
        }
      } else {
        hostFocused = true;
        if (WindowRecord* w = Find(rememberedActive)) Activate(w, true);
        rememberedActive = {};
      }
      return false;
    case Kind::HostRestored:
      if (WindowRecord* main = Find(mainWindow); main && main->minimized) {
        SendMessage(mainWindow, msg::kSystemCommand, system_command::kRestore, 0);
      }
      return false;
    case Kind::ScreenResize: {
      screenSize = {std::max(1, event.size.width), std::max(1, event.size.height)};
      framebuffer.assign(static_cast<std::size_t>(screenSize.width) * screenSize.height,
                         ToPixel(kDesktopColour));
      dirty = {0, 0, screenSize.width, screenSize.height};
      LayoutChanged();
      for (WindowRecord* t : topLevels) InvalidateTree(t, true);
      for (Window t : TopLevelWindows()) SendMessage(t, msg::kSettingChange, kWorkAreaChanged, 0);
      return false;
    }
  }
  return false;
}

void Manager::Activate(WindowRecord* w, bool giveFocus) {
  if (!w || w->dead || w->parent) return;
  Window handle = w->handle;
  if (active == handle) return;
  if (!hostFocused) {
    rememberedActive = handle;
    return;
  }
  Window old = active;
  if (old) {
    SendMessage(old, msg::kNonClientActivate, 0, 0);
    SendMessage(old, msg::kActivate, 0, static_cast<SecondParam>(handle.Value()));
  }
  if (!(w = Find(handle))) return;
  active = handle;
  std::vector<WindowRecord*> before = topLevels;
  RaiseTopLevel(w);
  if (before != topLevels) {
    for (WindowRecord* t : topLevels) {
      if (t == w || t->owner == w) {
        if (Shown(t)) InvalidateTree(t, true);
      }
    }
  }
  bool saved = suppressActivationFocus;
  suppressActivationFocus = !giveFocus;
  SendMessage(handle, msg::kNonClientActivate, 1, 0);
  SendMessage(handle, msg::kActivate, 1, static_cast<SecondParam>(old.Value()));
  suppressActivationFocus = saved;
}

void Manager::ActivateAnother(WindowRecord* leaving) {
  auto ownedByLeaving = [leaving](WindowRecord* t) {
    for (WindowRecord* o = t->owner; o; o = o->owner) {
      if (o == leaving) return true;
    }
    return false;
  };
  WindowRecord* next = nullptr;
  if (leaving->owner && Shown(leaving->owner) && leaving->owner->Enabled()) {
    next = leaving->owner;
  } else {
    for (WindowRecord* t : topLevels) {
      if (t != leaving && !t->dying && Shown(t) && t->Enabled() && !ownedByLeaving(t)) {
        next = t;
        break;
      }
    }
  }
  if (next) {
    Activate(next, true);
    return;
  }
  Window old = active;
  active = {};
  if (old) {
    SendMessage(old, msg::kNonClientActivate, 0, 0);
    SendMessage(old, msg::kActivate, 0, 0);
  }
}

void Manager::ChangeFocus(Window to) {
  Window old = focus;
  if (old == to) return;
  if (old && Find(old)) {
    SendMessage(old, msg::kKillFocus, to.Value(), 0);
    if (focus != old) return;  // the handler moved it elsewhere
  }
  focus = to;
  if (to && Find(to)) SendMessage(to, msg::kSetFocus, old.Value(), 0);
}

}  // namespace wm

// ---- capture ----

Window SetCapture(Window window) {
  Manager& m = wm::Get();
  if (window && !m.Find(window)) return {};
  Window old = m.capture;
  m.capture = window;
  if (m.drag && m.drag->window != window) m.drag.reset();
  if (old && old != window) {
    SendMessage(old, msg::kCaptureChanged, 0, static_cast<SecondParam>(window.Value()));
  }
  return old;
}

bool ReleaseCapture() {
  Manager& m = wm::Get();
  Window old = m.capture;
  m.capture = {};
  m.drag.reset();
  if (old) SendMessage(old, msg::kCaptureChanged, 0, 0);
  return true;
}

Window CaptureWindow() {
  return wm::Get().capture;
}

// ---- focus and activation ----

Window SetFocus(Window window) {
  Manager& m = wm::Get();
  Window old = m.focus;
  if (!window) {
    m.ChangeFocus(Window());
    return old;
  }
  WindowRecord* w = m.Find(window);
  if (!w || !m.Shown(w)) return {};
  for (WindowRecord* p = w; p; p = p->parent) {
    if (!p->Enabled()) return {};
  }
  WindowRecord* top = w;
  while (top->parent) top = top->parent;
  if (m.active != top->handle) {
    m.Activate(top, false);
    if (!m.Find(window)) return {};
  }
  m.ChangeFocus(window);
  return old;
}

Window FocusWindow() {
  return wm::Get().focus;
}

Window ActiveWindow() {
  return wm::Get().active;
}

Window SetActiveWindow(Window window) {
  Manager& m = wm::Get();
  Window old = m.active;
  WindowRecord* w = m.Find(window);
  if (!w) return {};
  while (w->parent) w = w->parent;
  m.Activate(w, true);
  return old;
}

Point PointerPosition() {
  return wm::Get().pointer;
}

bool IsKeyDown(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return false;
  return wm::Get().keys[virtualKey];
}

// ---- cursors ----

CursorShape SetCursor(CursorShape shape) {
  Manager& m = wm::Get();
  CursorShape old = m.cursor;
  m.cursor = shape;
  if (old != shape) m.backend->ShowCursor(shape);
  return old;
}

CursorShape CurrentCursor() {
  return wm::Get().cursor;
}

CursorShape ProgramCursor(int resourceId) {
  switch (resourceId) {
    case 182:
      return CursorShape::SizeWestEast;
    case 176:
    case 183:
      return CursorShape::SizeNorthSouth;
    case 181:
      return CursorShape::SizeNorthEastSouthWest;
    case 179:
      return CursorShape::SizeNorthWestSouthEast;
    case 109:
    case 110:
      return CursorShape::Hand;
    default:
      return CursorShape::Arrow;
  }
}

// ---- translation ----

void TranslateKeys(const Message& message) {
  if (message.code != msg::kKeyDown && message.code != msg::kSystemKeyDown) return;
  Manager& m = wm::Get();
  int code = static_cast<int>(message.first);
  int character = -1;
  std::uint32_t charMessage = msg::kChar;
  if (message.code == msg::kSystemKeyDown) {
    if (code >= key::kLetterA && code <= key::kLetterZ && m.keys[key::kAlt]) {
      character = code - key::kLetterA + 'a';
      charMessage = msg::kSystemChar;
    }
  } else if (m.keys[key::kControl] && code >= key::kLetterA && code <= key::kLetterZ) {
    character = code - key::kLetterA + 1;  // Ctrl+A is 1
  } else if (code == key::kEnter || code == key::kBack || code == key::kTab ||
             code == key::kEscape) {
    character = code;
  }
  if (character < 0) return;
  wm::QueueEntry entry;
  entry.message = {message.window, charMessage,  static_cast<FirstParam>(character),
                   message.second, message.time, message.pointer};
  m.queue.push_front(std::move(entry));
}

void DeliverInput(const InputEvent& event) {
  Manager& m = wm::Get();
  if (event.kind == InputEvent::Kind::PointerMove || event.kind == InputEvent::Kind::ButtonDown ||
      event.kind == InputEvent::Kind::ButtonUp) {
    m.pointer = event.at;
  }
  if (event.kind == InputEvent::Kind::Text) {
    for (char c : event.text) {
      wm::QueueEntry entry;
      entry.input = true;
      entry.event.kind = InputEvent::Kind::Text;
      entry.event.text = std::string(1, c);
      m.queue.push_back(std::move(entry));
    }
    return;
  }
  wm::QueueEntry entry;
  entry.input = true;
  entry.event = event;
  m.queue.push_back(std::move(entry));
}

}  // namespace plat
