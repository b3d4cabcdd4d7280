// Window classes, creation and destruction, geometry, show modes and z-order.
#include <algorithm>

#include "plat/cp1251.h"
#include "plat/input.h"
#include "plat/messages.h"
#include "plat/paint.h"
#include "window_manager.h"

namespace plat {

using wm::Manager;
using wm::WindowRecord;

namespace {

bool HasOwnedOrChildIn(Manager& m, WindowRecord* root, Window window) {
  for (WindowRecord* w = m.Find(window); w; w = w->parent) {
    if (w == root) return true;
  }
  return false;
}

void SendSizeAndMove(Window handle, const Rect& before, const Rect& after, FirstParam kind) {
  if (before.left != after.left || before.top != after.top) {
    SendMessage(handle, msg::kMove, 0, PackPoint({after.left, after.top}));
  }
  if (before.Width() != after.Width() || before.Height() != after.Height() ||
      kind != size_kind::kRestored) {
    SendMessage(handle, msg::kSize, kind,
                static_cast<SecondParam>(PackWords(static_cast<std::uint32_t>(after.Width()),
                                                   static_cast<std::uint32_t>(after.Height()))));
  }
}

// Changes the frame and repaints what moved; sends no messages.
void ApplyFrame(Manager& m, WindowRecord* w, const Rect& frame) {
  if (w->frame == frame) return;
  Region before = m.Shown(w) ? Region(m.ScreenRect(w)) : Region();
  w->frame = frame;
  m.LayoutChanged();
  m.Expose(before);
  if (m.Shown(w)) m.InvalidateTree(w, true);
}

void SetShownFlag(Manager& m, WindowRecord* w, bool visible) {
  if (w->OwnVisible() == visible) return;
  Region before = m.Shown(w) ? Region(m.ScreenRect(w)) : Region();
  if (visible) {
    w->style |= window_style::kVisible;
  } else {
    w->style &= ~window_style::kVisible;
  }
  m.LayoutChanged();
  if (visible) {
    if (m.Shown(w)) m.InvalidateTree(w, true);
  } else {
    m.Expose(before);
  }
}

// Hidden windows lose the focus and, at the top level, the activation.
void AfterHide(Manager& m, WindowRecord* w) {
  if (m.focus && HasOwnedOrChildIn(m, w, m.focus)) {
    if (w->parent && m.Shown(w->parent)) {
      m.ChangeFocus(Window());
    }
  }
  if (!w->parent && (m.active == w->handle || !m.Shown(w))) {
    if (m.active == w->handle) m.ActivateAnother(w);
  }
  if (m.focus && HasOwnedOrChildIn(m, w, m.focus)) m.ChangeFocus(Window());
}

void DestroyRecord(Manager& m, WindowRecord* w);

void SendDestroyTree(Manager& m, WindowRecord* w) {
  SendMessage(w->handle, msg::kDestroy);
  std::vector<Window> children;
  for (WindowRecord* c : w->children) children.push_back(c->handle);
  for (Window c : children) {
    if (WindowRecord* child = m.Find(c)) SendDestroyTree(m, child);
  }
}

void DestroyRecord(Manager& m, WindowRecord* w) {
  std::vector<WindowRecord*> children = w->children;
  for (WindowRecord* c : children) DestroyRecord(m, c);
  if (w->parent) {
    auto& siblings = w->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
  } else {
    m.RemoveTopLevel(w);
  }
  for (auto& [id, other] : m.windows) {
    if (other->owner == w) other->owner = nullptr;
  }
  w->timers.clear();
  wm::Bury(m, w);
}

}  // namespace

// ---- classes ----

bool RegisterWindowClass(const WindowClassInfo& parameters) {
  Manager& m = wm::Get();
  std::string key = cp1251::ToUpper(parameters.name);
  if (m.classes.contains(key)) return false;
  auto record = std::make_unique<wm::ClassRecord>();
  record->name = parameters.name;
  record->style = parameters.style;
  record->cursor = parameters.cursor;
  record->background = parameters.background;
  record->procedure = parameters.procedure;
  m.classes.emplace(key, std::move(record));
  return true;
}

bool IsWindowClassRegistered(std::string_view name) {
  return wm::Get().classes.contains(cp1251::ToUpper(name));
}

void SetClassCursor(std::string_view className, std::optional<CursorShape> cursor) {
  Manager& m = wm::Get();
  auto found = m.classes.find(cp1251::ToUpper(className));
  if (found != m.classes.end()) found->second->cursor = cursor;
}

// ---- creation and destruction ----

Window CreateWindow(const WindowCreateInfo& parameters) {
  Manager& m = wm::Get();
  auto cls = m.classes.find(cp1251::ToUpper(parameters.className));
  if (cls == m.classes.end()) return {};
  WindowRecord* parent = m.Find(parameters.parent);
  bool child = (parameters.style & window_style::kChild) != 0;
  if (child && !parent) return {};

  auto record = std::make_unique<WindowRecord>();
  WindowRecord* w = record.get();
  w->handle = Window::FromValue(static_cast<std::uintptr_t>(m.NextId()));
  w->windowClass = cls->second.get();
  w->text = parameters.text;
  w->style = parameters.style & ~window_style::kVisible;
  w->extendedStyle = parameters.extendedStyle;
  w->frame = parameters.frame;
  if (w->frame.right < w->frame.left) w->frame.right = w->frame.left;
  if (w->frame.bottom < w->frame.top) w->frame.bottom = w->frame.top;
  w->childId = child ? parameters.childId : 0;
  w->restoreFrame = w->frame;
  if (child) {
    w->parent = parent;
    // A new child goes below its existing siblings.
    parent->children.push_back(w);
  } else {
    // A popup's owner is the top-level window of the window given.
    while (parent && parent->parent) parent = parent->parent;
    w->owner = parent;
  }
  m.windows.emplace(w->handle.Value(), std::move(record));
  if (!child) m.InsertTopLevel(w);
  m.LayoutChanged();

  Window handle = w->handle;
  CreateRecord create{parameters.parameter, w->windowClass->name,     w->text,
                      parameters.style,     parameters.extendedStyle, parameters.frame,
                      parameters.parent};
  Answer answer = SendMessage(handle, msg::kCreate, 0, reinterpret_cast<SecondParam>(&create));
  if (!m.Find(handle)) return {};
  if (answer == -1) {
    DestroyWindow(handle);
    return {};
  }
  SendMessage(
      handle, msg::kSize, size_kind::kRestored,
      static_cast<SecondParam>(PackWords(static_cast<std::uint32_t>(parameters.frame.Width()),
                                         static_cast<std::uint32_t>(parameters.frame.Height()))));
  SendMessage(handle, msg::kMove, 0, PackPoint({parameters.frame.left, parameters.frame.top}));
  if (m.Find(handle) && (parameters.style & window_style::kVisible))
    ShowWindow(handle, ShowMode::Show);
  return m.Find(handle) ? handle : Window();
}

bool DestroyWindow(Window window) {
  Manager* mp = wm::Current();
  if (!mp) return false;
  Manager& m = *mp;
  WindowRecord* w = m.Find(window);
  if (!w || w->dying) return false;
  w->dying = true;
  Window handle = w->handle;
  wm::RemovePlaceholder(m, handle);
  if (m.mainWindow == handle) m.mainWindow = {};
  if (!(w = m.Find(handle))) return true;

  // Capture held inside goes away with a notice to its holder.
  if (m.capture && HasOwnedOrChildIn(m, w, m.capture)) {
    Window loser = m.capture;
    m.capture = {};
    m.drag.reset();
    SendMessage(loser, msg::kCaptureChanged, 0, 0);
  }
  // Owned windows go first.
  std::vector<Window> owned;
  for (WindowRecord* t : m.topLevels) {
    if (t->owner == w) owned.push_back(t->handle);
  }
  for (Window o : owned) DestroyWindow(o);
  w = m.Find(handle);
  if (!w) return true;

  bool wasShown = m.Shown(w);
  Region area = wasShown ? Region(m.ScreenRect(w)) : Region();
  w->style &= ~window_style::kVisible;
  m.LayoutChanged();
  m.Expose(area);
  if (m.focus && HasOwnedOrChildIn(m, w, m.focus)) {
    m.focus = {};
  }
  if (!w->parent && m.active == handle) m.ActivateAnother(w);
  if (m.rememberedActive == handle) m.rememberedActive = {};

  w = m.Find(handle);
  if (!w) return true;
  SendDestroyTree(m, w);
  w = m.Find(handle);
  if (!w) return true;
  if (m.focus && HasOwnedOrChildIn(m, w, m.focus)) m.focus = {};
  if (m.capture && HasOwnedOrChildIn(m, w, m.capture)) m.capture = {};
  DestroyRecord(m, w);
  m.LayoutChanged();
  return true;
}

bool IsWindow(Window window) {
  Manager* m = wm::Current();
  return m && m->Find(window) != nullptr;
}

std::uintptr_t WindowSlot(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->slot : 0;
}

void SetWindowSlot(Window window, std::uintptr_t value) {
  if (WindowRecord* w = wm::Get().Find(window)) w->slot = value;
}

// ---- show, move, place ----

bool ShowWindow(Window window, ShowMode mode) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  bool wasVisible = w->OwnVisible();
  switch (mode) {
    case ShowMode::Hide:
      if (!wasVisible) return false;
      SendMessage(window, msg::kShowWindow, 0, 0);
      if (!(w = m.Find(window))) return wasVisible;
      SetShownFlag(m, w, false);
      AfterHide(m, w);
      wm::RemovePlaceholder(m, window);
      return wasVisible;
    case ShowMode::Minimize:
    case ShowMode::Minimized:
    case ShowMode::MinimizedNoActivate: {
      if (!w->minimized) {
        if (!w->maximized) w->restoreFrame = w->frame;
        Region before = m.Shown(w) ? Region(m.ScreenRect(w)) : Region();
        w->minimized = true;
        w->style |= window_style::kMinimized | window_style::kVisible;
        m.LayoutChanged();
        m.Expose(before);
        SendSizeAndMove(window, w->frame, w->frame, size_kind::kMinimized);
        if ((w = m.Find(window))) AfterHide(m, w);
        if ((w = m.Find(window)) && !w->parent) {
          if (window == m.mainWindow) {
            m.backend->MinimizeHost();
          } else if (w->OwnVisible()) {
            wm::AddPlaceholder(m, w);
          }
        }
      }
      return wasVisible;
    }
    case ShowMode::Maximized: {
      if (w->minimized) {
        w->minimized = false;
        w->style &= ~window_style::kMinimized;
        m.LayoutChanged();
        wm::RemovePlaceholder(m, window);
        if (!(w = m.Find(window))) return wasVisible;
      }
      if (!w->maximized) {
        Rect work = WorkArea();
        Size screen = m.screenSize;
        MinMaxInfo info{{work.Width(), work.Height()},
                        {work.left, work.top},
                        {1, 1},
                        {screen.width, screen.height}};
        SendMessage(window, msg::kGetMinMaxInfo, 0, reinterpret_cast<SecondParam>(&info));
        if (!(w = m.Find(window))) return wasVisible;
        Rect before = w->frame;
        w->restoreFrame = before;
        w->maximized = true;
        w->style |= window_style::kMaximized;
        Rect frame{info.maximizedPosition.x, info.maximizedPosition.y,
                   info.maximizedPosition.x + info.maximizedSize.x,
                   info.maximizedPosition.y + info.maximizedSize.y};
        ApplyFrame(m, w, frame);
        SendSizeAndMove(window, before, frame, size_kind::kMaximized);
        if (!(w = m.Find(window))) return wasVisible;
      }
      SetShownFlag(m, w, true);
      if (!w->parent) m.Activate(w, true);
      return wasVisible;
    }
    case ShowMode::Normal:
    case ShowMode::NormalNoActivate:
    case ShowMode::Restore: {
      if (w->minimized || w->maximized) {
        Rect before = w->frame;
        bool wasMinimized = w->minimized;
        if (wasMinimized) {
          wm::RemovePlaceholder(m, window);
          if (!(w = m.Find(window))) return wasVisible;
        }
        w->minimized = false;
        w->style &= ~(window_style::kMinimized | window_style::kMaximized);
        if (w->maximized || !wasMinimized) {
          w->maximized = false;
          m.LayoutChanged();
          ApplyFrame(m, w, w->restoreFrame);
        } else {
          m.LayoutChanged();
          if (m.Shown(w)) m.InvalidateTree(w, true);
        }
        SendSizeAndMove(window, before, w->frame, size_kind::kRestored);
        if (!(w = m.Find(window))) return wasVisible;
      }
      if (!wasVisible) SendMessage(window, msg::kShowWindow, 1, 0);
      if (!(w = m.Find(window))) return wasVisible;
      SetShownFlag(m, w, true);
      if (!w->parent && mode != ShowMode::NormalNoActivate) m.Activate(w, true);
      return wasVisible;
    }
    case ShowMode::ShowNoActivate:
      if (!wasVisible) SendMessage(window, msg::kShowWindow, 1, 0);
      if (!(w = m.Find(window))) return wasVisible;
      SetShownFlag(m, w, true);
      return wasVisible;
    default:
      if (!wasVisible) SendMessage(window, msg::kShowWindow, 1, 0);
      if (!(w = m.Find(window))) return wasVisible;
      SetShownFlag(m, w, true);
      if (!w->parent) m.Activate(w, true);
      return wasVisible;
  }
}

bool MoveWindow(Window window, const Rect& frame, bool repaint) {
  (void)repaint;  // what moved is always repainted: over-painting never shows wrong pixels
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  Rect wanted = frame;
  if (wanted.right < wanted.left) wanted.right = wanted.left;
  if (wanted.bottom < wanted.top) wanted.bottom = wanted.top;
  Rect before = w->frame;
  ApplyFrame(m, w, wanted);
  SendSizeAndMove(window, before, wanted, size_kind::kRestored);
  return true;
}

bool PlaceWindow(Window window, const Placement& placement) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  switch (placement.order) {
    case ZOrder::Keep:
      break;
    case ZOrder::Topmost:
      w->extendedStyle |= extended_style::kTopmost;
      [[fallthrough]];
    case ZOrder::Top:
      if (w->parent) {
        auto& siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
        siblings.insert(siblings.begin(), w);
        m.LayoutChanged();
      } else {
        m.RaiseTopLevel(w);
      }
      if (m.Shown(w)) m.InvalidateTree(w, true);
      break;
    case ZOrder::NotTopmost:
      if (!w->parent && w->Topmost()) {
        w->extendedStyle &= ~extended_style::kTopmost;
        m.InsertTopLevel(w);
        m.Expose(Region(m.ScreenRect(w)));
      }
      break;
    case ZOrder::Bottom:
    case ZOrder::After: {
      Region before = m.Shown(w) ? Region(m.ScreenRect(w)) : Region();
      auto& list = w->parent ? w->parent->children : m.topLevels;
      list.erase(std::remove(list.begin(), list.end(), w), list.end());
      WindowRecord* after = placement.order == ZOrder::After ? m.Find(placement.after) : nullptr;
      auto at = std::find(list.begin(), list.end(), after);
      if (at != list.end()) {
        ++at;
      } else {
        at = list.end();
      }
      if (!w->parent && !w->Topmost()) {
        auto firstNormal =
            std::find_if(list.begin(), list.end(), [](WindowRecord* t) { return !t->Topmost(); });
        if (at < firstNormal) at = firstNormal;
      }
      list.insert(at, w);
      m.LayoutChanged();
      m.Expose(before);
      break;
    }
  }
  if (placement.frame) {
    Rect frame = *placement.frame;
    Rect before = w->frame;
    if (placement.keepPosition)
      frame = frame.Offset(before.left - frame.left, before.top - frame.top);
    if (placement.keepSize) {
      frame.right = frame.left + before.Width();
      frame.bottom = frame.top + before.Height();
    }
    ApplyFrame(m, w, frame);
    SendSizeAndMove(window, before, frame, size_kind::kRestored);
    if (!(w = m.Find(window))) return true;
  }
  if (placement.hide) {
    ShowWindow(window, ShowMode::Hide);
  } else if (placement.show) {
    ShowWindow(window, placement.noActivate ? ShowMode::ShowNoActivate : ShowMode::Show);
  } else if (!placement.noActivate && !w->parent && m.Shown(w)) {
    m.Activate(w, true);
  }
  return true;
}

bool EnableWindow(Window window, bool enable) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return false;
  bool wasDisabled = !w->Enabled();
  if (wasDisabled == !enable) return wasDisabled;
  if (enable) {
    w->style &= ~window_style::kDisabled;
  } else {
    w->style |= window_style::kDisabled;
    if (m.focus && HasOwnedOrChildIn(m, w, m.focus)) m.ChangeFocus(Window());
    if (m.capture && HasOwnedOrChildIn(m, w, m.capture)) ReleaseCapture();
  }
  SendMessage(window, msg::kEnable, enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && w->Enabled();
}

bool IsWindowVisible(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  if (!w) return false;
  for (; w; w = w->parent) {
    if (!w->OwnVisible()) return false;
  }
  return true;
}

bool IsChildOf(Window parent, Window window) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  WindowRecord* p = m.Find(parent);
  if (!w || !p) return false;
  for (w = w->parent; w; w = w->parent) {
    if (w == p) return true;
  }
  return false;
}

bool IsMinimized(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && w->minimized;
}

bool IsMaximized(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && w->maximized;
}

bool IsTopmost(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && w->Topmost();
}

// ---- geometry ----

Rect WindowRect(Window window) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  return w ? m.ScreenRect(w) : Rect{};
}

Rect ClientRect(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? Rect{0, 0, w->frame.Width(), w->frame.Height()} : Rect{};
}

Point ClientToScreen(Window window, Point point) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return point;
  Point origin = m.ScreenOrigin(w);
  return {point.x + origin.x, point.y + origin.y};
}

Point ScreenToClient(Window window, Point point) {
  Manager& m = wm::Get();
  WindowRecord* w = m.Find(window);
  if (!w) return point;
  Point origin = m.ScreenOrigin(w);
  return {point.x - origin.x, point.y - origin.y};
}

Rect MapRect(Window from, Window to, const Rect& rect) {
  Point a = ClientToScreen(from, {0, 0});
  Point b = ClientToScreen(to, {0, 0});
  return rect.Offset(a.x - b.x, a.y - b.y);
}

Window ParentOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  if (!w) return {};
  if (w->parent) return w->parent->handle;
  return w->owner ? w->owner->handle : Window();
}

Window OwnerOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w && w->owner ? w->owner->handle : Window();
}

Window TopLevelOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  if (!w) return {};
  while (w->parent) w = w->parent;
  return w->handle;
}

int ChildIdOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->childId : 0;
}

Window ChildWithId(Window parent, int childId) {
  WindowRecord* p = wm::Get().Find(parent);
  if (!p) return {};
  for (WindowRecord* c : p->children) {
    if (c->childId == childId) return c->handle;
  }
  return {};
}

std::vector<Window> ChildrenOf(Window parent) {
  std::vector<Window> out;
  if (WindowRecord* p = wm::Get().Find(parent)) {
    for (WindowRecord* c : p->children) out.push_back(c->handle);
  }
  return out;
}

std::vector<Window> TopLevelWindows() {
  std::vector<Window> out;
  for (WindowRecord* w : wm::Get().topLevels) out.push_back(w->handle);
  return out;
}

namespace {

WindowRecord* DeepestAt(Manager& m, WindowRecord* w, Point screen) {
  for (WindowRecord* c : w->children) {
    if (m.Shown(c) && m.ScreenRect(c).Contains(screen)) {
      if (!c->Enabled()) return w;
      return DeepestAt(m, c, screen);
    }
  }
  return w;
}

}  // namespace

Window WindowAtPoint(Point screen) {
  Manager& m = wm::Get();
  for (WindowRecord* t : m.topLevels) {
    if (m.Shown(t) && m.ScreenRect(t).Contains(screen)) return DeepestAt(m, t, screen)->handle;
  }
  return {};
}

Window FindWindow(std::string_view className, std::optional<std::string_view> text) {
  Manager& m = wm::Get();
  for (WindowRecord* t : m.topLevels) {
    if (cp1251::CompareNoCase(t->windowClass->name, className) != 0) continue;
    if (text && t->text != *text) continue;
    return t->handle;
  }
  return {};
}

std::string ClassNameOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->windowClass->name : std::string();
}

std::string WindowText(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->text : std::string();
}

void SetWindowText(Window window, std::string_view text) {
  if (WindowRecord* w = wm::Get().Find(window)) {
    w->text = std::string(text);
    SendMessage(window, msg::kSetText, 0, reinterpret_cast<SecondParam>(w->text.c_str()));
  }
}

std::uint32_t StyleOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->style : 0;
}

std::uint32_t ExtendedStyleOf(Window window) {
  WindowRecord* w = wm::Get().Find(window);
  return w ? w->extendedStyle : 0;
}

Size ScreenSize() {
  return wm::Get().screenSize;
}

Rect WorkArea() {
  Manager& m = wm::Get();
  int bottom = std::max(1, m.screenSize.height - m.reservedStrip);
  return {0, 0, m.screenSize.width, bottom};
}

void SetReservedStrip(int height) {
  Manager& m = wm::Get();
  m.reservedStrip = std::max(0, height);
  for (Window t : TopLevelWindows()) SendMessage(t, msg::kSettingChange, kWorkAreaChanged, 0);
}

}  // namespace plat
